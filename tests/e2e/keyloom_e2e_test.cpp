// Drives the real Keyloom.exe from outside, as the hotkey service, the tray and a user
// would: through window messages, the registry and the window's pixels.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/key_table.h"
#include "launcher/launcher_constants.h"
#include "launcher/win32/resource.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;
using namespace vantora::launcher;
using vantora::win32::WindowDc;

bool anyPixel(HWND w, int left, int top, int width, int height, COLORREF color) {
    const WindowDc dc(w);
    bool found = false;
    for (int y = top; y < top + height && !found; ++y)
        for (int x = left; x < left + width && !found; ++x) found = GetPixel(dc.get(), x, y) == color;
    return found;
}

class KeyloomE2E : public ::testing::Test {
protected:
    ChildProcess keyloom;
    HWND window = nullptr;

    void SetUp() override {
        deleteTree(HKEY_CURRENT_USER, kMakerKey);
        deleteTree(HKEY_LOCAL_MACHINE, kReserveKey);
    }
    void TearDown() override {
        if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        if (keyloom.started()) {
            EXPECT_TRUE(keyloom.ended(15000)) << "Keyloom did not end after WM_CLOSE";
        }
        deleteTree(HKEY_LOCAL_MACHINE, kReserveKey);
    }
    void startKeyloom() {
        ASSERT_TRUE(window = startedKeyloom(keyloom));
        pumpFor(500);  // first paint
    }
};

TEST_F(KeyloomE2E, FirstRun_PublishesHandle_WritesDefaultsWithExactLengths) {
    startKeyloom();
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ("Keyloom", caption);
    const std::pair<const char*, Bytes> defaults[] = {{"fIcon", {'0', 0}}, {"opts1", {'0', 0}}, {"opts2", {'1', 0}},
                                                      {"opts3", {'0', 0}}, {"opts4", {'1', 0}}, {"opts5", {'1', 0}}};
    for (const auto& [name, bytes] : defaults) {
        DWORD type = 0;
        Bytes data;
        ASSERT_TRUE(readValue(HKEY_CURRENT_USER, kCfgKey, name, &type, &data)) << name;
        EXPECT_EQ(DWORD(REG_SZ), type) << name;
        EXPECT_EQ(bytes, data) << name;
    }
    for (const char* name : {"X", "Y"}) {
        DWORD type = 0;
        Bytes data;
        ASSERT_TRUE(readValue(HKEY_CURRENT_USER, kCfgKey, name, &type, &data)) << name;
        EXPECT_EQ(5u, data.size()) << name;
    }
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(318, r.right - r.left) << "the window is as wide as the picture";
}

TEST_F(KeyloomE2E, SecondStart_RestoresTheFirstWindowAndEnds) {
    startKeyloom();
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(window); }, 20000)) << "minimizing must hide the window";
    ChildProcess second;
    ASSERT_TRUE(second.start(programPath("Keyloom.exe")));
    ASSERT_TRUE(second.ended(15000)) << "the second copy must end";
    EXPECT_EQ(0u, second.exitCode());
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) && !IsIconic(window); }, 20000));
    EXPECT_EQ(window, publishedWindow()) << "the second copy must not publish itself";
}

// A published number that names another window (a hung one, or any other program's after
// a crash) is not the first copy: the second copy ends without touching it.
// The published window cannot be verified as the first copy's: the second copy does not
// touch it, and starts rather than leave the user without a launcher.
TEST_F(KeyloomE2E, SecondStart_WithAnotherWindowPublished_LeavesItAlone_AndStarts) {
    startKeyloom();
    constexpr char kOtherClass[] = "Vantora.Test.Other";
    ASSERT_TRUE(registerClass(kOtherClass));
    auto publish = [](HWND w) {
        writeDword(HKEY_CURRENT_USER, kMakerKey, kPublishedValue, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(w)));
    };
    for (const bool pumps : {false, true}) {
        const WindowThread other(kOtherClass, pumps);
        // Asynchronous: a window whose thread never pumps would hold up the test itself.
        ShowWindowAsync(other.window(), SW_SHOWMINNOACTIVE);
        publish(other.window());
        ChildProcess second;
        ASSERT_TRUE(second.start(programPath("Keyloom.exe")));
        HWND started = nullptr;
        EXPECT_TRUE(waitFor([&] {
            return (started = publishedWindow()) == topWindowOf(second.id(), "Vantora.Keyloom.Form1") && started;
        }, 30000))
            << "pumps " << pumps << ": the second copy must start and publish its window";
        if (started) PostMessageA(started, WM_CLOSE, 0, 0);
        EXPECT_TRUE(second.ended(15000));
        if (pumps) {
            EXPECT_TRUE(IsIconic(other.window())) << "another program's window stays as it was";
        }
    }
    publish(window);
}

// The window manager's own sentinels reach SetWindowPos intact on every build: a 64-bit
// build once passed HWND_TOPMOST as 0xFFFFFFFF, which names no window.
TEST_F(KeyloomE2E, AlwaysOnTop_MakesTheWindowAndItsDialogsTopMost_AndOffTakesItAway) {
    startKeyloom();
    auto topMost = [](HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    ASSERT_FALSE(topMost(window));
    PostMessageA(window, WM_COMMAND, IDM_TOP, 0);
    EXPECT_TRUE(waitFor([&] { return topMost(window); }, 10000)) << "the main window";
    PostMessageA(window, WM_COMMAND, IDM_ASSIGNMENTS, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = dialogOf(keyloom.id(), "Function Key Assignments")) != nullptr; }, 20000));
    EXPECT_TRUE(topMost(dialog)) << "a dialog opened while the option is on";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }, 10000));
    PostMessageA(window, WM_COMMAND, IDM_TOP, 0);
    EXPECT_TRUE(waitFor([&] { return !topMost(window); }, 10000)) << "turned off again";
}

TEST_F(KeyloomE2E, Minimize_HidesToTray_TrayDoubleClickRestores) {
    startKeyloom();
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(window); }, 20000));
    PostMessageA(window, TrayCallbackMessage, kTrayIconId - 1, WM_LBUTTONDBLCLK);  // another icon: ignored
    PostMessageA(window, TrayCallbackMessage, kTrayIconId, WM_LBUTTONDOWN);  // a single click: ignored
    pumpFor(500);
    EXPECT_FALSE(IsWindowVisible(window));
    PostMessageA(window, TrayCallbackMessage, kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) && !IsIconic(window); }, 20000));
}

TEST_F(KeyloomE2E, ReservedKeyColour_AndPopupCornerMark_AreOnScreen) {
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-B", "@C:\\windows");
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-C", "notepad.exe");
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-V", "@C:\\windows");
    writeValue(HKEY_LOCAL_MACHINE, kReserveKey, "V", REG_DWORD, {1, 0, 0, 0});
    startKeyloom();  // first run: marking is on by default
    SetForegroundWindow(window);
    pumpFor(300);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    EXPECT_TRUE(anyPixel(window, 116, 123, 24, 24, RGB(132, 134, 165))) << "Fn-V in the reserved colour";
    EXPECT_TRUE(anyPixel(window, 90, 123, 24, 24, RGB(0, 255, 255))) << "Fn-C in the assigned colour";
    EXPECT_TRUE(anyPixel(window, 64, 123, 24, 24, RGB(255, 255, 255))) << "Fn-X unassigned, white";
    const WindowDc dc(window);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.get(), 142, 123)) << "Fn-B corner mark";
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.get(), 147, 123));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.get(), 142, 128));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.get(), 116, 123)) << "reserved popup key keeps its mark";
    EXPECT_NE(RGB(255, 0, 0), GetPixel(dc.get(), 147, 128)) << "a triangle, not a square";
}

// Closing the window, and the end of the session, which is a close too: the position
// is kept and the handle unpublished.
TEST_F(KeyloomE2E, CloseAndSessionEnd_DeletePublishedHandle_StorePosition) {
    const struct {
        const char* road;
        void (*close)(HWND);
    } roads[] = {{"close", [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); }},
                 {"session end", [](HWND w) {
                      DWORD_PTR answer = 0;
                      SendMessageTimeoutA(w, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
                      EXPECT_NE(0u, answer) << "the launcher never holds up the end of the session";
                      SendMessageTimeoutA(w, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer);
                  }}};
    int left = 200;
    for (const auto& r : roads) {
        startKeyloom();
        SetWindowPos(window, nullptr, left += 40, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT at;
        GetWindowRect(window, &at);
        r.close(window);
        ASSERT_TRUE(keyloom.ended(15000)) << r.road;
        EXPECT_EQ(nullptr, publishedWindow()) << r.road;
        DWORD type = 0;
        Bytes x;
        ASSERT_TRUE(readValue(HKEY_CURRENT_USER, kCfgKey, "X", &type, &x)) << r.road;
        const std::string expected = std::to_string(at.left * 15);
        EXPECT_EQ(expected, std::string(x.begin(), x.begin() + std::min(x.size(), expected.size()))) << r.road;
        window = nullptr;
        keyloom = ChildProcess();
    }
}

// F1 opens the main window's help, as in every window of the launcher.
TEST_F(KeyloomE2E, F1_OpensTheHelp) {
    startKeyloom();
    SetForegroundWindow(window);
    ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == window; }, 5000));
    keybd_event(VK_F1, 0x3B, 0, 0);
    keybd_event(VK_F1, 0x3B, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(waitFor([] { return FindWindowA("MS_WINHELP", nullptr) != nullptr; }, 20000)) << "no help window";
    for (HWND help = FindWindowA("MS_WINHELP", nullptr); help; help = FindWindowA("MS_WINHELP", nullptr)) {
        PostMessageA(help, WM_CLOSE, 0, 0);
        if (!waitFor([&] { return !IsWindow(help); }, 5000)) break;
    }
}

// The tray answers for an icon by window and id; modifying one succeeds only while it exists.
bool trayIconExists(HWND w) {
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = w;
    data.uID = kTrayIconId;
    data.uFlags = NIF_TIP;
    lstrcpyA(data.szTip, "Keyloom");
    return Shell_NotifyIconA(NIM_MODIFY, &data) != 0;
}

TEST_F(KeyloomE2E, TrayIcon_ComesBackWhenTheTaskbarIsRecreated_AndGoesOnClose) {
    startKeyloom();
    ASSERT_TRUE(trayIconExists(window));
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));  // as a restarted taskbar forgets it
    ASSERT_FALSE(trayIconExists(window));
    SendMessageTimeoutA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(waitFor([&] { return trayIconExists(window); }, 5000));
    const HWND closed = window;
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(keyloom.ended(15000));
    window = nullptr;
    EXPECT_FALSE(trayIconExists(closed));
}

// The key labels' tips: the tooltip window of the process and the number of its tools.
struct ToolTips {
    DWORD process;
    LRESULT tools = -1;
};
BOOL CALLBACK countTools(HWND w, LPARAM l) {
    auto* t = reinterpret_cast<ToolTips*>(l);
    DWORD owner = 0;
    char cls[32] = {};
    GetWindowThreadProcessId(w, &owner);
    GetClassNameA(w, cls, sizeof cls);
    if (owner != t->process || lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0) return TRUE;
    DWORD_PTR count = 0;
    SendMessageTimeoutA(w, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count);
    t->tools = static_cast<LRESULT>(count);
    return FALSE;
}

// The tip window is made when the mouse first comes over the window, so that the window
// shows without waiting for it; each key label the mouse visits gets its tip ("none" for
// an unassigned key).
TEST_F(KeyloomE2E, KeyLabelTips_ComeWithTheMouse) {
    startKeyloom();
    ToolTips tips{keyloom.id()};
    for (const auto& key : {kKeyTable[0], kKeyTable[6]})
        PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(key.left + 2, key.top + 2));
    EXPECT_TRUE(waitFor([&] {
        EnumWindows(countTools, reinterpret_cast<LPARAM>(&tips));
        return tips.tools == 2;
    }, 5000)) << "tools: " << tips.tools;
}

TEST_F(KeyloomE2E, BadStoredValues_AreTreatedAsAbsent) {
    writeValue(HKEY_CURRENT_USER, kCfgKey, "opts2", REG_DWORD, {1, 0, 0, 0});
    writeValue(HKEY_CURRENT_USER, kCfgKey, "X", REG_SZ, Bytes(64 * 1024, '9'));
    writeValue(HKEY_CURRENT_USER, kCfgKey, "Y", REG_BINARY, {});
    writeValue(HKEY_CURRENT_USER, kCmdKey, "Fn-A", REG_BINARY, {'n', 'o', 't', 'e'});
    writeValue(HKEY_CURRENT_USER, kCmdKey, "Fn-S", REG_SZ, Bytes(64 * 1024, 'x'));
    writeValue(HKEY_CURRENT_USER, kCmdKey, "Fn-D", REG_SZ, {'@', 'C', ':'});  // no terminator
    startKeyloom();
    pumpFor(500);
    ASSERT_FALSE(keyloom.ended(0)) << "Keyloom ended";
    EXPECT_TRUE(anyPixel(window, 28, 96, 24, 24, RGB(255, 255, 255))) << "Fn-A of the wrong type: unassigned";
    EXPECT_TRUE(anyPixel(window, 54, 97, 24, 24, RGB(255, 255, 255))) << "oversized Fn-S: unassigned";
    EXPECT_TRUE(anyPixel(window, 80, 97, 24, 24, RGB(0, 255, 255))) << "Fn-D without terminator: assigned";
    const WindowDc dc(window);
    EXPECT_NE(RGB(255, 0, 0), GetPixel(dc.get(), 80, 97)) << "marking read as off";
}

}  // namespace
