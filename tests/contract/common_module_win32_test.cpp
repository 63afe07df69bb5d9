// CORELINK.dll through the adapter, as the three programs call it: hand-over of window
// handles between processes, the wrong-password count, shortcut resolution, and the
// errors of a missing library or export. The program starts copies of itself
// ("--child <action>") to be the other process; a child answers by its exit code.
// Copies named BASTIONE.exe and MERIDALE.exe hold the dialog windows handed over.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/win32/common_module_win32.h"
#include "common/win32/owners.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using vantora::CommonModuleError;
using vantora::kShortcutTextChars;
using vantora::win32::UniqueFile;
using vantora::win32::UniqueKey;
using vantora::win32::UniqueWindow;
using vantora::win32::Win32CommonModule;
using namespace vantora::testing;

constexpr char kStoreKey[] = "Software\\Vantora\\CoreLink";
constexpr char kSessionKey[] = "Software\\Vantora\\CoreLink\\Session";
constexpr unsigned char kMarker = 0xCC;
constexpr int kSlack = 16;  // marker bytes behind each buffer

std::uint32_t handleOf(HWND w) { return static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(w)); }

HWND makeWindow() {
    return CreateWindowExA(0, "STATIC", "hand-over", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

// Runs this program as "--child <action>" and returns its exit code; a child that
// does not end within the deadline fails the test.
DWORD runChild(const std::string& action) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    ChildProcess child;
    if (!child.start(exe, "--child " + action)) {
        ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
        return 0xDEADDEAD;
    }
    if (!child.ended(20000)) {
        ADD_FAILURE() << "child '" << action << "' did not end";
        return 0xDEADDEAD;
    }
    return child.exitCode();
}

// Whether a key lives on disk: only there may a subkey that also lives on disk be made.
LONG makeNonVolatileChild(const char* path) {
    const std::string child = std::string(path) + "\\probe";
    HKEY key;
    const LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, child.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        UniqueKey(key).reset();
        RegDeleteKeyA(HKEY_CURRENT_USER, child.c_str());
    }
    return rc;
}

// A copy of this program under another name that holds a dialog window and a plain
// one until it is ended.
class WindowHost {
public:
    WindowHost(const TempFolder& folder, const char* program) {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const std::string exe = folder.file(program);
        CopyFileA(self, exe.c_str(), TRUE);  // a host before may still run from it
        EXPECT_TRUE(process.start(exe, "--child host-windows")) << program;
        EXPECT_TRUE(waitFor([&] {
            return (dialog = topWindowOf(process.id(), "#32770")) && (plain = topWindowOf(process.id(), "Static"));
        }, 20000)) << program << " shows no windows";
    }
    ChildProcess process;
    HWND dialog = nullptr, plain = nullptr;
};

class CommonModule : public ::testing::Test {
protected:
    TempFolder folder{"corelink-hosts"};
    Win32CommonModule module{programFolder()};
    std::vector<UniqueWindow> windows;
    std::vector<std::unique_ptr<WindowHost>> hosts;  // end before the folder goes

    void SetUp() override { deleteTree(HKEY_CURRENT_USER, kStoreKey); }
    void TearDown() override { deleteTree(HKEY_CURRENT_USER, kStoreKey); }
    HWND window() {
        windows.emplace_back(makeWindow());
        return windows.back().get();
    }
    WindowHost& host(const char* program) { return *hosts.emplace_back(std::make_unique<WindowHost>(folder, program)); }
    HWND dialogOf(const char* program) { return host(program).dialog; }
};

struct HandOver {
    const char* name;
    void (Win32CommonModule::*reg)(std::uint32_t);
    std::uint32_t (Win32CommonModule::*get)();
    const char* childGet;
    const char* childRegisterAndEnd;
    const char* program;  // whose dialog it hands over
};
const HandOver kHandOvers[] = {
    {"supervisor", &Win32CommonModule::RegSupervisorPwd, &Win32CommonModule::GetSupervisorPwd, "get-supervisor",
     "register-supervisor-and-end", "BASTIONE.exe"},
    {"accessibility", &Win32CommonModule::RegAccessibility, &Win32CommonModule::GetAccessibility,
     "get-accessibility", "register-accessibility-and-end", "MERIDALE.exe"},
};

TEST_F(CommonModule, HandOver_NothingRegistered_ReadsZero) {
    for (const auto& h : kHandOvers) EXPECT_EQ(0u, (module.*h.get)()) << h.name;
}

TEST_F(CommonModule, HandOver_RegisteredHere_IsSeenByAnotherProcess_EachPairApart) {
    const HWND supervisor = dialogOf("BASTIONE.exe"), accessibility = dialogOf("MERIDALE.exe");
    module.RegSupervisorPwd(handleOf(supervisor));
    module.RegAccessibility(handleOf(accessibility));
    EXPECT_EQ(handleOf(supervisor), module.GetSupervisorPwd());
    EXPECT_EQ(handleOf(accessibility), module.GetAccessibility());
    EXPECT_EQ(handleOf(supervisor), runChild("get-supervisor"));
    EXPECT_EQ(handleOf(accessibility), runChild("get-accessibility"));

    const HWND later = dialogOf("BASTIONE.exe");  // the last registration counts
    module.RegSupervisorPwd(handleOf(later));
    EXPECT_EQ(handleOf(later), runChild("get-supervisor"));
    EXPECT_EQ(handleOf(accessibility), runChild("get-accessibility"));
}

TEST_F(CommonModule, HandOver_WindowOfAProcessThatEnded_ReadsZero) {
    for (const auto& h : kHandOvers) {
        const DWORD left = runChild(h.childRegisterAndEnd);
        ASSERT_NE(0u, left) << h.name << ": the child made no window";
        ASSERT_NE(0xDEADDEADu, left) << h.name;
        EXPECT_FALSE(IsWindow(vantora::win32::windowFromNumber(left))) << h.name;
        EXPECT_EQ(0u, (module.*h.get)()) << h.name << ": a window that is gone must not be handed over";
        EXPECT_EQ(0u, runChild(h.childGet)) << h.name;
    }
}

TEST_F(CommonModule, HandOver_DestroyedWindow_ReadsZero_AndRegisteringZeroClears) {
    for (const auto& h : kHandOvers) {
        WindowHost& owner = host(h.program);
        (module.*h.reg)(handleOf(owner.dialog));
        ASSERT_EQ(handleOf(owner.dialog), (module.*h.get)()) << h.name;
        owner.process.terminate(1);
        EXPECT_EQ(0u, (module.*h.get)()) << h.name;
        (module.*h.reg)(handleOf(dialogOf(h.program)));
        (module.*h.reg)(0);
        EXPECT_EQ(0u, (module.*h.get)()) << h.name;
    }
}

TEST_F(CommonModule, HandOver_AWindowOfAnotherKindOrProgram_ReadsZero) {
    WindowHost &bastione = host("BASTIONE.exe"), &meridale = host("MERIDALE.exe");
    const UniqueWindow ownDialog(CreateWindowExA(0, WC_DIALOG, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                                 nullptr, nullptr));
    ASSERT_TRUE(ownDialog);
    const struct {
        const char* name;
        const HandOver& handOver;
        HWND window;
    } cases[] = {
        {"the supervisor utility's dialog as accessibility", kHandOvers[1], bastione.dialog},
        {"the accessibility dialog as supervisor", kHandOvers[0], meridale.dialog},
        {"a plain window of the right program", kHandOvers[1], meridale.plain},
        {"a dialog of another program", kHandOvers[1], ownDialog.get()},
    };
    for (const auto& c : cases) {
        (module.*c.handOver.reg)(handleOf(c.window));
        EXPECT_EQ(0u, (module.*c.handOver.get)()) << c.name;
    }
}

TEST_F(CommonModule, HandOver_IsKeptForTheSessionOnly) {
    module.RegSupervisorPwd(handleOf(window()));
    EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE, makeNonVolatileChild(kSessionKey))
        << "handles must not be written to disk";
}

TEST_F(CommonModule, OnAFreshProfile_SessionValues_LeaveTheSharedKeysOnDisk) {
    // The programs keep their settings below Software\Vantora: the first write of a
    // session value must not make that key (or CoreLink) volatile on the way.
    const struct {
        const char* what;
        std::function<void(Win32CommonModule&, HWND)> write;
    } cases[] = {
        {"window", [](Win32CommonModule& m, HWND w) {
             m.RegAccessibility(handleOf(w));
             EXPECT_EQ(handleOf(w), m.GetAccessibility());
         }},
        {"count", [](Win32CommonModule& m, HWND) { m.SetInvalidPwdCnt(2); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        deleteTree(HKEY_CURRENT_USER, "Software\\Vantora");
        c.write(module, dialogOf("MERIDALE.exe"));
        EXPECT_EQ(ERROR_SUCCESS, makeNonVolatileChild("Software\\Vantora"));
        EXPECT_EQ(ERROR_SUCCESS, makeNonVolatileChild(kStoreKey));
        EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE, makeNonVolatileChild(kSessionKey)) << "kept past a restart";
    }
}

TEST_F(CommonModule, InvalidPwdCnt_RoundTripsAcrossProcesses_AndSaturates) {
    EXPECT_EQ(0, module.GetInvalidPwdCnt()) << "nothing stored yet";
    const struct {
        std::int32_t set, read;
    } cases[] = {
        {1, 1}, {3, 3}, {0, 0}, {0x12345678, 0x12345678}, {INT_MAX - 1, INT_MAX - 1},
        {INT_MAX, INT_MAX - 1}, {INT_MIN, INT_MAX - 1}, {-1, INT_MAX - 1}, {2, 2},
    };
    for (const auto& c : cases) {
        module.SetInvalidPwdCnt(c.set);
        EXPECT_EQ(c.read, module.GetInvalidPwdCnt()) << "set " << c.set;
        EXPECT_EQ(static_cast<DWORD>(c.read), runChild("get-count")) << "set " << c.set;
    }
    runChild("set-count-9");
    EXPECT_EQ(9, module.GetInvalidPwdCnt()) << "written by another process";
    module.SetInvalidPwdCnt(module.GetInvalidPwdCnt() + 1);
    EXPECT_EQ(10, module.GetInvalidPwdCnt());
    HKEY store;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, KEY_QUERY_VALUE, &store));
    const UniqueKey storeKey(store);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(storeKey.get(), "InvalidPwdCnt", nullptr, nullptr, nullptr, nullptr))
        << "no count on disk";
}

TEST_F(CommonModule, InvalidPwdCnt_StoredValueThatIsNoCount_ReadsLocked) {
    struct Case {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
        std::int32_t expected;
    } cases[] = {
        {"text", REG_SZ, {'0', 0}, 3},
        {"two bytes", REG_DWORD, {0, 0}, 3},
        {"binary", REG_BINARY, {0, 0, 0, 0}, 3},
        {"eight bytes", REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0}, 3},
        {"negative", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}, 3},
        {"largest", REG_DWORD, {0xFF, 0xFF, 0xFF, 0x7F}, INT_MAX - 1},
        {"a count", REG_DWORD, {1, 0, 0, 0}, 1},
    };
    module.SetInvalidPwdCnt(0);  // the volatile key, made as the module makes it
    for (const auto& c : cases) {
        HKEY opened;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kSessionKey, 0, KEY_SET_VALUE, &opened));
        const UniqueKey key(opened);
        RegSetValueExA(key.get(), "InvalidPwdCnt", 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        EXPECT_EQ(c.expected, module.GetInvalidPwdCnt()) << c.what;
    }
}

// ---- errors of a missing library or export

using Call = std::function<void(Win32CommonModule&)>;
struct Export {
    const char* name;
    Call call;
};
const std::vector<Export>& exportsCalls() {
    static char texts[5][kShortcutTextChars];
    static std::int32_t n1, n2;
    static const std::vector<Export> calls = {
        {"GetVHotkeyHandle", [](Win32CommonModule& m) { m.GetVHotkeyHandle(); }},
        {"RegSupervisorPwd", [](Win32CommonModule& m) { m.RegSupervisorPwd(0); }},
        {"GetSupervisorPwd", [](Win32CommonModule& m) { m.GetSupervisorPwd(); }},
        {"RegAccessibility", [](Win32CommonModule& m) { m.RegAccessibility(0); }},
        {"GetAccessibility", [](Win32CommonModule& m) { m.GetAccessibility(); }},
        {"SetInvalidPwdCnt", [](Win32CommonModule& m) { m.SetInvalidPwdCnt(1); }},
        {"GetShortCutInfo",
         [](Win32CommonModule& m) {
             m.GetShortCutInfo(texts[0], "C:\\none.lnk", texts[1], texts[2], texts[3], texts[4], &n1, &n2);
         }},
        {"GetInvalidPwdCnt", [](Win32CommonModule& m) { m.GetInvalidPwdCnt(); }},
    };
    return calls;
}

std::string errorOf(const Call& call, Win32CommonModule& m) {
    try {
        call(m);
    } catch (const CommonModuleError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(CommonModuleErrors, MissingLibrary_EveryExportFails_EvenWithOneInTheCurrentDirectory) {
    TempFolder empty("corelink-empty");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    // A library in the current directory must never be taken.
    ASSERT_TRUE(SetCurrentDirectoryA((programFolder() + "\\partial").c_str()));
    Win32CommonModule module(empty.path);  // loads nothing yet
    for (const auto& e : exportsCalls())
        EXPECT_EQ("File not found: CORELINK.dll", errorOf(e.call, module)) << e.name;
    SetCurrentDirectoryA(previous);
}

TEST(CommonModuleErrors, MissingExport_NamesTheEntry_TheOthersStillWork) {
    Win32CommonModule module(programFolder() + "\\partial");
    EXPECT_EQ(4711, module.GetInvalidPwdCnt()) << "the partial library has this one";
    for (const auto& e : exportsCalls()) {
        if (std::string(e.name) == "GetInvalidPwdCnt") continue;
        const std::string expected = std::string("Can't find DLL entry point ") + e.name + " in CORELINK.dll";
        EXPECT_EQ(expected, errorOf(e.call, module)) << e.name;
        EXPECT_EQ(expected, errorOf(e.call, module)) << e.name << ", called again";
    }
    EXPECT_EQ(4711, module.GetInvalidPwdCnt());
}

TEST(CommonModuleErrors, DefaultFolder_IsTheProgramsOwn) {
    TempFolder empty("corelink-empty");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA((programFolder() + "\\partial").c_str()));
    Win32CommonModule module;
    EXPECT_EQ("(no error)", errorOf([](Win32CommonModule& m) { m.GetVHotkeyHandle(); }, module))
        << "the full library beside the program, not the partial one in the current directory";
    SetCurrentDirectoryA(previous);
}

// ---- shortcuts

// A link in the published binary format whose target is only a local path in its
// link information: the one way to make a target longer than the shell's link object
// takes through SetPath. Header (76 bytes), then the link information block.
bool writeRawLink(const std::string& file, const std::string& target, DWORD showCommand) {
    constexpr DWORD kHeader = 76, kInfoHeader = 28, kVolume = 17;
    const DWORD pathAt = kInfoHeader + kVolume;
    const DWORD suffixAt = pathAt + static_cast<DWORD>(target.size()) + 1;
    const DWORD infoSize = suffixAt + 1;
    std::vector<BYTE> out(kHeader + infoSize + 4, 0);  // + an empty extra-data list
    auto put32 = [&](size_t at, DWORD v) {
        for (int i = 0; i < 4; ++i) out.at(at + i) = static_cast<BYTE>(v >> (8 * i));
    };
    put32(0, kHeader);
    const BYTE clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    std::copy(clsid, clsid + 16, out.begin() + 4);
    put32(20, 0x02);  // has link information
    put32(60, showCommand);
    const size_t info = kHeader;
    put32(info + 0, infoSize);
    put32(info + 4, kInfoHeader);
    put32(info + 8, 1);  // a volume and a local base path
    put32(info + 12, kInfoHeader);
    put32(info + 16, pathAt);
    put32(info + 24, suffixAt);
    put32(info + kInfoHeader, kVolume);
    put32(info + kInfoHeader + 4, DRIVE_FIXED);
    put32(info + kInfoHeader + 8, 0x1234ABCD);
    put32(info + kInfoHeader + 12, 16);  // an empty label
    std::copy(target.begin(), target.end(), out.begin() + info + pathAt);
    const UniqueFile h(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return h && WriteFile(h.get(), out.data(), static_cast<DWORD>(out.size()), &written, nullptr) &&
           written == out.size();
}

// Five output buffers, each followed by marker bytes, and two marked numbers.
struct Outputs {
    char text[5][kShortcutTextChars + kSlack];
    std::int32_t number1 = 0x5A5A5A5A, number2 = 0x5A5A5A5A;
    Outputs() { std::memset(text, kMarker, sizeof text); }
    std::int32_t call(Win32CommonModule& m, const std::string& file) {
        return m.GetShortCutInfo(text[0], file.c_str(), text[1], text[2], text[3], text[4], &number1, &number2);
    }
    std::string value(int i) const { return std::string(text[i], strnlen(text[i], kShortcutTextChars)); }
    bool terminated(int i) const { return memchr(text[i], 0, kShortcutTextChars) != nullptr; }
    bool untouched(int i) const {
        for (int k = 0; k < kShortcutTextChars + kSlack; ++k)
            if (static_cast<unsigned char>(text[i][k]) != kMarker) return false;
        return true;
    }
    bool slackIntact(int i) const {
        for (int k = kShortcutTextChars; k < kShortcutTextChars + kSlack; ++k)
            if (static_cast<unsigned char>(text[i][k]) != kMarker) return false;
        return true;
    }
};

const char* const kTextNames[5] = {"target", "arguments", "working directory", "description", "icon location"};

// An empty file at `path`.
void touch(const std::string& path) {
    const UniqueFile created(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

class Shortcut : public ::testing::Test {
protected:
    TempFolder folder{"corelink-links"};
    Win32CommonModule module{programFolder()};
    std::string file(const char* name) { return folder.file(name); }
};

TEST_F(Shortcut, RealLink_GivesAllFiveTextsAndBothNumbers) {
    const std::string target = file("tool.exe");
    touch(target);
    const Link link{target, "/x \"two words\"", folder.path, "A tool of ours", "C:\\windows\\notepad.exe", 3,
                    SW_SHOWMINNOACTIVE};
    ASSERT_TRUE(writeLink(file("tool.lnk"), link));
    Outputs out;
    ASSERT_NE(0, out.call(module, file("tool.lnk")));
    const std::string expected[5] = {link.target, link.arguments, link.directory, link.description, link.iconPath};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(expected[i], out.value(i)) << kTextNames[i];
        EXPECT_TRUE(out.slackIntact(i)) << kTextNames[i];
    }
    EXPECT_EQ(3, out.number1) << "icon index";
    EXPECT_EQ(SW_SHOWMINNOACTIVE, out.number2) << "show command";
}

TEST_F(Shortcut, EmptyTexts_AreWrittenEmpty) {
    const std::string target = file("bare.exe");
    touch(target);
    ASSERT_TRUE(writeLink(file("bare.lnk"), Link{target, "", "", "", "", 0, SW_SHOWMAXIMIZED}));
    Outputs out;
    ASSERT_NE(0, out.call(module, file("bare.lnk")));
    EXPECT_EQ(target, out.value(0));
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ("", out.value(i)) << kTextNames[i];
        EXPECT_TRUE(out.slackIntact(i)) << kTextNames[i];
    }
    EXPECT_EQ(0, out.number1);
    EXPECT_EQ(SW_SHOWMAXIMIZED, out.number2);
}

TEST_F(Shortcut, LongTexts_AreCutTo259CharactersWithoutOverrun) {
    const std::string target = file("long.exe");
    touch(target);
    const Link link{target, std::string(1000, 'a'), std::string(259, 'w'), std::string(260, 'd'),
                    std::string(258, 'i'), 1, SW_SHOW};
    ASSERT_TRUE(writeLink(file("long.lnk"), link));
    Outputs out;
    ASSERT_NE(0, out.call(module, file("long.lnk")));
    const std::string full[5] = {link.target, link.arguments, link.directory, link.description, link.iconPath};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(out.terminated(i)) << kTextNames[i];
        EXPECT_TRUE(out.slackIntact(i)) << kTextNames[i] << ": written past its 260 characters";
        EXPECT_EQ(full[i].substr(0, kShortcutTextChars - 1), out.value(i)) << kTextNames[i];
    }
}

TEST_F(Shortcut, TargetBeyondMaxPath_IsCutTo259Characters) {
    const std::string base = "C:\\" + std::string(255, 'x') + "\\";
    const std::string targets[] = {base.substr(0, 258), base.substr(0, 259), base + "abc.exe", base + std::string(700, 'y')};
    for (const auto& target : targets) {
        ASSERT_TRUE(writeRawLink(file("raw.lnk"), target, SW_SHOWMINIMIZED));
        Outputs out;
        ASSERT_NE(0, out.call(module, file("raw.lnk"))) << target.size() << " characters";
        EXPECT_EQ(target.substr(0, kShortcutTextChars - 1), out.value(0)) << target.size() << " characters";
        EXPECT_TRUE(out.terminated(0));
        for (int i = 0; i < 5; ++i) EXPECT_TRUE(out.slackIntact(i)) << target.size() << ", " << kTextNames[i];
        EXPECT_EQ(SW_SHOWMINIMIZED, out.number2) << "from the header";
    }
}

TEST_F(Shortcut, NoShortcut_ReturnsZero_AndLeavesEveryBufferAlone) {
    const std::string text = file("notes.txt");
    {
        const UniqueFile h(CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(h.get(), "not a shortcut at all, but long enough to have a header\r\n", 58, &written, nullptr);
    }
    const std::string fakeLink = file("fake.lnk");
    CopyFileA(text.c_str(), fakeLink.c_str(), FALSE);
    const std::string empty = file("empty.lnk");
    touch(empty);
    const std::string cases[] = {text, fakeLink, empty, file("missing.lnk"), folder.path, ""};
    for (const auto& path : cases) {
        Outputs out;
        EXPECT_EQ(0, out.call(module, path)) << "'" << path << "'";
        for (int i = 0; i < 5; ++i) EXPECT_TRUE(out.untouched(i)) << "'" << path << "', " << kTextNames[i];
        EXPECT_EQ(0x5A5A5A5A, out.number1) << path;
        EXPECT_EQ(0x5A5A5A5A, out.number2) << path;
    }
}

TEST_F(Shortcut, NullPointers_ReturnZero) {
    const std::string target = file("t.exe");
    touch(target);
    ASSERT_TRUE(writeLink(file("t.lnk"), linkTo(target)));
    const std::string path = file("t.lnk");
    for (int missing = 0; missing < 8; ++missing) {
        Outputs out;
        char* t[5] = {out.text[0], out.text[1], out.text[2], out.text[3], out.text[4]};
        std::int32_t* n1 = &out.number1;
        std::int32_t* n2 = &out.number2;
        const char* p = path.c_str();
        if (missing < 5) t[missing] = nullptr;
        if (missing == 5) p = nullptr;
        if (missing == 6) n1 = nullptr;
        if (missing == 7) n2 = nullptr;
        EXPECT_EQ(0, module.GetShortCutInfo(t[0], p, t[1], t[2], t[3], t[4], n1, n2)) << "argument " << missing;
    }
    Outputs out;
    EXPECT_NE(0, out.call(module, path)) << "the same link with every argument";
}

TEST_F(Shortcut, CallerWithComAlreadyRunning_KeepsIt) {
    const std::string target = file("c.exe");
    touch(target);
    ASSERT_TRUE(writeLink(file("c.lnk"), linkTo(target)));
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    Outputs out;
    EXPECT_NE(0, out.call(module, file("c.lnk"))) << "with COM in the other threading model";
    // Still initialised as before: the same model again answers S_FALSE, another one fails.
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    CoUninitialize();
    CoUninitialize();
}

// ---- the other process

int child(const std::string& action) {
    Win32CommonModule module(programFolder());
    if (action == "get-supervisor") return static_cast<int>(module.GetSupervisorPwd());
    if (action == "get-accessibility") return static_cast<int>(module.GetAccessibility());
    if (action == "get-count") return module.GetInvalidPwdCnt();
    if (action == "set-count-9") return module.SetInvalidPwdCnt(9), 0;
    if (action == "host-windows") {
        const UniqueWindow dialog(CreateWindowExA(0, WC_DIALOG, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                                  nullptr, nullptr));
        const UniqueWindow plain(makeWindow());
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        return 0;
    }
    if (action == "register-supervisor-and-end" || action == "register-accessibility-and-end") {
        // Ends without destroying its window, as a program that crashed would.
        HWND w = makeWindow();
        if (action == "register-supervisor-and-end")
            module.RegSupervisorPwd(handleOf(w));
        else
            module.RegAccessibility(handleOf(w));
        TerminateProcess(GetCurrentProcess(), handleOf(w));
    }
    return -2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--child") return child(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
