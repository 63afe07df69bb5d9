// Fn-key presses delivered to the real Keyloom.exe as the hotkey service delivers
// them, and what the user then sees: the assignment dialog, the program started or
// brought back, the popup list.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "launcher/launcher_constants.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;
using vantora::launcher::FnKeyMessage;
using vantora::launcher::kCfgKey;
using vantora::launcher::kCmdKey;
using vantora::launcher::kFnKeyWParam;
using vantora::launcher::kMakerKey;
using vantora::launcher::kOptsKey;
using vantora::launcher::kPrgKey;
using vantora::launcher::kTrayDoubleClick;
using vantora::launcher::kTrayIconId;
using vantora::launcher::kTrayRightButtonUp;
using vantora::launcher::TrayCallbackMessage;

constexpr LPARAM kScanA = 0x1E, kScanB = 0x30, kScanQ = 0x10;

// Every copy of the probe, under any of its names; a probe may still be on its way to
// its window when a test ends, so it is ended by process, not by window.
void killProbes() {
    endProcessesNamed({"probe_app.exe", "a-first.exe", "b-second.exe", "c-third.exe", "app.exe", "My.exe", "Program.exe"});
}

class LaunchingE2E : public ::testing::Test {
protected:
    ChildProcess keyloom;
    HWND window = nullptr;

    void SetUp() override {
        killProbes();
        deleteTree(HKEY_CURRENT_USER, kMakerKey);
    }
    void TearDown() override {
        for (HWND w : windowsTitled("Assignment Type")) PostMessageA(w, WM_CLOSE, 0, 0);
        if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        if (keyloom.started()) {
            EXPECT_TRUE(keyloom.ended(15000)) << "Keyloom did not end after WM_CLOSE";
        }
        killProbes();
    }
    void startKeyloom() { ASSERT_TRUE(window = startedKeyloom(keyloom)); }
    void press(LPARAM scan) { PostMessageA(window, FnKeyMessage, kFnKeyWParam, scan); }
    // A log file in the temporary folder, emptied; its path has no spaces.
    std::string freshLog() {
        char dir[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, dir);
        const std::string log = std::string(dir) + "vantora-probe.log";
        DeleteFileA(log.c_str());
        return log;
    }
    // The probe's log without its empty lines.
    static std::vector<std::string> lines(const std::string& file) {
        std::vector<std::string> out = fileLines(file);
        std::erase(out, std::string());
        return out;
    }
    void assignProbe(const char* key, const char* switching) {
        writeText(HKEY_CURRENT_USER, kCmdKey, key, quoted(programPath("probe_app.exe")) + " --copy");
        writeText(HKEY_CURRENT_USER, kOptsKey, key, switching);
    }
    // The window is hidden to the tray, as minimizing does.
    void toTray() {
        ShowWindow(window, SW_MINIMIZE);
        ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(window); }, 5000));
    }
};

TEST_F(LaunchingE2E, UnassignedKey_OpensAssignmentType_ModalOverTheWindow_ModelessFromTheTray) {
    startKeyloom();
    press(kScanQ);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = onlyWindowTitled("Assignment Type")) != nullptr; }, 10000));
    EXPECT_EQ(window, GetWindow(dialog, GW_OWNER)) << "modal, owned by the main window";
    EXPECT_FALSE(IsWindowEnabled(window)) << "the main window waits for the modal dialog";
    char key[32] = {};
    GetDlgItemTextA(dialog, 2001, key, sizeof key);
    EXPECT_STREQ("Fn-Q", key);

    press(kScanA);  // a second press while it is open only raises windows
    pumpFor(500);
    EXPECT_EQ(1u, windowsTitled("Assignment Type").size());

    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);  // Esc
    ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }, 10000)) << "Esc must close it";
    EXPECT_TRUE(IsWindowEnabled(window));

    toTray();
    press(kScanA);
    ASSERT_TRUE(waitFor([&] { return (dialog = onlyWindowTitled("Assignment Type")) != nullptr; }, 10000))
        << "the dialog opens again once the first one closed";
    EXPECT_EQ(nullptr, GetWindow(dialog, GW_OWNER)) << "modeless, without the hidden window as owner";
    GetDlgItemTextA(dialog, 2001, key, sizeof key);
    EXPECT_STREQ("Fn-A", key);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(2003, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, 2003)));
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }, 10000)) << "Cancel must close it";
}

// Any process may post the Fn-key message: a burst of presses of one key starts its
// program once, Keyloom answers right after, and the key works again once it is over.
TEST_F(LaunchingE2E, FnKeyFlood_StartsTheProgramOnce_AndTheKeyWorksAgainAfterwards) {
    const std::string log = freshLog();
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-A", quoted(programPath("probe_app.exe")) + " --log " + log + " flood");
    startKeyloom();
    for (int i = 0; i < 20; ++i) press(kScanA);
    EXPECT_TRUE(waitFor([&] { return !lines(log).empty(); }, 20000)) << "not started at all";
    pumpFor(3000);  // time for any further copy to start and log
    EXPECT_EQ(1u, lines(log).size());
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer)) << "Keyloom hangs";
    press(kScanA);
    EXPECT_TRUE(waitFor([&] { return lines(log).size() == 2; }, 20000)) << "the key no longer works";
}

TEST_F(LaunchingE2E, KeyClicks_LeftLaunches_RightOpensAssignmentType) {
    const std::string log = freshLog();
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-Q", quoted(programPath("probe_app.exe")) + " --log " + log + " clicked");
    startKeyloom();
    const LPARAM onKeyQ = MAKELPARAM(20 + 8, 71 + 8);  // inside the Q key's label
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, onKeyQ);
    PostMessageA(window, WM_LBUTTONUP, 0, onKeyQ);
    EXPECT_TRUE(waitFor([&] { return lines(log) == std::vector<std::string>{"clicked"}; }, 20000));

    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, onKeyQ);
    PostMessageA(window, WM_RBUTTONUP, 0, onKeyQ);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = onlyWindowTitled("Assignment Type")) != nullptr; }, 10000));
    EXPECT_EQ(window, GetWindow(dialog, GW_OWNER));
    char key[32] = {};
    GetDlgItemTextA(dialog, 2001, key, sizeof key);
    EXPECT_STREQ("Fn-Q", key);
}

TEST_F(LaunchingE2E, SwitchingOn_SecondPressBringsTheSameCopyBack_AndStartsAgainAfterItEnded) {
    writeText(HKEY_CURRENT_USER, kCfgKey, "opts3", "0");
    startKeyloom();
    assignProbe("Fn-B", "1");
    press(kScanB);
    HWND probe = nullptr;
    ASSERT_TRUE(waitFor([&] { return (probe = onlyWindowTitled("Probe ")) != nullptr; }, 20000)) << "not started";

    // A press that comes while the key's launch is still under way is dropped as part of a
    // flood. Keyloom waits up to 1.5 s for the program to take input, answering sent
    // messages meanwhile: the second press comes after that.
    pumpFor(1600);
    ShowWindow(probe, SW_MINIMIZE);
    SetForegroundWindow(window);
    press(kScanB);
    EXPECT_TRUE(waitFor([&] { return !IsIconic(probe) && GetForegroundWindow() == probe; }, 10000))
        << "the running copy must be restored and brought forward";
    pumpFor(500);
    std::string titles;
    for (HWND w : windowsTitled("Probe ")) {
        char t[64] = {};
        GetWindowTextA(w, t, sizeof t);
        titles += std::string(t) + (w == probe ? " (first) " : " ");
    }
    EXPECT_EQ(1u, windowsTitled("Probe ").size()) << "no second copy: " << titles;

    // A press while the program is still on its way out finds it running, so the test
    // waits for the process, not only for its window.
    DWORD id = 0;
    GetWindowThreadProcessId(probe, &id);
    const vantora::win32::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    ASSERT_TRUE(process) << GetLastError();
    PostMessageA(probe, WM_CLOSE, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.get(), 10000)) << "the probe did not end";
    press(kScanB);
    HWND again = nullptr;
    EXPECT_TRUE(waitFor([&] { return (again = onlyWindowTitled("Probe ")) != nullptr; }, 20000))
        << "after the program ended, the key starts it again";
}

TEST_F(LaunchingE2E, SwitchingOff_EveryPressStartsACopy_AndMinimizeOnUseHidesTheLauncher) {
    writeText(HKEY_CURRENT_USER, kCfgKey, "opts3", "1");
    startKeyloom();
    assignProbe("Fn-B", "0");
    press(kScanB);
    ASSERT_TRUE(waitFor([&] { return windowsTitled("Probe ").size() == 1; }, 20000));
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(window); }, 5000)) << "minimize on use: back to the tray";
    press(kScanB);
    EXPECT_TRUE(waitFor([&] { return windowsTitled("Probe ").size() == 2; }, 20000));
}

TEST_F(LaunchingE2E, EveryTableScanCodeLaunchesItsKey_AndTheCodesBesideTheTableDoNothing) {
    struct Key {
        const char* name;
        LPARAM scan;
    };
    const Key keys[] = {{"Fn-1", 0x02}, {"Fn-2", 0x03}, {"Fn-3", 0x04}, {"Fn-4", 0x05}, {"Fn-5", 0x06},
                        {"Fn-6", 0x07}, {"Fn-Q", 0x10}, {"Fn-W", 0x11}, {"Fn-E", 0x12}, {"Fn-R", 0x13},
                        {"Fn-T", 0x14}, {"Fn-Y", 0x15}, {"Fn-A", 0x1E}, {"Fn-S", 0x1F}, {"Fn-D", 0x20},
                        {"Fn-F", 0x21}, {"Fn-G", 0x22}, {"Fn-H", 0x23}, {"Fn-Z", 0x2C}, {"Fn-X", 0x2D},
                        {"Fn-C", 0x2E}, {"Fn-V", 0x2F}, {"Fn-B", 0x30}, {"Fn-N", 0x31}};
    const std::string log = freshLog();
    const std::string probe = quoted(programPath("probe_app.exe")) + " --log " + log + " ";
    for (const Key& k : keys) {
        writeText(HKEY_CURRENT_USER, kCmdKey, k.name, probe + k.name);
        writeText(HKEY_CURRENT_USER, kOptsKey, k.name, "1");
    }
    startKeyloom();
    for (LPARAM outside : {0x01, 0x08, 0x0F, 0x16, 0x17, 0x1D, 0x24, 0x2B, 0x32}) press(outside);
    PostMessageA(window, FnKeyMessage, kFnKeyWParam + 1, 0x1E);  // another wParam
    for (const Key& k : keys) press(k.scan);
    ASSERT_TRUE(waitFor([&] { return lines(log).size() >= 24; }, 60000)) << lines(log).size() << " starts";
    pumpFor(1000);
    std::multiset<std::string> started;
    for (const auto& line : lines(log)) started.insert(line);
    std::multiset<std::string> expected;
    for (const Key& k : keys) expected.insert(k.name);
    EXPECT_EQ(expected, started) << "each key once, nothing for the codes beside the table";
}

TEST_F(LaunchingE2E, PopupKey_ShowsItsEntriesInRegistryOrder_AndTheChosenEntryStarts) {
    // Three copies of the probe as the list's entries, stored out of order: the
    // registry enumerates them sorted, and the menu follows the registry.
    const std::string log = freshLog();
    SetEnvironmentVariableA("VANTORA_PROBE_LOG", log.c_str());
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-A", std::string("@") + temp);
    const std::string list = std::string(kPrgKey) + "\\Fn-A";
    writeText(HKEY_CURRENT_USER, list.c_str(), "FileCount", "3");
    for (const char* name : {"c-third.exe", "a-first.exe", "b-second.exe"}) {
        const std::string copy = std::string(temp) + name;
        ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), copy.c_str(), FALSE)) << copy;
        const std::string entry = list + "\\" + name;
        writeText(HKEY_CURRENT_USER, entry.c_str(), name, copy);
    }
    startKeyloom();
    SetForegroundWindow(window);
    press(kScanA);
    HWND menu = nullptr;
    ASSERT_TRUE(waitFor([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); },
                        10000))
        << "no popup menu";
    // The key name, then past the separator to the first and the second entry.
    for (WORD vk : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) {
        keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
        keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
        pumpFor(150);
    }
    EXPECT_TRUE(waitFor([&] { return !lines(log).empty(); }, 20000)) << "no entry was started";
    EXPECT_EQ(std::vector<std::string>{"b-second.exe"}, lines(log)) << "the second entry in registry order";
    SetEnvironmentVariableA("VANTORA_PROBE_LOG", nullptr);
}

TEST_F(LaunchingE2E, PopupKey_WithFileCountZero_OpensItsFolder) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "VantoraPopupFolder";
    CreateDirectoryA(folder.c_str(), nullptr);
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-A", "@" + folder);
    writeText(HKEY_CURRENT_USER, (std::string(kPrgKey) + "\\Fn-A").c_str(), "FileCount", "0");
    startKeyloom();
    press(kScanA);
    EXPECT_TRUE(waitFor([&] { return !windowsTitled("VantoraPopupFolder").empty(); }, 20000))
        << "no window of the folder";
    for (HWND w : windowsTitled("VantoraPopupFolder")) PostMessageA(w, WM_CLOSE, 0, 0);
}

TEST_F(LaunchingE2E, MinimizeOnUse_FromTheTray_TheWindowStaysHidden) {
    writeText(HKEY_CURRENT_USER, kCfgKey, "opts3", "1");
    startKeyloom();
    assignProbe("Fn-B", "0");
    toTray();
    for (int press_ = 1; press_ <= 3; ++press_) {
        press(kScanB);
        ASSERT_TRUE(waitFor([&] { return windowsTitled("Probe ").size() == static_cast<size_t>(press_); }, 20000));
        pumpFor(300);
        EXPECT_FALSE(IsWindowVisible(window)) << "press " << press_ << ": the launcher left the tray";
    }
}

// The active form is the launcher's own business: with a modeless dialog open and
// another program in front, the Fn key and the tray bring the dialog, not the window.
TEST_F(LaunchingE2E, ModelessDialogOpen_AnotherProgramInFront_FnKeyAndTrayRaiseTheDialog) {
    startKeyloom();
    toTray();
    press(kScanQ);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = onlyWindowTitled("Assignment Type")) != nullptr; }, 10000));
    ChildProcess other;
    ASSERT_TRUE(other.start(programPath("probe_app.exe")));
    HWND probe = nullptr;
    ASSERT_TRUE(waitFor([&] { return (probe = onlyWindowTitled("Probe ")) != nullptr; }, 20000));

    const auto raisedBy = [&](const char* road, auto&& act) {
        SetForegroundWindow(probe);
        ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == probe; }, 5000));
        act();
        EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == dialog; }, 5000)) << road;
        EXPECT_FALSE(IsWindowVisible(window)) << road << ": the main window stays in the tray";
    };
    raisedBy("Fn key", [&] { press(kScanQ); });
    raisedBy("tray double click", [&] { PostMessageA(window, TrayCallbackMessage, kTrayIconId, kTrayDoubleClick); });
}

// Whatever the command line's words name, the file that the whole path names runs: a
// planted C:\...\My.exe never stands in for C:\...\My App\app.exe.
TEST_F(LaunchingE2E, UnquotedCommandWithSpaces_RunsTheProgramItNames_NotAPlantedOne) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "VantoraTools";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\My App").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), (root + "\\My.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), (root + "\\My App\\app.exe").c_str(), FALSE));
    const std::string log = freshLog();
    SetEnvironmentVariableA("VANTORA_PROBE_LOG", log.c_str());
    for (auto [key, switching] : {std::pair{"Fn-A", "1"}, std::pair{"Fn-B", "0"}}) {
        writeText(HKEY_CURRENT_USER, kCmdKey, key, root + "\\My App\\app.exe --flag");
        writeText(HKEY_CURRENT_USER, kOptsKey, key, switching);
    }
    startKeyloom();
    press(kScanA);
    press(kScanB);
    EXPECT_TRUE(waitFor([&] { return lines(log).size() >= 2; }, 20000)) << lines(log).size() << " starts";
    pumpFor(500);
    EXPECT_EQ((std::vector<std::string>{"app.exe", "app.exe"}), lines(log));
    SetEnvironmentVariableA("VANTORA_PROBE_LOG", nullptr);
    killProbes();
    DeleteFileA((root + "\\My.exe").c_str());
    DeleteFileA((root + "\\My App\\app.exe").c_str());
}

// The program a command names is gone: a C:\Program.exe, where the path's first word
// leads, never starts in its place, whichever road the key takes. A key that starts the
// probe by its full name is pressed last: once it ran, the presses before it were handled.
TEST_F(LaunchingE2E, CommandWhoseProgramIsGone_NeverStartsAFilePlantedInAParentFolder) {
    struct Planted {
        const char* path = "C:\\Program.exe";
        ~Planted() {
            endProcessesNamed({"Program.exe"});
            DeleteFileA(path);
        }
    } planted;
    ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), planted.path, FALSE));
    const std::string log = freshLog();
    SetEnvironmentVariableA("VANTORA_PROBE_LOG", log.c_str());
    for (auto [key, switching] : {std::pair{"Fn-A", "1"}, std::pair{"Fn-B", "0"}}) {
        writeText(HKEY_CURRENT_USER, kCmdKey, key, "C:\\Program Files\\Gone App\\app");
        writeText(HKEY_CURRENT_USER, kOptsKey, key, switching);
    }
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-Q", quoted(programPath("probe_app.exe")));
    startKeyloom();
    for (LPARAM scan : {kScanA, kScanB, kScanQ}) press(scan);
    EXPECT_TRUE(waitFor([&] { return !lines(log).empty(); }, 20000)) << "not even the probe started";
    pumpFor(1000);
    EXPECT_EQ(std::vector<std::string>{"probe_app.exe"}, lines(log));
    SetEnvironmentVariableA("VANTORA_PROBE_LOG", nullptr);
}

// A modal Assignment Type dialog: the main window is disabled, and clicks posted to it
// reach nothing; the open dialog stays the one and only, and the tray menu does not push
// it behind the main window.
TEST_F(LaunchingE2E, ModalDialogOpen_PostedClicksOpenNoSecondOne_AndTheTrayMenuKeepsItInFront) {
    startKeyloom();
    const LPARAM onKeyQ = MAKELPARAM(20 + 8, 71 + 8), onKeyA = MAKELPARAM(28 + 8, 96 + 8);
    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, onKeyQ);
    HWND dialog = nullptr;
    ASSERT_TRUE(waitFor([&] { return (dialog = onlyWindowTitled("Assignment Type")) != nullptr; }, 10000));
    for (UINT message : {WM_RBUTTONDOWN, WM_LBUTTONDOWN}) PostMessageA(window, message, MK_RBUTTON, onKeyA);
    pumpFor(800);
    EXPECT_EQ(std::set<HWND>{dialog}, windowsTitled("Assignment Type"));
    char key[32] = {};
    GetDlgItemTextA(dialog, 2001, key, sizeof key);
    EXPECT_STREQ("Fn-Q", key);

    PostMessageA(window, TrayCallbackMessage, kTrayIconId, kTrayRightButtonUp);
    HWND menu = nullptr;
    ASSERT_TRUE(waitFor([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); },
                        10000));
    EXPECT_EQ(dialog, GetForegroundWindow()) << "the dialog stays in front while the tray menu shows";
    keybd_event(VK_ESCAPE, 0, 0, 0);
    keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(menu); }, 5000));
    EXPECT_EQ(dialog, GetForegroundWindow());
}

// The whole road of a key press: the hotkey service's Fn key (Scroll Lock here) held
// with A, as a user presses them, reaches Keyloom and starts Fn-A's command.
TEST_F(LaunchingE2E, HotkeyService_FnKeyPlusA_LaunchesFnA) {
    const std::string log = freshLog();
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-A", quoted(programPath("probe_app.exe")) + " --log " + log + " pressed");
    startKeyloom();
    ChildProcess service;
    const std::string serviceLog = log + ".service";
    ASSERT_TRUE(service.start(programPath("VHotkey.exe"), "/log " + serviceLog));
    ASSERT_TRUE(waitFor([] { return FindWindowA(vantora::hotkey::kWindowClass, nullptr) != nullptr; }, 20000))
        << "the hotkey service did not come up";
    pumpFor(300);  // its keyboard hook is installed before its window shows up, but give it a moment

    auto key = [](WORD vk, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &in, sizeof in);
        pumpFor(50);
    };
    key(VK_SCROLL, false);
    key('A', false);
    key('A', true);
    key(VK_SCROLL, true);
    EXPECT_TRUE(waitFor([&] { return lines(log) == std::vector<std::string>{"pressed"}; }, 20000))
        << "Fn-A's command did not start";

    // Without the Fn key, A is only a letter.
    key('A', false);
    key('A', true);
    pumpFor(1500);
    EXPECT_EQ(1u, lines(log).size());
    PostMessageA(FindWindowA(vantora::hotkey::kWindowClass, nullptr), WM_CLOSE, 0, 0);
    EXPECT_TRUE(service.ended(10000));
}

}  // namespace
