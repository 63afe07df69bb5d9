#include "common/win32/shell_win32.h"

#include <shellapi.h>
#include <tlhelp32.h>

#include "common/win32/desktop_win32.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

namespace {
// How long a program just started may take to get ready for input before the
// launcher looks for its window; the launcher's own window is frozen meanwhile.
constexpr DWORD kInputIdleWaitMs = 1500;
}

bool Win32Shell::ShellExecuteA(const std::string& file, const std::string& parameters) {
    const HINSTANCE result = later::ShellExecuteA(nullptr, nullptr, file.c_str(), parameters.c_str(), "", SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void Win32Shell::mouseMove(int dx, int dy) { ::mouse_event(MOUSEEVENTF_MOVE, dx, dy, 0, 0); }

std::optional<ProcessId> Win32Processes::startProcess(const std::string& program, const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;  // CreateProcessA may write into its command line
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return std::nullopt;
    const UniqueHandle thread(pi.hThread);  // only the process is ever waited on
    started_[pi.dwProcessId] = UniqueHandle(pi.hProcess);
    return pi.dwProcessId;
}

bool Win32Processes::isRunning(ProcessId id) {
    auto it = started_.find(id);
    return it != started_.end() && WaitForSingleObject(it->second.get(), 0) == WAIT_TIMEOUT;
}

void Win32Processes::forget(ProcessId id) {
    started_.erase(id);
}

std::optional<std::vector<ProcessId>> Win32Processes::processIds() {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return std::nullopt;
    std::vector<ProcessId> ids;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        ids.push_back(entry.th32ProcessID);
    return ids;
}

namespace {
struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK takeMainWindow(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<WindowSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner != s->processId || !IsWindowVisible(w) || GetWindow(w, GW_OWNER)) return TRUE;
    if (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return TRUE;
    s->found = w;
    return FALSE;
}
}  // namespace

WindowHandle Win32Processes::mainWindowOf(ProcessId id) {
    WindowSearch search{id, nullptr};
    EnumWindows(&takeMainWindow, reinterpret_cast<LPARAM>(&search));
    return fromHwnd(search.found);
}

WindowHandle Win32Processes::startedWindow(ProcessId id) {
    if (auto it = started_.find(id); it != started_.end()) WaitForInputIdle(it->second.get(), kInputIdleWaitMs);
    return mainWindowOf(id);
}

ProcessId Win32Processes::windowProcess(WindowHandle window) {
    DWORD id = 0;
    GetWindowThreadProcessId(toHwnd(window), &id);
    return id;
}

}  // namespace vantora::win32
