// The hand that arranges a desktop for tools/run-notebook, run inside the same Wine
// desktop as the programs it waits for:
//   place_windows wait <program.exe>...     until each program has a top-level window
//   place_windows arrange <program.exe>...  until each shows its main window and has
//                                           painted it; then side by side, left to right
// Programs are named by file name, so a translated caption does not matter. Every wait
// ends after a minute; then it names the program that never came and exits with 1.
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDeadlineMs = 60000;
constexpr int kGap = 8;

std::vector<DWORD> processesNamed(const char* name) {
    std::vector<DWORD> ids;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, name) == 0) ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

struct Search {
    std::vector<DWORD> processes;
    bool shown;
    HWND found = nullptr;
    long area = 0;
};

// A shown window counts when it has a caption; of several, the largest is the main one
// (the launcher keeps hidden helper windows, and a dialog program may own small ones).
BOOL CALLBACK consider(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (std::find(s->processes.begin(), s->processes.end(), process) == s->processes.end()) return TRUE;
    if (!s->shown) {
        s->found = w;
        return FALSE;
    }
    if (!IsWindowVisible(w) || (GetWindowLongA(w, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return TRUE;
    RECT r;
    GetWindowRect(w, &r);
    const long area = static_cast<long>(r.right - r.left) * (r.bottom - r.top);
    if (area > s->area) s->found = w, s->area = area;
    return TRUE;
}

HWND windowOf(const char* program, bool shown, DWORD* process) {
    const DWORD end = GetTickCount() + kDeadlineMs;
    do {
        Search s{processesNamed(program), shown};
        if (!s.processes.empty()) EnumWindows(consider, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            GetWindowThreadProcessId(s.found, process);
            return s.found;
        }
        Sleep(100);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
    std::fprintf(stderr, "place_windows: no window of %s within %lu s\n", program, kDeadlineMs / 1000);
    return nullptr;
}

// Left to right across the work area, centred, tops level; where they do not fit side
// by side they overlap evenly and the last one is seen whole.
void arrange(const std::vector<HWND>& windows) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    std::vector<RECT> rects(windows.size());
    int total = 0, tallest = 0;
    for (size_t i = 0; i < windows.size(); ++i) {
        GetWindowRect(windows[i], &rects[i]);
        total += rects[i].right - rects[i].left + (i ? kGap : 0);
        tallest = std::max<int>(tallest, rects[i].bottom - rects[i].top);
    }
    const int width = work.right - work.left, height = work.bottom - work.top;
    const int top = work.top + std::max(0, (height - tallest) / 2);
    int x = work.left + std::max(0, (width - total) / 2);
    for (size_t i = 0; i < windows.size(); ++i) {
        SetWindowPos(windows[i], nullptr, x, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        const int w = rects[i].right - rects[i].left;
        if (total <= width || windows.size() < 2)
            x += w + kGap;
        else
            x += (width - (rects.back().right - rects.back().left)) / static_cast<int>(windows.size() - 1);
    }
    // Painted at their new places before this returns, for a screenshot taken next.
    RedrawWindow(GetDesktopWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (HWND w : windows) {
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        DWORD_PTR answer;
        SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc < 3 || (mode != "wait" && mode != "arrange")) {
        std::fprintf(stderr, "usage: place_windows wait|arrange <program.exe>...\n");
        return 2;
    }
    std::vector<HWND> windows;
    for (int i = 2; i < argc; ++i) {
        DWORD id = 0;
        const HWND w = windowOf(argv[i], mode == "arrange", &id);
        if (!w) return 1;
        if (mode == "arrange") {
            if (const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id)) {
                WaitForInputIdle(process, kDeadlineMs);
                CloseHandle(process);
            }
            windows.push_back(w);
        }
    }
    if (!windows.empty()) arrange(windows);
    return 0;
}
