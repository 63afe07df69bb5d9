// What Keyloom's roads cost against doing the same thing directly, and how long each
// program takes to start against a minimal window program. Every road and its baseline
// run in the same round, their order alternating, so that a busy machine slows both
// alike; the first round warms caches and is dropped. Reports, never fails.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <winternl.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/win32/shell_folders_win32.h"
#include "launcher/launcher_constants.h"
#include "launcher/win32/resource.h"
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

// One round's milliseconds, or why it has none.
struct Round {
    double ms = -1;
    std::string failure;
};

Round failed(std::string why) { return {-1, std::move(why)}; }
Round took(double ms) { return {ms, {}}; }

// Milliseconds from start() until done(), which is asked every millisecond, or `what`
// did not happen by the deadline. The poll costs at most a millisecond, on both roads alike.
Round timeUntil(const std::function<void()>& start, const std::function<bool()>& done, const char* what) {
    const double begin = now();
    start();
    while (!done()) {
        if (now() - begin > kDeadlineMs) return failed(std::string(what) + " within " + std::to_string(kDeadlineMs / 1000) + " s");
        Sleep(1);
    }
    return took(now() - begin);
}

int probesRunning() {
    int n = 0;
    const vantora::win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (snapshot)
        for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
            n += lstrcmpiA(entry.szExeFile, "probe_app.exe") == 0;
    return n;
}

// Milliseconds from start() until the probe signals that it runs; on the deadline, what
// was found instead.
Round timeUntilRunning(HANDLE running, const std::function<void()>& start) {
    ResetEvent(running);
    const double begin = now();
    start();
    if (WaitForSingleObject(running, kDeadlineMs) == WAIT_OBJECT_0) return took(now() - begin);
    const int probes = probesRunning();
    return failed(probes ? std::to_string(probes) + " copy of the program running, none signalled within " +
                               std::to_string(kDeadlineMs / 1000) + " s"
                         : "no copy of the program started within " + std::to_string(kDeadlineMs / 1000) + " s");
}

class Series {
public:
    void add(const Round& r, int round) {
        if (r.ms < 0)
            failures_.push_back("round " + std::to_string(round) + (round == 0 ? " (warm-up)" : "") + ": " + r.failure);
        else if (round > 0)  // the first warms up
            ms_.push_back(r.ms);
    }
    double median() const { return ms_.empty() ? 0 : sorted()[ms_.size() / 2]; }
    double fastest() const { return ms_.empty() ? 0 : sorted().front(); }
    std::string text() const {
        if (ms_.empty()) return "no result";
        const auto s = sorted();
        char line[96];
        std::snprintf(line, sizeof line, "median %.1f ms (%.1f-%.1f, %zu rounds%s)", median(), s.front(), s.back(),
                      s.size(), failures_.empty() ? "" : ", some failed");
        return line;
    }
    const std::vector<std::string>& failures() const { return failures_; }

private:
    std::vector<double> sorted() const {
        auto s = ms_;
        std::sort(s.begin(), s.end());
        return s;
    }
    std::vector<double> ms_;
    std::vector<std::string> failures_;
};

double ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

// The ratio of the fastest rounds as well: other work on the machine only ever adds
// time, so it is the steadier figure while others build.
void report(const char* road, const Series& measured, const char* baseline, const Series& base) {
    std::printf("benchmark: %s: %s\n", road, measured.text().c_str());
    std::printf("benchmark:   against %s: %s; ratio %.2f (fastest rounds %.2f)\n", baseline, base.text().c_str(),
                ratio(measured.median(), base.median()), ratio(measured.fastest(), base.fastest()));
    for (const std::string& f : measured.failures()) std::printf("benchmark:   failed, %s\n", f.c_str());
    for (const std::string& f : base.failures()) std::printf("benchmark:   failed, the baseline's %s\n", f.c_str());
}

// Runs both roads once per round, alternating which goes first.
void interleave(int rounds, const std::function<Round()>& road, Series& measured,
                const std::function<Round()>& baseline, Series& base) {
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
    Round shown, ready;
};
ColdStart coldStart(const std::string& exe) {
    ChildProcess p;
    const double begin = now();
    bool started = false;
    ColdStart c{timeUntil([&] { started = p.start(exe, ""); }, [&] { return p.ended(0) || hasVisibleWindow(p.id()); },
                          "no window shown"),
                 {}};
    if (!started) {
        c.shown = failed("the program could not be started");
    } else if (c.shown.ms >= 0 && p.ended(0)) {
        c.shown = failed("the program ended before it showed a window");
    } else if (c.shown.ms >= 0) {
        c.ready = WaitForInputIdle(p.handle(), kDeadlineMs) == 0 ? took(now() - begin)
                                                                 : failed("it did not wait for input within " +
                                                                          std::to_string(kDeadlineMs / 1000) + " s");
    }
    if (c.ready.ms < 0 && c.ready.failure.empty()) c.ready.failure = c.shown.failure;
    EnumWindows(closeVisibleWindow, static_cast<LPARAM>(p.id()));
    if (!p.ended(10000)) p.terminate(1);
    return c;
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

// ---- where Keyloom's time over a baseline goes: each of its steps on the road, done by
// the benchmark itself with the same calls, and timed alone

constexpr int kStepRounds = 15;

// A value read as Keyloom's store reads one: the key opened, the value's size asked, the
// value read, the key closed.
void readValue(const std::string& key, const char* name) {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExA(k, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size + 1);
        RegQueryValueExA(k, name, nullptr, nullptr, data.data(), &size);
    }
    RegCloseKey(k);
}

// Every press reads the key's switching option and command and the minimize option.
void readKeyValues(const char* key) {
    readValue(kOptsKey, key);
    readValue(kCmdKey, key);
    readValue(kCfgKey, "opts3");
}

// A popup key's list: its count, then its entries' names, as the menu is built.
void readPopupValues(const char* key) {
    readKeyValues(key);
    const std::string list = std::string(kPrgKey) + "\\" + key;
    readValue(list, "FileCount");
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, list.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return;
    DWORD count = 0, longest = 0;
    RegQueryInfoKeyA(k, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    std::vector<char> name(longest + 101);
    for (DWORD i = 0; i < count; ++i) RegEnumKeyA(k, i, name.data(), static_cast<DWORD>(name.size()));
    RegCloseKey(k);
}

void processList() {
    const vantora::win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry)) {
    }
}

void windowChecks(HWND w) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    (void)(IsWindow(w) && IsIconic(w));
}

// What a launch does when Keyloom is not in front: two relative moves of the pointer;
// put back after, untimed.
void mouseMoves() {
    POINT at{};
    GetCursorPos(&at);
    mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(-1), 1, 0, 0);
    mouse_event(MOUSEEVENTF_MOVE, 1, 1, 0, 0);
    SetCursorPos(at.x, at.y);
}

// The list as Keyloom builds it: its menu resource loaded, the key's line checked, an
// item for each entry inserted, the pointer's place asked.
void buildPopupMenu() {
    static const HMODULE keyloom = LoadLibraryExA(programPath("Keyloom.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    const vantora::win32::UniqueMenu bar(LoadMenuA(keyloom, MAKEINTRESOURCEA(IDR_DYNMENU)));
    const HMENU menu = bar ? GetSubMenu(bar.get(), 0) : nullptr;
    if (!menu) return;
    ModifyMenuA(menu, IDM_DYNFNKEY, MF_BYCOMMAND | MF_STRING | MF_CHECKED, IDM_DYNFNKEY, "Fn-C");
    for (int i = 0; i < kPopupEntries; ++i)
        InsertMenuA(menu, static_cast<UINT>(2 + i), MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(IDM_POPUPCMD0 + i),
                    "probe_app.exe");
    POINT at{};
    GetCursorPos(&at);
}

struct Step {
    const char* name;
    std::function<void()> run;
    bool onRoad = true;  // false: a step of a launch that the road's conditions leave out
};

// How much longer the road took than its baseline, and each step's median time alone.
void reportSteps(const Series& road, const Series& baseline, const std::vector<Step>& steps) {
    if (road.median() <= 0 || baseline.median() <= 0) return;
    std::printf("benchmark:   over the baseline %.1f ms; Keyloom's steps on it, each done by the test (median of %d):\n",
                road.median() - baseline.median(), kStepRounds);
    double together = 0;
    for (const Step& step : steps) {
        std::vector<double> ms;
        for (int i = 0; i < kStepRounds; ++i) {
            const double begin = now();
            step.run();
            ms.push_back(now() - begin);
        }
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        if (step.onRoad) together += median;
        std::printf("benchmark:     %s: %.2f ms\n", step.name, median);
    }
    std::printf("benchmark:     the steps on this road together %.2f ms; the rest is the press's way to Keyloom and "
                "its own handling\n",
                together);
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
    // Keyloom takes a press of a key as part of a flood when it comes sooner than the
    // keyboard repeats a key, or while that key's launch is still under way: each round
    // begins a repeat interval after the one before, once Keyloom is done with it.
    DWORD speed = 31;
    SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &speed, 0);
    const int repeatMs = static_cast<int>(1000.0 / (2.5 + speed * 27.5 / 31.0)) + 1;
    const auto answers = [&] {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kDeadlineMs, &answer) != 0;
    };
    // Why Keyloom cannot take a round's press, or nothing when it can.
    const auto notReady = [&](bool inFront) -> std::string {
        pumpFor(repeatMs);
        if (keyloom.ended(0)) return "Keyloom has ended";
        if (!answers()) return "Keyloom did not answer within " + std::to_string(kDeadlineMs / 1000) + " s";
        if (inFront && !toFront(window)) return "Keyloom could not be brought to the front";
        return {};
    };

    Series viaKey, direct;
    interleave(
        kRounds,
        [&] {
            const std::string why = notReady(false);
            const Round r = why.empty() ? timeUntilRunning(running.get(), [&] { press(kScanA); }) : failed(why);
            endProbes();
            return r;
        },
        viaKey,
        [&] {
            const Round r = timeUntilRunning(running.get(), [&] {
                ChildProcess p;
                p.start(probe, signal);
                p.detach();  // endProbes ends it, as it ends the copies the key starts
            });
            endProbes();
            return r;
        },
        direct);
    report("Fn press to program running", viaKey, "CreateProcess to program running", direct);

    Series viaSwitch, ownSwitch;
    HWND target = nullptr;
    press(kScanB);
    if (waitFor([&] { return (target = FindWindowA(kProbeClass, nullptr)) != nullptr && IsWindowVisible(target); },
                kDeadlineMs)) {
        pumpFor(1600);  // the start is under way until the program takes input, 1.5 s at most
        const auto inFront = [&] { return GetForegroundWindow() == target; };
        const auto fromLauncher = [&](const std::function<void()>& bring) {
            const std::string why = notReady(true);
            return why.empty() ? timeUntil(bring, inFront, "the program's window not in front") : failed(why);
        };
        interleave(
            kRounds, [&] { return fromLauncher([&] { press(kScanB); }); }, viaSwitch,
            [&] { return fromLauncher([&] { SetForegroundWindow(target); }); }, ownSwitch);
    } else {
        std::printf("benchmark: the program of the switching key did not show a window\n");
    }
    report("Fn press to running program in front", viaSwitch, "SetForegroundWindow by the test", ownSwitch);
    if (target)
        reportSteps(viaSwitch, ownSwitch,
                    {{"message to Keyloom and back", [&] { answers(); }},
                     {"registry reads (3 values)", [] { readKeyValues("Fn-B"); }},
                     {"process list", [] { processList(); }},
                     {"window checks", [&] { windowChecks(target); }},
                     {"ShowWindow of the program's window", [&] { ShowWindow(target, SW_SHOW); }},
                     {"mouse moves (done only when Keyloom is not in front)", mouseMoves, false}});
    endProbes();

    Series viaPopup, ownPopup;
    {
        OwnPopup popup;
        interleave(
            kRounds,
            [&] {
                const std::string why = notReady(true);
                const Round r = why.empty() ? timeUntil([&] { press(kScanC); }, menuShown, "no popup menu shown")
                                            : failed(why);
                dismissMenu();
                return r;
            },
            viaPopup,
            [&] {
                const Round r = timeUntil([&] { popup.post(); }, menuShown, "no popup menu shown");
                dismissMenu();
                return r;
            },
            ownPopup);
    }
    report("Fn press to popup list shown", viaPopup, "TrackPopupMenu by the test", ownPopup);
    reportSteps(viaPopup, ownPopup,
                {{"message to Keyloom and back", [&] { answers(); }},
                 {"registry reads (4 values, the list)", [] { readPopupValues("Fn-C"); }},
                 {"menu build", buildPopupMenu},
                 {"mouse moves (done only when Keyloom is not in front)", mouseMoves, false}});

    PostMessageA(window, WM_CLOSE, 0, 0);
    keyloom.ended(15000);
}

// ---- the Application Explorer

constexpr int kExplorerFiles = 1000;
constexpr int kExplorerRounds = 4;  // the first is dropped
constexpr int kFolderChanges = 20;
constexpr char kBenchFolder[] = "Vantora Bench Folder";

// GDI objects of a process. Wine's GetGuiResources answers 0 for every process; there
// each process keeps its own GDI handle table, named by its PEB, whose used entries
// (24 bytes each, a type byte at 14) are counted instead. -1 when neither can be had.
long gdiObjects(HANDLE process) {
    if (const DWORD n = GetGuiResources(process, GR_GDIOBJECTS)) return static_cast<long>(n);
    using Query = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    DWORD table = 0;
    if (!query || query(process, ProcessBasicInformation, &info, sizeof info, nullptr) != 0 ||
        !ReadProcessMemory(process, static_cast<char*>(static_cast<void*>(info.PebBaseAddress)) + 0x94, &table,
                           sizeof table, nullptr) ||
        !table)
        return -1;
    constexpr size_t kEntry = 24, kEntries = 0x10000;
    std::vector<BYTE> entries(kEntry * kEntries);
    SIZE_T read = 0;
    ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<ULONG_PTR>(table)), entries.data(), entries.size(), &read);
    long used = 0;
    for (size_t i = 0; i + kEntry <= read; i += kEntry) used += entries[i + 14] != 0;
    return used;
}

// The count above is trusted only when one bitmap of this process shows as one more object.
bool gdiCountWorks() {
    const long before = gdiObjects(GetCurrentProcess());
    const vantora::win32::UniqueBitmap one(CreateBitmap(4, 4, 1, 32, nullptr));
    return before >= 0 && gdiObjects(GetCurrentProcess()) == before + 1;
}

// What the explorer does for one folder, done directly: each file's icon asked of the
// shell and drawn, large and small, with the same calls and flags.
double bareIconLoop(const std::vector<std::string>& files) {
    const double begin = now();
    const vantora::win32::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    const vantora::win32::UniqueBitmap surface(CreateBitmap(32, 32, 1, 32, nullptr));
    vantora::win32::SelectScope selected(dc.get(), surface.get());
    for (const std::string& file : files)
        for (int pixels : {32, 16}) {
            SHFILEINFOA info{};
            const auto list = reinterpret_cast<HIMAGELIST>(
                SHGetFileInfoA(file.c_str(), 0, &info, sizeof info, vantora::win32::drawnIconFlags(pixels)));
            if (list) ImageList_Draw(list, info.iIcon, dc.get(), 0, 0, ILD_TRANSPARENT);
        }
    return now() - begin;
}

void explorerRoads() {
    char programs[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    const std::string folder = std::string(programs) + "\\" + kBenchFolder;
    CreateDirectoryA(folder.c_str(), nullptr);
    // Shortcuts and text files, half each, as a Start-menu folder holds both kinds.
    const std::string link = folder + "\\entry0000.lnk";
    if (!writeLink(link, linkTo(programPath("probe_app.exe")))) std::printf("benchmark: no shortcut could be written\n");
    std::vector<std::string> files;
    for (int i = 0; i < kExplorerFiles; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\entry%04d.%s", i, i % 2 ? "txt" : "lnk");
        files.push_back(folder + name);
        if (i % 2)
            std::ofstream(files.back()) << "text\n";
        else if (i)
            CopyFileA(link.c_str(), files.back().c_str(), FALSE);
    }

    deleteTree(HKEY_CURRENT_USER, kMakerKey);
    ChildProcess keyloom;
    HWND window = nullptr, explorer = nullptr;
    const auto cleanUp = [&] {
        if (explorer) PostMessageA(explorer, WM_COMMAND, IDCANCEL, 0);
        if (window) PostMessageA(window, WM_CLOSE, 0, 0);
        keyloom.ended(15000);
        for (const std::string& f : files) DeleteFileA(f.c_str());
        RemoveDirectoryA(folder.c_str());
    };
    const vantora::win32::UniqueHandle process(
        keyloom.start(programPath("Keyloom.exe"))
            ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, keyloom.id())
            : nullptr);
    HWND form3 = nullptr;
    if (!process || !waitFor([&] { return (window = publishedWindow()) != nullptr && IsWindowVisible(window); }, 60000)) {
        std::printf("benchmark: Keyloom did not start\n");
        return cleanUp();
    }
    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(64 + 8, 123 + 8));  // the X key
    if (!waitFor([&] { return (form3 = onlyWindowTitled("Assignment Type")) != nullptr; }, 10000)) {
        std::printf("benchmark: no Assignment Type\n");
        return cleanUp();
    }
    PostMessageA(GetDlgItem(form3, IDC_FORM3_COMMAND2), BM_CLICK, 0, 0);
    if (!waitFor([&] { return (explorer = onlyWindowTitled("Application Explorer")) != nullptr; }, 10000)) {
        std::printf("benchmark: no Application Explorer\n");
        return cleanUp();
    }
    HWND tree = GetDlgItem(explorer, IDC_FORM6_TREEVIEW1), list = GetDlgItem(explorer, IDC_FORM6_LISTVIEW1);
    const std::vector<std::string> top = topNodes(tree);
    const int big = static_cast<int>(std::find(top.begin(), top.end(), kBenchFolder) - top.begin());
    if (big >= static_cast<int>(top.size()) || top.size() < 2) {
        std::printf("benchmark: the folder is not in the tree\n");
        return cleanUp();
    }
    // The folder is reached from its neighbour by one arrow key, as a user steps onto it.
    const int neighbour = big > 0 ? big - 1 : big + 1;
    const WORD toBig = big > 0 ? VK_DOWN : VK_UP, toNeighbour = big > 0 ? VK_UP : VK_DOWN;
    const auto key = [&](WORD vk) {
        PostMessageA(tree, WM_KEYDOWN, vk, 1);
        PostMessageA(tree, WM_KEYUP, vk, 0xC0000001);
    };
    const auto rows = [&] {
        DWORD_PTR n = 0;
        SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, kDeadlineMs, &n);
        return static_cast<int>(n);
    };
    key(VK_HOME);
    for (int i = 0; i < neighbour; ++i) key(VK_DOWN);
    waitFor([&] { return rows() != kExplorerFiles; }, 5000);

    // Every folder change, counted; the odd ones show the big folder.
    int changes = 0;
    const auto change = [&] {
        const bool big = ++changes % 2 == 1;
        key(big ? toBig : toNeighbour);
        return big;
    };
    // A list being drawn holds a few objects for the moment: the least of several looks.
    const auto settledGdiObjects = [&] {
        long least = -1;
        for (int look = 0; look < 8; ++look, Sleep(150))
            if (const long n = gdiObjects(process.get()); least < 0 || (n >= 0 && n < least)) least = n;
        return least;
    };
    const auto changeUntil = [&](int count) {
        while (changes < count) {
            const bool big = change();
            waitFor([&] { return (rows() == kExplorerFiles) == big; }, kDeadlineMs);
        }
    };
    changeUntil(1);
    const long gdiFirst = settledGdiObjects();
    changeUntil(2);

    Series viaExplorer, bare;
    interleave(
        kExplorerRounds,
        [&] {
            const Round r = timeUntil([&] { change(); }, [&] { return rows() == kExplorerFiles; }, "the list not filled");
            changeUntil(changes + 1);
            return r;
        },
        viaExplorer, [&] { return took(bareIconLoop(files)); }, bare);
    report("folder of 1000 files clicked to its list filled, icons large and small", viaExplorer,
           "SHGetFileInfoA and ImageList_Draw over the same files", bare);

    // Counted with the big folder shown each time; the last ten changes tell growth from
    // objects made once.
    changeUntil(kFolderChanges + 1);
    const long gdiAfter = settledGdiObjects();
    changeUntil(kFolderChanges + 11);
    const long gdiLast = settledGdiObjects();
    if (gdiCountWorks() && gdiFirst >= 0)
        std::printf("benchmark: GDI objects of Keyloom after the first folder change %ld, after %d more %ld, after 10 "
                    "more %ld%s\n",
                    gdiFirst, kFolderChanges, gdiAfter, gdiLast, gdiLast > gdiAfter ? " (grew)" : " (no growth)");
    else
        std::printf("benchmark: GDI objects of Keyloom cannot be counted here\n");
    cleanUp();
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
    // The dialog programs are also held against their own dialog shown by a program with no
    // code (bare_<program>): beyond it is their start-up, below it the price of the controls.
    struct Road {
        Road(std::string path) : exe(std::move(path)) {}
        std::string exe;
        Series shown, ready;
    };
    for (const char* program : {"Keyloom.exe", "MERIDALE.exe", "BASTIONE.exe"}) {
        std::vector<Road> roads{{programPath(program)}, {minimal}};
        const std::string bare = programPath(("bare_" + std::string(program)).c_str());
        if (GetFileAttributesA(bare.c_str()) != INVALID_FILE_ATTRIBUTES)  // only the dialog programs have one
            roads.push_back({bare});
        // Each round starts every road once, beginning with another one each time.
        for (int round = 0; round < kColdRounds; ++round) {
            for (std::size_t i = 0; i < roads.size(); ++i) {
                Road& r = roads[(i + round) % roads.size()];
                const ColdStart c = coldStart(r.exe);
                r.shown.add(c.shown, round);
                r.ready.add(c.ready, round);
            }
        }
        const std::string road = std::string("cold start of ") + program + " to its shown window";
        report(road.c_str(), roads[0].shown, "a minimal window program", roads[1].shown);
        const std::string ready = std::string("cold start of ") + program + " until it first waits for input";
        report(ready.c_str(), roads[0].ready, "a minimal window program", roads[1].ready);
        if (roads.size() > 2) {
            const char* bareName = "its dialog shown by a program with no code";
            report(road.c_str(), roads[0].shown, bareName, roads[2].shown);
            report(ready.c_str(), roads[0].ready, bareName, roads[2].ready);
            const std::string floor = std::string("cold start of bare_") + program + " to its shown window";
            report(floor.c_str(), roads[2].shown, "a minimal window program", roads[1].shown);
        }
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

// With one argument, only the roads of that name: "keys", "explorer" or "starts".
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const auto chosen = [&](const char* name) { return argc < 2 || std::string(argv[1]) == name; };
    endProbes();
    if (chosen("keys")) keyloomRoads();
    if (chosen("explorer")) explorerRoads();
    if (chosen("starts")) coldStarts();
    sizes();
    deleteTree(HKEY_CURRENT_USER, kMakerKey);
    return 0;
}
