// Other processes that try to steer the three programs: one that passes for a program
// by its file name, holding its single-copy token and publishing a window, and one that
// sends the programs' windows messages whose parameters point into its own memory.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;

struct Program {
    const char* exe;
    const char* windowClass;
    const char* caption;
};

constexpr Program kPrograms[] = {
    {"BASTIONE.exe", "#32770", "Supervisor Password Utility"},
    {"MERIDALE.exe", "#32770", "VANTORA Accessibility"},
    {"Keyloom.exe", "Vantora.Keyloom.Form1", "Keyloom"},
};

// The program's visible top-level window of its class and caption; null while there is none.
HWND mainWindowOf(DWORD process, const Program& program) {
    const HWND w = topWindowOf(process, program.windowClass);
    char caption[64] = {};
    if (!w || !IsWindowVisible(w) || !GetWindowTextA(w, caption, sizeof caption)) return nullptr;
    return std::string(caption) == program.caption ? w : nullptr;
}

HWND waitForMainWindow(const ChildProcess& p, const Program& program) {
    HWND w = nullptr;
    waitFor([&] { return (w = mainWindowOf(p.id(), program)) != nullptr; }, 30000);
    return w;
}

bool answers(HWND w) {
    DWORD_PTR unused = 0;
    return SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &unused) != 0;
}

class ForeignProcessE2E : public ::testing::Test {
protected:
    void SetUp() override {
        endProcessesNamed({"BASTIONE.exe", "MERIDALE.exe", "Keyloom.exe"});
        deleteValue(HKEY_CURRENT_USER, "Software\\Vantora", "Keyloom");
        if (HWND old = FindWindowA(vantora::hotkey::kWindowClass, nullptr)) PostMessageA(old, WM_CLOSE, 0, 0);
        ASSERT_TRUE(waitFor([] { return !FindWindowA(vantora::hotkey::kWindowClass, nullptr); }, 10000));
        // The dialog programs end at once without the hotkey service.
        ASSERT_TRUE(service.start(programPath("VHotkey.exe"), "/log \"" + folder.file("VHotkey.log") + "\""));
        ASSERT_TRUE(waitFor([] { return FindWindowA(vantora::hotkey::kWindowClass, nullptr) != nullptr; }, 20000));
    }
    void TearDown() override {
        endProcessesNamed({"BASTIONE.exe", "MERIDALE.exe", "Keyloom.exe"});
        deleteValue(HKEY_CURRENT_USER, "Software\\Vantora", "Keyloom");
        if (HWND w = FindWindowA(vantora::hotkey::kWindowClass, nullptr)) PostMessageA(w, WM_CLOSE, 0, 0);
        if (service.started()) {
            EXPECT_TRUE(service.ended(10000)) << "VHotkey did not end";
        }
    }

    TempFolder folder{"foreign-test"};
    ChildProcess service;
};

// The impostor's window is minimized first: had the real program taken it for its first
// copy, it would have restored it and ended.
TEST_F(ForeignProcessE2E, ImpostorHoldingTheTokenAndPublishingAWindow_IsNotRaised_TheRealProgramStarts) {
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.exe);
        const TempFolder elsewhere("impostor");
        ASSERT_TRUE(CopyFileA(programPath("impostor.exe").c_str(), elsewhere.file(program.exe).c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(programPath("CORELINK.dll").c_str(), elsewhere.file("CORELINK.dll").c_str(), FALSE));
        ChildProcess impostor, real;
        ASSERT_TRUE(impostor.start(elsewhere.file(program.exe)));
        HWND fake = waitForMainWindow(impostor, program);
        ASSERT_TRUE(fake) << "the impostor did not come up; exit code " << impostor.exitCode();
        ShowWindow(fake, SW_MINIMIZE);
        ASSERT_TRUE(waitFor([&] { return IsIconic(fake) != 0; }, 10000));

        ASSERT_TRUE(real.start(programPath(program.exe)));
        HWND window = waitForMainWindow(real, program);
        EXPECT_TRUE(window) << "the real program must start; ended: " << real.ended(0);
        EXPECT_TRUE(IsIconic(fake)) << "the impostor's window was brought forward";
        EXPECT_FALSE(real.ended(0));
        if (window) PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(real.ended(15000));
        PostMessageA(fake, WM_CLOSE, 0, 0);
        EXPECT_TRUE(impostor.ended(10000));
        ASSERT_TRUE(waitFor([&] { return DeleteFileA(elsewhere.file(program.exe).c_str()) != 0; }, 5000));
    }
}

// Another process's pointers mean nothing in the program's memory; reading them would
// end it. Sent (Windows passes WM_NOTIFY's pointer as it is; Wine refuses the send) and
// posted (both let WM_NOTIFY through), with a pointer no process has mapped.
TEST_F(ForeignProcessE2E, NotifyAndHelpWithAForeignPointer_AreIgnored_TheWindowLivesOn) {
    constexpr LPARAM kBogus = 0x10;
    for (const Program& program : kPrograms) {
        SCOPED_TRACE(program.exe);
        ChildProcess real;
        ASSERT_TRUE(real.start(programPath(program.exe)));
        HWND window = waitForMainWindow(real, program);
        ASSERT_TRUE(window);
        for (const UINT message : {UINT(WM_NOTIFY), UINT(WM_HELP)}) {
            DWORD_PTR unused = 0;
            SendMessageTimeoutA(window, message, 0, kBogus, SMTO_ABORTIFHUNG, 5000, &unused);
            PostMessageA(window, message, 0, kBogus);
        }
        EXPECT_FALSE(real.ended(2000)) << "exit code " << std::hex << real.exitCode();
        EXPECT_TRUE(answers(window));
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(real.ended(15000));
    }
}

}  // namespace
