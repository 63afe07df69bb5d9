// Drives the real VHotkey.exe from outside, as the launcher, the settings dialog and a
// user at the keyboard would. A copy of the probe program named Keyloom.exe stands in
// for the launcher: its window is published as "Keyloom" and hands every FnKeyMessage
// on to a probe window of this program, which records it.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/common_module_win32.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::hotkey;
using namespace vantora::testing;

struct Received {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Received& r) {
    return os << "{0x" << std::hex << r.msg << ", 0x" << r.wParam << ", 0x" << r.lParam << std::dec << "}";
}

std::vector<Received> g_received;

LRESULT CALLBACK probeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kFnKeyMessage) g_received.push_back({msg, wParam, lParam});
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND makeProbe() {
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = probeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Vantora.Test.LauncherProbe";
        return RegisterClassA(&wc) != 0;
    }();
    if (!registered) return nullptr;
    return CreateWindowExA(0, "Vantora.Test.LauncherProbe", "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

DWORD handleOf(HWND w) { return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(w)); }

BOOL CALLBACK countServiceWindow(HWND w, LPARAM count) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    if (std::string(name) == kWindowClass) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int serviceWindowCount() {
    int count = 0;
    EnumWindows(countServiceWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

// "+66" for a press of B, "-66" for its release.
std::string keyEvent(bool down, DWORD vk) {
    std::string s(1, down ? '+' : '-');
    s += std::to_string(vk);
    return s;
}

// Every key event that gets past the hooks installed after this one: the service's
// hook, installed later, is called first and decides what this one sees.
class KeyObserver {
public:
    KeyObserver() {
        thread_ = std::thread([this] {
            self_ = this;
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // make the queue first
            hook_ = SetWindowsHookExA(WH_KEYBOARD_LL, hookProc, GetModuleHandleA(nullptr), 0);
            threadId_ = GetCurrentThreadId();
            ready_ = true;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
            if (hook_) UnhookWindowsHookEx(hook_);
        });
        waitFor([this] { return ready_.load(); }, 5000);
    }
    ~KeyObserver() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        self_ = nullptr;
    }
    bool hooked() const { return hook_ != nullptr; }
    // "+B" for a press, "-B" for a release, by virtual-key code.
    std::vector<std::string> seen() {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        seen_.clear();
    }

private:
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HC_ACTION && self_) {
            const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
            const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
            std::lock_guard lock(self_->mutex_);
            self_->seen_.push_back(keyEvent(down, k->vkCode));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline KeyObserver* self_ = nullptr;
    std::thread thread_;
    HHOOK hook_ = nullptr;
    DWORD threadId_ = 0;
    std::atomic<bool> ready_{false};
    std::mutex mutex_;
    std::vector<std::string> seen_;
};

void key(WORD vk, WORD scan, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
    pumpFor(30);
}
void tap(WORD vk, WORD scan) {
    key(vk, scan, true);
    key(vk, scan, false);
}

constexpr WORD kScroll = VK_SCROLL, kScanScroll = 0x46;
constexpr WORD kScanB = 0x30, kScanC = 0x2E, kScanF12 = 0x58;

class HotkeyService : public ::testing::Test {
protected:
    TempFolder folder{"vhotkey-test"};
    std::string log = folder.file("VHotkey.log");
    ChildProcess service;
    HWND window = nullptr;
    vantora::win32::UniqueWindow probe;
    ChildProcess launcher;  // ends before the folder holding it is removed

    void SetUp() override {
        g_received.clear();
        // A service left over from an earlier program would answer in place of ours.
        if (HWND old = FindWindowA(kWindowClass, nullptr)) PostMessageA(old, WM_CLOSE, 0, 0);
        ASSERT_TRUE(waitFor([] { return !FindWindowA(kWindowClass, nullptr); }, 10000)) << "an old service stays";
        deleteValue(HKEY_CURRENT_USER, kLauncherKey, kLauncherValue);
        deleteTree(HKEY_CURRENT_USER, kServiceUserKey);
        deleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue);
        deleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, kIdleTimeValue);
    }
    void TearDown() override {
        if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        if (service.started()) {
            EXPECT_TRUE(service.ended(10000)) << "VHotkey did not end after WM_CLOSE";
        }
        probe.reset();
        deleteValue(HKEY_CURRENT_USER, kLauncherKey, kLauncherValue);
        deleteTree(HKEY_CURRENT_USER, kServiceUserKey);
        deleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue);
        deleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, kIdleTimeValue);
    }

    void startService(const std::string& extra = "") {
        ASSERT_TRUE(service.start(programPath("VHotkey.exe"), "/log \"" + log + "\" " + extra))
            << GetLastError();
        ASSERT_TRUE(waitFor([&] { return (window = FindWindowA(kWindowClass, nullptr)) != nullptr; }, 10000))
            << "no service window";
        ASSERT_TRUE(waitFor([&] { return logHas("start "); }, 10000)) << "no start line in the log:\n" << logText();
    }
    void publishProbe() {
        probe.reset(makeProbe());
        ASSERT_TRUE(probe);
        const std::string exe = folder.file(kLauncherProgram);
        ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), exe.c_str(), FALSE));
        ASSERT_TRUE(launcher.start(exe, "--launcher " + std::to_string(handleOf(probe.get()))));
        HWND relay = nullptr;
        ASSERT_TRUE(waitFor([&] { return (relay = topWindowOf(launcher.id(), kLauncherWindowClass)) != nullptr; },
                            10000));
        ASSERT_TRUE(writeDword(HKEY_CURRENT_USER, kLauncherKey, kLauncherValue, handleOf(relay)));
    }
    std::string logText() const {
        std::ifstream in(log, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::vector<std::string> logLines() const { return fileLines(log); }
    bool logHas(const std::string& prefix) const {
        for (const auto& l : logLines())
            if (l.rfind(prefix, 0) == 0) return true;
        return false;
    }
    bool logHasLine(const std::string& line) const {
        for (const auto& l : logLines())
            if (l == line) return true;
        return false;
    }
    LRESULT settings(WPARAM w, LPARAM l) {
        DWORD_PTR answer = 0xBAD;
        EXPECT_NE(0, SendMessageTimeoutA(window, kSettingsMessage, w, l, SMTO_ABORTIFHUNG, 5000, &answer));
        return static_cast<LRESULT>(answer);
    }
    // Fn (Scroll Lock here) held around a press of the key with this scan code.
    static void fnPress(LPARAM scan) {
        const WORD code = static_cast<WORD>(scan);
        const WORD vk = static_cast<WORD>(MapVirtualKeyA(code, MAPVK_VSC_TO_VK));
        key(kScroll, kScanScroll, true);
        key(vk, code, true);
        key(vk, code, false);
        key(kScroll, kScanScroll, false);
    }
    static LONGLONG fileSize(const std::string& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
        return (LONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
};

// Only the keyboard makes the service send FnKeyMessage: the message its hook posts to
// itself, posted by another process, sends nothing.
TEST_F(HotkeyService, FnPresses_ReachThePublishedWindowOncePerPress_AndPostsFromOutsideNothing) {
    publishProbe();
    startService();
    for (LPARAM scan : {0x30, 0x1E, 0x01})
        for (int i = 0; i < 20; ++i) PostMessageA(window, kFnPressQueuedMessage, 0x100, scan);
    pumpFor(500);
    EXPECT_EQ(std::vector<Received>{}, g_received) << "sent for posts from outside";
    const LPARAM scans[] = {0x02, 0x07, 0x10, 0x15, 0x1E, 0x23, 0x2C, 0x31, 0x3B, 0x58};
    std::vector<Received> expected;
    for (LPARAM scan : scans) {
        fnPress(scan);
        expected.push_back({kFnKeyMessage, kFnKeyWParam, scan});
    }
    ASSERT_TRUE(waitFor([&] { return g_received.size() >= expected.size(); }, 10000))
        << "got " << g_received.size() << " of " << expected.size();
    pumpFor(300);
    EXPECT_EQ(expected, g_received);
}

// Any process may send the settings message, one log line each: a flood leaves the log
// and one previous log, each within the cap, also while a reader holds the log open.
TEST_F(HotkeyService, LogFlood_KeepsTheLogAndOnePreviousLog_EachWithinTheCap) {
    const std::string previous = log + kPreviousLogSuffix;
    DeleteFileA(previous.c_str());
    startService();
    std::ifstream reader(log, std::ios::binary);  // shares reading and writing, not renaming
    ASSERT_TRUE(reader.is_open());
    for (int i = 0; i < 4000; ++i) PostMessageA(window, kSettingsMessage, 0xFFFFFFFF, -1000000 - i);
    PostMessageA(window, kSettingsMessage, 7, 7);
    ASSERT_TRUE(waitFor([&] { return logHasLine("2025 7 7 ignored"); }, 60000)) << "the flood was not taken";
    EXPECT_LE(fileSize(log), LONGLONG(kLogLimitBytes));
    EXPECT_LE(fileSize(previous), LONGLONG(kLogLimitBytes));
    EXPECT_GT(fileSize(previous), LONGLONG(kLogLimitBytes) - 64) << "the previous log was rotated when full";
    EXPECT_EQ(-1, fileSize(log + ".2"));
    EXPECT_FALSE(logHas("start ")) << "the start line went with the oldest log";
    DeleteFileA(previous.c_str());
}

TEST_F(HotkeyService, NoLauncherWindowPublished_NothingIsSent_AndTheServiceCarriesOn) {
    const HWND gone = vantora::win32::UniqueWindow(makeProbe()).get();  // destroyed at once
    // What a number left behind by a crashed launcher may name since: another program's
    // window, or one of the launcher's class in a program that is not the launcher.
    const vantora::win32::UniqueWindow other(makeProbe());
    ASSERT_TRUE(registerClass(kLauncherWindowClass));
    const vantora::win32::UniqueWindow impostor(CreateWindowExA(0, kLauncherWindowClass, "Keyloom", WS_POPUP, 0, 0,
                                                                10, 10, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(other && impostor);
    auto publish = [](HWND w) { writeDword(HKEY_CURRENT_USER, kLauncherKey, kLauncherValue, handleOf(w)); };
    struct Case {
        const char* what;
        std::function<void()> publish;
    } cases[] = {
        {"nothing published", [] {}},
        {"a window that is gone", [&] { publish(gone); }},
        {"another program's window", [&] { publish(other.get()); }},
        {"the launcher's class in another program", [&] { publish(impostor.get()); }},
        {"zero", [] { writeDword(HKEY_CURRENT_USER, kLauncherKey, kLauncherValue, 0); }},
        {"text instead of a number",
         [] { writeText(HKEY_CURRENT_USER, kLauncherKey, kLauncherValue, "1234"); }},
    };
    startService();
    int refusals = 0;
    for (const auto& c : cases) {
        deleteValue(HKEY_CURRENT_USER, kLauncherKey, kLauncherValue);
        c.publish();
        fnPress(0x30);
        ++refusals;
        EXPECT_TRUE(waitFor([&] {
            int n = 0;
            for (const auto& l : logLines()) n += l == "fnkey 48 window=none";
            return n == refusals;
        }, 10000)) << c.what << ":\n" << logText();
        EXPECT_FALSE(service.ended(0)) << c.what;
    }
    publishProbe();
    fnPress(0x30);
    EXPECT_TRUE(waitFor([] { return g_received.size() == 1; }, 10000)) << "a window published later is found";
}

TEST_F(HotkeyService, SettingsMessage_RereadsTheValuesAndLogsThem) {
    writeDword(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue, 238);
    writeDword(HKEY_LOCAL_MACHINE, kSettingsKey, kIdleTimeValue, 0);
    startService();
    EXPECT_TRUE(logHasLine("start fnkey=145 sticky=238 idle=0 hook=on")) << logText();
    struct Step {
        DWORD sticky, idle;  // written before the message; kAbsent: deleted
        WPARAM w;
        LPARAM l;
        const char* line;
    };
    constexpr DWORD kAbsent = 0xA85E;
    const Step steps[] = {
        {238, 0, 256, 1, "2025 256 1 StickyKey=238 IdleTime=0"},
        {511, 4, 256, 2, "2025 256 2 StickyKey=511 IdleTime=4"},
        {0xFFFFFFFF, 0xFFFFFFFF, 256, 2, "2025 256 2 StickyKey=4294967295 IdleTime=4294967295"},
        {kAbsent, kAbsent, 256, 1, "2025 256 1 StickyKey=absent IdleTime=absent"},
        {1, 2, 255, 1, "2025 255 1 ignored"},
        {1, 2, 256, 3, "2025 256 3 ignored"},
        {1, 2, 256, 0, "2025 256 0 ignored"},
    };
    for (const auto& s : steps) {
        for (auto [name, value] : {std::pair{kStickyKeyValue, s.sticky}, std::pair{kIdleTimeValue, s.idle}}) {
            if (value == kAbsent)
                deleteValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
            else
                writeDword(HKEY_LOCAL_MACHINE, kSettingsKey, name, value);
        }
        EXPECT_EQ(0, settings(s.w, s.l)) << s.line;
        EXPECT_TRUE(logHasLine(s.line)) << "expected line: " << s.line << "\nlog:\n" << logText();
    }
    // A value of another type counts as absent.
    ASSERT_TRUE(writeText(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue, "238"));
    settings(256, 2);
    EXPECT_TRUE(logHasLine("2025 256 2 StickyKey=absent IdleTime=2")) << logText();
}

TEST_F(HotkeyService, CommonModule_FindsTheServiceOnlyWhileItRuns) {
    vantora::win32::Win32CommonModule module(programFolder());
    EXPECT_EQ(0u, module.GetVHotkeyHandle()) << "before the start";
    startService();
    EXPECT_EQ(handleOf(window), module.GetVHotkeyHandle());

    // The export no program calls: asks the running service to re-read its settings.
    const vantora::win32::UniqueModule corelink(LoadLibraryA((programPath("CORELINK.dll")).c_str()));
    ASSERT_TRUE(corelink);
    using RegisterFn = LONG(WINAPI*)();
    auto registerVHotkey =
        reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(corelink.get(), "RegisterVHotkey")));
    ASSERT_NE(nullptr, registerVHotkey);
    writeDword(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue, 17);
    EXPECT_NE(0, registerVHotkey());
    EXPECT_TRUE(logHasLine("2025 256 2 StickyKey=17 IdleTime=absent")) << logText();

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(service.ended(10000));
    EXPECT_TRUE(logHasLine("stop")) << logText();
    EXPECT_EQ(0u, module.GetVHotkeyHandle()) << "after the end";
    EXPECT_EQ(0, registerVHotkey()) << "no service to ask";
    window = nullptr;
}

TEST_F(HotkeyService, SecondCopy_EndsAndLeavesTheFirstWindowAlone) {
    startService();
    ChildProcess second;
    ASSERT_TRUE(second.start(programPath("VHotkey.exe"), "/log \"" + log + "\""));
    ASSERT_TRUE(second.ended(10000)) << "the second copy must end";
    EXPECT_EQ(0u, second.exitCode());
    EXPECT_TRUE(logHasLine("second copy ends")) << logText();
    EXPECT_EQ(1, serviceWindowCount());
    EXPECT_EQ(window, FindWindowA(kWindowClass, nullptr));
    EXPECT_FALSE(service.ended(0));
}

// ---- the keyboard, through SendInput and the low-level hook

TEST_F(HotkeyService, HeldFnKey_TurnsTheNextKeyIntoOneFnPress_AndSwallowsBoth) {
    KeyObserver observer;
    ASSERT_TRUE(observer.hooked());
    publishProbe();
    startService();
    key(kScroll, kScanScroll, true);
    key('B', kScanB, true);
    key('B', kScanB, true);  // auto-repeat
    key('B', kScanB, false);
    key(kScroll, kScanScroll, false);
    tap('C', kScanC);
    ASSERT_TRUE(waitFor([] { return !g_received.empty(); }, 10000)) << "no FnKeyMessage";
    pumpFor(300);
    EXPECT_EQ((std::vector<Received>{{kFnKeyMessage, kFnKeyWParam, kScanB}}), g_received);
    EXPECT_EQ((std::vector<std::string>{keyEvent(true, 'C'), keyEvent(false, 'C')}), observer.seen())
        << "Fn and the key it took must reach no program; a plain key must";
}

TEST_F(HotkeyService, StickyFn_ArmsTheNextKey_UntilTheIdleTimeRunsOut) {
    writeDword(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue, kStickyOn | kIdleRelease);
    writeDword(HKEY_LOCAL_MACHINE, kSettingsKey, kIdleTimeValue, 0);  // one unit
    publishProbe();
    startService("/idleunit 1500");
    tap(kScroll, kScanScroll);
    tap('B', kScanB);
    ASSERT_TRUE(waitFor([] { return g_received.size() == 1; }, 10000)) << "the tapped Fn did not take B";
    tap('C', kScanC);  // sticky lasts one key
    tap(kScroll, kScanScroll);
    pumpFor(2500);     // beyond the idle time
    tap('C', kScanC);
    pumpFor(300);
    EXPECT_EQ((std::vector<Received>{{kFnKeyMessage, kFnKeyWParam, kScanB}}), g_received);

    // Sticky turned off by the settings dialog: a tap arms nothing any more.
    writeDword(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue, 238);
    settings(256, 2);
    tap(kScroll, kScanScroll);
    tap('B', kScanB);
    pumpFor(300);
    EXPECT_EQ(1u, g_received.size());
}

TEST_F(HotkeyService, FnKeyValue_ChoosesTheKeyThatPlaysFn) {
    struct Case {
        DWORD fnKey;
        const char* startLine;
        int pressesFromF12, pressesFromScroll;
    } cases[] = {
        {VK_F12, "start fnkey=123 sticky=0 idle=0 hook=on", 1, 0},
        {0, "start fnkey=0 sticky=0 idle=0 hook=off", 0, 0},
    };
    publishProbe();
    for (const auto& c : cases) {
        g_received.clear();
        DeleteFileA(log.c_str());
        writeDword(HKEY_CURRENT_USER, kServiceUserKey, kFnKeyValue, c.fnKey);
        ChildProcess run;
        ASSERT_TRUE(run.start(programPath("VHotkey.exe"), "/log \"" + log + "\""));
        ASSERT_TRUE(waitFor([&] { return logHas("start "); }, 10000)) << c.startLine;
        EXPECT_TRUE(logHasLine(c.startLine)) << logText();
        key(VK_F12, kScanF12, true);
        tap('B', kScanB);
        key(VK_F12, kScanF12, false);
        pumpFor(300);
        EXPECT_EQ(size_t(c.pressesFromF12), g_received.size()) << c.startLine;
        key(kScroll, kScanScroll, true);
        tap('C', kScanC);
        key(kScroll, kScanScroll, false);
        pumpFor(300);
        EXPECT_EQ(size_t(c.pressesFromF12 + c.pressesFromScroll), g_received.size()) << c.startLine;
        PostMessageA(FindWindowA(kWindowClass, nullptr), WM_CLOSE, 0, 0);
        EXPECT_TRUE(run.ended(10000));
    }
}

}  // namespace
