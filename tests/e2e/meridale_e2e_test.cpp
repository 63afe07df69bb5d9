// Drives the real MERIDALE.exe from outside, with the real CORELINK.dll and hotkey
// service stand-ins: through its controls, the registry and the service's log, as a
// user and the hotkey service would.
#define PSAPI_VERSION 1
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/meridale_e2e_support.h"

namespace {

using namespace vantora::testing;
using namespace vantora::testing::meridale;

TEST_F(MeridaleE2E, FirstRun_WritesDefaults_ShowsFirstRunStates_ApplyAndOkNotifyTheService) {
    startService();
    startDialog(meridale, &dialog);
    DWORD sticky = 0, idle = 99;
    ASSERT_TRUE(waitFor([&] { return readDword(kStickyKeyValue, &sticky) && readDword(kIdleTimeValue, &idle); }, 10000));
    EXPECT_EQ(238u, sticky);
    EXPECT_EQ(0u, idle);
    // The service hears of the start before the defaults are written.
    EXPECT_TRUE(waitFor([&] { return logged("2025 256 1 StickyKey=absent IdleTime=absent"); }, 10000)) << logText();

    struct State {
        int id;
        LRESULT check;
        bool enabled;
    };
    const State states[] = {
        {IDC_CHKSTICKYKEY, BST_UNCHECKED, true},   {IDC_CHKTWICELOCK, BST_CHECKED, false},
        {IDC_CHKPRESSSOUND, BST_CHECKED, false},   {IDC_CHKSTICKYICON, BST_CHECKED, false},
        {IDC_CHKUNSTICKIDLE, BST_UNCHECKED, false}, {IDC_CHKAUTORESETSOUND, BST_CHECKED, false},
    };
    for (const State& s : states) {
        HWND box = GetDlgItem(dialog, s.id);
        EXPECT_EQ(s.check, SendMessageA(box, BM_GETCHECK, 0, 0)) << "control " << s.id;
        EXPECT_EQ(s.enabled, IsWindowEnabled(box) != 0) << "control " << s.id;
    }
    HWND list = GetDlgItem(dialog, IDC_COMUNSTICKTIME);
    EXPECT_EQ(0, SendMessageA(list, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(5, SendMessageA(list, CB_GETCOUNT, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(list));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_LABEL2)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_OK)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CANCEL)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
    RECT client{};
    GetClientRect(dialog, &client);
    const int dpi = vantora::win32::screenDpi();
    EXPECT_EQ(MulDiv(5640, dpi, 1440), client.right);
    EXPECT_EQ(MulDiv(6435, dpi, 1440), client.bottom);
    RECT ok{};
    GetWindowRect(GetDlgItem(dialog, IDC_OK), &ok);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_NEAR(MulDiv(1200, dpi, 1440), ok.left, 1) << "the template's units land where the design puts OK";
    EXPECT_NEAR(MulDiv(5880, dpi, 1440), ok.top, 1);

    click(dialog, IDC_CHKSTICKYKEY);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_CHKTWICELOCK)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
    click(dialog, IDC_APPLY);
    EXPECT_TRUE(readDword(kStickyKeyValue, &sticky));
    EXPECT_EQ(239u, sticky);
    EXPECT_TRUE(waitFor([&] { return logged("2025 256 2 StickyKey=239 IdleTime=0"); }, 10000)) << logText();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));

    click(dialog, IDC_CHKUNSTICKIDLE);
    SendMessageA(list, CB_SETCURSEL, 2, 0);
    click(dialog, IDC_OK);
    ASSERT_TRUE(meridale.ended(10000)) << "OK must end the program";
    EXPECT_TRUE(readDword(kStickyKeyValue, &sticky) && readDword(kIdleTimeValue, &idle));
    EXPECT_EQ(255u, sticky);
    EXPECT_EQ(2u, idle);
    EXPECT_EQ(2, loggedCount("2025 256 2 ")) << logText();
}

// The full path of the process's module of that file name; "" when it has none.
std::string moduleFile(HANDLE process, const char* name) {
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return {};
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        char base[MAX_PATH] = {}, path[MAX_PATH] = {};
        if (GetModuleBaseNameA(process, modules[i], base, MAX_PATH) && lstrcmpiA(base, name) == 0 &&
            GetModuleFileNameExA(process, modules[i], path, MAX_PATH))
            return path;
    }
    return {};
}

// The common controls are loaded when the dialog is made, not at start, and still come
// from where the manifest points: the version 6 assembly, not the system folder's copy.
TEST_F(MeridaleE2E, CommonControls_AreTheManifestsVersion6) {
    startService();
    startDialog(meridale, &dialog);
    std::string comctl = moduleFile(meridale.handle(), "comctl32.dll");
    CharLowerA(comctl.data());
    EXPECT_NE(std::string::npos, comctl.find("common-controls")) << comctl;
}

TEST_F(MeridaleE2E, HungService_CostsABoundedWait_TheDialogStillShowsAndEnds) {
    ASSERT_TRUE(registerClass(kWindowClass));
    const WindowThread hung(kWindowClass, false);
    ASSERT_EQ(hung.window(), FindWindowA(kWindowClass, nullptr));
    ASSERT_TRUE(meridale.start(programPath("MERIDALE.exe")));
    EXPECT_TRUE(waitFor([&] { return (dialog = dialogOf(meridale, kDialogCaption)) != nullptr; }, 15000))
        << "no dialog while the service hangs";
    click(dialog, IDC_CHKSTICKYKEY);
    click(dialog, IDC_OK);  // writes, and tells the hung service again
    EXPECT_TRUE(meridale.ended(10000)) << "OK must end the program";
}

TEST_F(MeridaleE2E, SecondStart_BringsTheFirstDialogForwardAndEnds) {
    startService();
    startDialog(meridale, &dialog);
    ShowWindow(dialog, SW_MINIMIZE);
    ASSERT_TRUE(waitFor([&] { return IsIconic(dialog) != 0; }, 10000));
    ChildProcess second;
    ASSERT_TRUE(second.start(programPath("MERIDALE.exe")));
    ASSERT_TRUE(second.ended(20000)) << "the second copy must end";
    EXPECT_EQ(0u, second.exitCode());
    EXPECT_TRUE(waitFor([&] { return !IsIconic(dialog) && IsWindowVisible(dialog); }, 10000)) << "not restored";
    EXPECT_EQ(1, loggedCount("2025 256 1 ")) << "the second copy must not notify:\n" << logText();
}

TEST_F(MeridaleE2E, ServiceStopped_CommonModuleTerminated_NothingWritten) {
    ASSERT_TRUE(meridale.start(programPath("MERIDALE.exe")));
    EXPECT_EQ("Common Module terminated!", messageOf(meridale));
    ASSERT_TRUE(meridale.ended(10000)) << "the program must end after the message";
    EXPECT_TRUE(valueAbsent(kStickyKeyValue));
    EXPECT_TRUE(valueAbsent(kIdleTimeValue));
}

TEST_F(MeridaleE2E, NoCommonModule_ShowsTheLoadFailure_NothingWrittenNothingSent) {
    startService();
    const std::string lonely = folder.file("MERIDALE.exe");
    ASSERT_TRUE(CopyFileA((programPath("MERIDALE.exe")).c_str(), lonely.c_str(), FALSE));
    ASSERT_TRUE(meridale.start(lonely));
    EXPECT_EQ("File not found: CORELINK.dll", messageOf(meridale));
    ASSERT_TRUE(meridale.ended(10000));
    EXPECT_TRUE(valueAbsent(kStickyKeyValue));
    EXPECT_EQ(0, loggedCount("2025 ")) << logText();
    DeleteFileA(lonely.c_str());
}

TEST_F(MeridaleE2E, CancelAndEsc_EndWithoutWritingOrNotifying) {
    startService();
    for (const bool esc : {false, true}) {
        ChildProcess run;
        HWND window = nullptr;
        startDialog(run, &window);
        ASSERT_TRUE(waitFor([&] { return !valueAbsent(kStickyKeyValue); }, 10000));
        click(window, IDC_CHKSTICKYKEY);
        if (esc)
            PostMessageA(GetDlgItem(window, IDC_CHKSTICKYKEY), WM_KEYDOWN, VK_ESCAPE, 0);
        else
            click(window, IDC_CANCEL);
        ASSERT_TRUE(run.ended(10000)) << (esc ? "Esc" : "Cancel") << " must end the program";
        DWORD sticky = 0;
        EXPECT_TRUE(readDword(kStickyKeyValue, &sticky));
        EXPECT_EQ(238u, sticky) << (esc ? "Esc" : "Cancel");
    }
    EXPECT_EQ(0, loggedCount("2025 256 2 ")) << logText();
}

}  // namespace
