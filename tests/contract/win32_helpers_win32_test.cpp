// The shared Win32 helpers against the real calls: a message to a window that does not
// answer costs a bounded wait, the single-copy token is held until its last holder
// ends, and the program's folder is never made from a cut-off path. Also what the
// built programs ask of Windows in their manifests.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "common/win32/desktop_win32.h"
#include "common/win32/owners.h"
#include "common/win32/program_folder.h"
#include "common/win32/single_copy_win32.h"
#include "common/win32/window_messages_win32.h"
#include "tests/e2e/win32_test_support.h"

namespace vantora::win32 {
namespace {

constexpr char kProbeClass[] = "VantoraMessageProbe";
constexpr UINT kProbeMessage = WM_APP + 7;

LRESULT CALLBACK probeProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbeMessage) return lParam + 1;
    return DefWindowProcA(w, message, wParam, lParam);
}

HWND makeProbe() {
    if (!testing::registerClass(kProbeClass, probeProc)) return nullptr;
    return CreateWindowExA(0, kProbeClass, "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

TEST(WindowMessages, Send_AnswersFromALiveWindow_AndGivesZeroWithinTheBoundOtherwise) {
    enum class Receiver { Answering, Hung, Gone };
    const struct {
        const char* name;
        Receiver receiver;
        std::int32_t expected;
    } cases[] = {
        {"answering window", Receiver::Answering, 42},
        {"window whose thread never pumps", Receiver::Hung, 0},
        {"destroyed window", Receiver::Gone, 0},
    };
    // Scheduling under a loaded machine may add to the bound, never double it.
    constexpr DWORD kAllowedMs = Win32WindowMessages::kSendTimeoutMs + 1500;
    for (const auto& c : cases) {
        std::optional<testing::WindowThread> owner;
        HWND target = nullptr;
        if (c.receiver == Receiver::Gone) {
            target = UniqueWindow(makeProbe()).get();  // destroyed at once
        } else {
            ASSERT_TRUE(testing::registerClass(kProbeClass, probeProc));
            owner.emplace(kProbeClass, c.receiver == Receiver::Answering);
            target = owner->window();
        }
        if (c.receiver != Receiver::Gone) {
            ASSERT_TRUE(IsWindow(target)) << c.name;
        }
        Win32WindowMessages messages;
        const DWORD begin = GetTickCount();
        const std::int32_t result = messages.SendMessageA(fromHwnd(target), kProbeMessage, 0, 41);
        const DWORD elapsed = GetTickCount() - begin;
        EXPECT_EQ(c.expected, result) << c.name;
        EXPECT_LT(elapsed, kAllowedMs) << c.name;
    }
}

TEST(SingleCopy, TheFirstClaimWins_LaterOnesSeeIt_UntilEveryHolderHasEnded) {
    const std::string name = "Vantora.Test.SingleCopy." + std::to_string(GetCurrentProcessId());
    {
        Win32SingleCopy first(name), second(name);
        EXPECT_FALSE(first.anotherCopyRunning());
        EXPECT_TRUE(second.anotherCopyRunning());
        // The answer must not depend on whatever failed last on this thread.
        SetLastError(ERROR_ALREADY_EXISTS);
        EXPECT_FALSE(first.anotherCopyRunning()) << "asked again";
        SetLastError(ERROR_SUCCESS);
        EXPECT_TRUE(second.anotherCopyRunning()) << "asked again";
    }
    Win32SingleCopy later(name);
    EXPECT_FALSE(later.anotherCopyRunning()) << "the name is free once its holders have ended";
}

// Behaves as GetModuleFileNameA for a module at `path`: a path that does not fit fills
// the whole buffer, unterminated, as older Windows leave it.
ModulePathQuery moduleAt(const std::string& path) {
    return [path](char* buffer, DWORD size) -> DWORD {
        const DWORD n = static_cast<DWORD>(std::min<std::size_t>(path.size(), size));
        std::copy_n(path.begin(), n, buffer);
        if (n < size) buffer[n] = '\0';
        return n;
    };
}

TEST(ProgramFolder, IsTheWholeFolder_OrNothingWhenThePathCannotBeHadWhole) {
    const auto deep = [](std::size_t length) {
        std::string folder = "C:\\";
        while (folder.size() + 13 < length) folder += "d\\";
        folder.resize(length - 13, 'd');
        return std::pair{folder, folder + "\\MERIDALE.exe"};
    };
    const auto fits = deep(MAX_PATH - 1), fillsMaxPath = deep(MAX_PATH), longer = deep(5000),
               longest = deep(kLongestPath - 1), tooLong = deep(kLongestPath);
    const struct {
        const char* name;
        ModulePathQuery query;
        std::string expected;
    } cases[] = {
        {"short path", moduleAt("C:\\Programs\\MERIDALE.exe"), "C:\\Programs"},
        {"path filling all but the terminator", moduleAt(fits.second), fits.first},
        {"path as long as MAX_PATH", moduleAt(fillsMaxPath.second), fillsMaxPath.first},
        {"path of 5000 characters", moduleAt(longer.second), longer.first},
        {"longest path Windows gives", moduleAt(longest.second), longest.first},
        {"path longer than any buffer", moduleAt(tooLong.second), ""},
        {"failing query", [](char*, DWORD) -> DWORD { return 0; }, ""},
        {"bare file name", moduleAt("MERIDALE.exe"), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, folderOfModule(c.query)) << c.name;
}

TEST(ProgramFolder, OfAGivenModule_IsThatModulesFolder) {
    char system[MAX_PATH] = {};
    ASSERT_NE(0u, GetSystemDirectoryA(system, MAX_PATH));
    const std::string folder = programFolder(GetModuleHandleA("kernel32.dll"));
    EXPECT_EQ(0, lstrcmpiA(system, folder.c_str())) << system << " / " << folder;
}

// The manifest Windows reads when it creates the process.
std::string manifestOf(const std::string& exe) {
    const UniqueModule image(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!image) return "(cannot load " + exe + ")";
    HRSRC found = FindResourceA(image.get(), CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    HGLOBAL loaded = found ? LoadResource(image.get(), found) : nullptr;
    const char* text = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return text ? std::string(text, SizeofResource(image.get(), found)) : "(no manifest)";
}

TEST(Manifest, EachProgramAsksForTheRightsItNeeds) {
    const struct {
        const char* program;
        const char* level;
    } cases[] = {
        {"Keyloom.exe", "asInvoker"},
        {"VHotkey.exe", "asInvoker"},
        // It refuses anyone but an administrator; under UAC only an elevated start is one.
        {"MERIDALE.exe", "requireAdministrator"},
        // Registering a BIOS password is the owner's act.
        {"BASTIONE.exe", "requireAdministrator"},
    };
    for (const auto& c : cases) {
        const std::string manifest = manifestOf(testing::programPath(c.program));
        const std::string request = std::string("<requestedExecutionLevel level=\"") + c.level + "\"";
        EXPECT_NE(std::string::npos, manifest.find(request)) << c.program << ":\n" << manifest;
    }
}

}  // namespace
}  // namespace vantora::win32
