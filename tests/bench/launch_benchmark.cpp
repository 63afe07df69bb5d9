// What Keyloom's roads cost against doing the same thing directly, and how long each
// program takes to start against a minimal window program. Every road and its baseline
// run in the same round, their order alternating, so that a busy machine slows both
// alike; the first round warms caches and is dropped. Reports, never fails.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "launcher/launcher_constants.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;
using namespace vantora::launcher;
using vantora::win32::UniqueHandle;

constexpr int kRounds = 16;  // the first is dropped
constexpr int kColdRounds = 12;
constexpr int kDeadlineMs = 20000;
constexpr LPARAM kScanA = 0x1E, kScanB = 0x30, kScanC = 0x2E;
constexpr char kRunningEvent[] = "Vantora.Bench.ProbeRunning";
constexpr char kProbeClass[] = "Vantora.ProbeApp";
constexpr char kMenuClass[] = "#32768";
constexpr UINT kShowPopup = WM_APP + 1;
constexpr int kPopupEntries = 3;

double now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
}

// Milliseconds from start() until done(), which is asked every millisecond; negative on
// the deadline. The poll costs at most a millisecond, on both roads alike.
double timeUntil(const std::function<void()>& start, const std::function<bool()>& done) {
    const double begin = now();
    start();
    while (!done()) {
        if (now() - begin > kDeadlineMs) return -1;
        Sleep(1);
    }
    return now() - begin;
}

// Milliseconds from start() until the probe signals that it runs; negative on the deadline.
double timeUntilRunning(HANDLE running, const std::function<void()>& start) {
    ResetEvent(running);
    const double begin = now();
    start();
    return WaitForSingleObject(running, kDeadlineMs) == WAIT_OBJECT_0 ? now() - begin : -1;
}

class Series {
public:
    void add(double ms, int round) {
        if (round == 0) return;  // warm-up
        if (ms < 0)
            ++timeouts_;
        else
            ms_.push_back(ms);
    }
    double median() const { return ms_.empty() ? 0 : sorted()[ms_.size() / 2]; }
    double fastest() const { return ms_.empty() ? 0 : sorted().front(); }
    std::string text() const {
        if (ms_.empty()) return "no result";
        const auto s = sorted();
        char line[96];
        std::snprintf(line, sizeof line, "median %.1f ms (%.1f-%.1f, %zu rounds%s)", median(), s.front(), s.back(),
                      s.size(), timeouts_ ? ", some timed out" : "");
        return line;
    }

private:
    std::vector<double> sorted() const {
        auto s = ms_;
        std::sort(s.begin(), s.end());
        return s;
    }
    std::vector<double> ms_;
    int timeouts_ = 0;
};

double ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

// The ratio of the fastest rounds as well: other work on the machine only ever adds
// time, so it is the steadier figure while others build.
void report(const char* road, const Series& measured, const char* baseline, const Series& base) {
    std::printf("benchmark: %s: %s\n", road, measured.text().c_str());
    std::printf("benchmark:   against %s: %s; ratio %.2f (fastest rounds %.2f)\n", baseline, base.text().c_str(),
                ratio(measured.median(), base.median()), ratio(measured.fastest(), base.fastest()));
}

// Runs both roads once per round, alternating which goes first.
void interleave(int rounds, const std::function<double()>& road, Series& measured,
                const std::function<double()>& baseline, Series& base) {
    for (int round = 0; round < rounds; ++round) {
        if (round % 2) {
            measured.add(road(), round);
            base.add(baseline(), round);
        } else {
            base.add(baseline(), round);
            measured.add(road(), round);
        }
    }
}

// Ends every copy of the probe and waits until each is gone, so that no round pays
// for the previous one's exit. A copy that has signalled may have no window yet.
void endProbes() {
    endProcessesNamed({"probe_app.exe"});
}

bool toFront(HWND w) {
    SetForegroundWindow(w);
    return waitFor([&] { return GetForegroundWindow() == w; }, 5000);
}

struct VisibleWindowOf {
    DWORD process;
    bool found = false;
};

BOOL CALLBACK findVisibleWindow(HWND w, LPARAM data) {
    auto* f = reinterpret_cast<VisibleWindowOf*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    f->found = process == f->process && IsWindowVisible(w);
    return !f->found;
}

bool hasVisibleWindow(DWORD process) {
    VisibleWindowOf f{process};
    EnumWindows(findVisibleWindow, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

BOOL CALLBACK closeVisibleWindow(HWND w, LPARAM process) {
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == static_cast<DWORD>(process) && IsWindowVisible(w)) PostMessageA(w, WM_CLOSE, 0, 0);
    return TRUE;
}

// CreateProcess until the program shows a window, and on until it first waits for input
// (its window painted); the program is then closed as a user closes it and awaited, so
// that the next start finds nothing left of it.
struct ColdStart {
    double shown, ready;
};
ColdStart coldStart(const std::string& exe) {
    ChildProcess p;
    const double begin = now();
    const double shown = timeUntil([&] { p.start(exe, ""); }, [&] { return p.ended(0) || hasVisibleWindow(p.id()); });
    const bool ready = shown >= 0 && WaitForInputIdle(p.handle(), kDeadlineMs) == 0;
    const ColdStart result = p.ended(0) || !ready ? ColdStart{-1, -1} : ColdStart{shown, now() - begin};
    EnumWindows(closeVisibleWindow, static_cast<LPARAM>(p.id()));
    if (!p.ended(10000)) p.terminate(1);
    return result;
}

// A popup menu of the test's own, shown on its own thread as Keyloom shows its list:
// the owner brought to the front, then TrackPopupMenu until the menu is dismissed.
class OwnPopup {
public:
    OwnPopup()
        : thread_([this] {
              owner_ = CreateWindowExA(0, "STATIC", "Vantora.Bench.PopupOwner", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1,
                                       nullptr, nullptr, nullptr, nullptr);
              ready_ = true;
              MSG msg;
              while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                  if (msg.message == kShowPopup) show();
                  DispatchMessageA(&msg);
              }
              DestroyWindow(owner_);
          }) {
        waitFor([this] { return ready_.load(); }, 5000);
    }
    ~OwnPopup() {
        PostMessageA(owner_, WM_QUIT, 0, 0);
        thread_.join();
    }
    OwnPopup(const OwnPopup&) = delete;
    OwnPopup& operator=(const OwnPopup&) = delete;
    void post() { PostMessageA(owner_, kShowPopup, 0, 0); }

private:
    void show() {
        const vantora::win32::UniqueMenu menu(CreatePopupMenu());
        AppendMenuA(menu.get(), MF_STRING | MF_DISABLED, 1, "Fn-C");
        AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
        for (int i = 0; i < kPopupEntries; ++i) AppendMenuA(menu.get(), MF_STRING, 2 + i, "probe_app.exe");
        SetForegroundWindow(owner_);
        TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY, 100, 100, 0, owner_, nullptr);
    }

    std::atomic<bool> ready_ = false;
    HWND owner_ = nullptr;
    std::thread thread_;
};

bool menuShown() {
    const HWND menu = FindWindowA(kMenuClass, nullptr);
    return menu && IsWindowVisible(menu);
}

// Esc, as a user dismisses it; the menu takes keys from its own thread's queue.
void dismissMenu() {
    if (HWND menu = FindWindowA(kMenuClass, nullptr)) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!waitFor([] { return !menuShown(); }, 2000))
        if (HWND menu = FindWindowA(kMenuClass, nullptr)) PostMessageA(menu, WM_CANCELMODE, 0, 0);
    waitFor([] { return !menuShown(); }, 2000);
}

void assign(const char* key, const std::string& command, const char* switching) {
    writeText(HKEY_CURRENT_USER, kCmdKey, key, command);
    writeText(HKEY_CURRENT_USER, kOptsKey, key, switching);
}

void keyloomRoads() {
    const std::string probe = programPath("probe_app.exe");
    const std::string signal = std::string("--signal ") + kRunningEvent;
    const UniqueHandle running(CreateEventA(nullptr, TRUE, FALSE, kRunningEvent));

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    deleteTree(HKEY_CURRENT_USER, kMakerKey);
    writeText(HKEY_CURRENT_USER, kCfgKey, "opts3", "0");  // the launcher stays where it is after a start
    assign("Fn-A", quoted(probe) + " " + signal, "0");      // every press starts a copy
    assign("Fn-B", quoted(probe) + " " + signal, "1");      // a second press switches to it
    assign("Fn-C", std::string("@") + temp, "0");          // a popup list
    const std::string list = std::string(kPrgKey) + "\\Fn-C";
    writeText(HKEY_CURRENT_USER, list.c_str(), "FileCount", std::to_string(kPopupEntries));
    for (int i = 0; i < kPopupEntries; ++i) {
        const std::string name = "entry" + std::to_string(i);
        writeText(HKEY_CURRENT_USER, (list + "\\" + name).c_str(), name.c_str(), probe);
    }

    ChildProcess keyloom;
    HWND window = nullptr;
    if (!keyloom.start(programPath("Keyloom.exe")) ||
        !waitFor([&] { return (window = publishedWindow()) != nullptr && IsWindowVisible(window); }, 60000)) {
        std::printf("benchmark: Keyloom did not start\n");
        return;
    }
    const auto press = [&](LPARAM scan) { PostMessageA(window, FnKeyMessage, kFnKeyWParam, scan); };

    Series viaKey, direct;
    interleave(
        kRounds,
        [&] {
            const double ms = timeUntilRunning(running.get(), [&] { press(kScanA); });
            endProbes();
            return ms;
        },
        viaKey,
        [&] {
            const double ms = timeUntilRunning(running.get(), [&] {
                ChildProcess p;
                p.start(probe, signal);
                p.detach();  // endProbes ends it, as it ends the copies the key starts
            });
            endProbes();
            return ms;
        },
        direct);
    report("Fn press to program running", viaKey, "CreateProcess to program running", direct);

    Series viaSwitch, ownSwitch;
    HWND target = nullptr;
    press(kScanB);
    if (waitFor([&] { return (target = FindWindowA(kProbeClass, nullptr)) != nullptr && IsWindowVisible(target); },
                kDeadlineMs)) {
        const auto inFront = [&] { return GetForegroundWindow() == target; };
        const auto fromLauncher = [&](const std::function<void()>& bring) {
            return toFront(window) ? timeUntil(bring, inFront) : -1;
        };
        interleave(
            kRounds, [&] { return fromLauncher([&] { press(kScanB); }); }, viaSwitch,
            [&] { return fromLauncher([&] { SetForegroundWindow(target); }); }, ownSwitch);
    }
    endProbes();
    report("Fn press to running program in front", viaSwitch, "SetForegroundWindow by the test", ownSwitch);

    Series viaPopup, ownPopup;
    {
        OwnPopup popup;
        interleave(
            kRounds,
            [&] {
                const double ms = toFront(window) ? timeUntil([&] { press(kScanC); }, menuShown) : -1;
                dismissMenu();
                return ms;
            },
            viaPopup,
            [&] {
                const double ms = timeUntil([&] { popup.post(); }, menuShown);
                dismissMenu();
                return ms;
            },
            ownPopup);
    }
    report("Fn press to popup list shown", viaPopup, "TrackPopupMenu by the test", ownPopup);

    PostMessageA(window, WM_CLOSE, 0, 0);
    keyloom.ended(15000);
}

void coldStarts() {
    // MERIDALE and BASTIONE bind CORELINK.dll beside them and find the hotkey service
    // running; BASTIONE asks the firmware driver, or finds it absent, before it shows.
    ChildProcess service;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    service.start(programPath("VHotkey.exe"), "/log " + std::string(temp) + "vantora-bench-service.log");
    waitFor([] { return FindWindowA(vantora::hotkey::kWindowClass, nullptr) != nullptr; }, 20000);

    const std::string minimal = programPath("probe_app.exe");
    for (const char* program : {"Keyloom.exe", "MERIDALE.exe", "BASTIONE.exe"}) {
        Series measured, base, measuredReady, baseReady;
        int round = 0;  // each road runs once per round
        auto timed = [&](const std::string& exe, Series& ready) {
            const ColdStart c = coldStart(exe);
            ready.add(c.ready, round / 2);
            ++round;
            return c.shown;
        };
        interleave(
            kColdRounds, [&] { return timed(programPath(program), measuredReady); }, measured,
            [&] { return timed(minimal, baseReady); }, base);
        const std::string road = std::string("cold start of ") + program + " to its shown window";
        report(road.c_str(), measured, "a minimal window program", base);
        const std::string ready = std::string("cold start of ") + program + " until it first waits for input";
        report(ready.c_str(), measuredReady, "a minimal window program", baseReady);
    }
    if (HWND w = FindWindowA(vantora::hotkey::kWindowClass, nullptr)) PostMessageA(w, WM_CLOSE, 0, 0);
    service.ended(10000);
}

void sizes() {
    for (const char* file : {"Keyloom.exe", "MERIDALE.exe", "BASTIONE.exe", "VHotkey.exe", "CORELINK.dll", "fwext.sys"}) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA(programPath(file).c_str(), GetFileExInfoStandard, &data))
            std::printf("benchmark: size of %s: %lu KB\n", file, (data.nFileSizeLow + 1023) / 1024);
    }
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    endProbes();
    keyloomRoads();
    coldStarts();
    sizes();
    deleteTree(HKEY_CURRENT_USER, kMakerKey);
    return 0;
}
