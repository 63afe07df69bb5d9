// A program for the launcher to start: one ordinary top-level window whose title
// carries the process id, so a test can tell its copies apart. It ends when its
// window is closed. With --log <file> it appends the rest of its command line to
// the file as one line, so a test can count its starts and see their arguments.
// Without it, and with VANTORA_PROBE_LOG set, it appends its own file name there
// (copies of the probe under other names tell which one was started). With
// --signal <event> it sets that named event as soon as it runs, so that a benchmark
// can wait for it without polling.
// With --launcher <window>, run as a copy named Keyloom.exe, it plays the launcher for
// the hotkey service: a hidden window of the launcher's class that hands every
// FnKeyMessage on to <window>, a window of the test.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "common/win32/owners.h"
#include "common/win32/window_identity.h"

namespace {
HWND g_relayTo = nullptr;

void append(const std::string& file, const std::string& line) {
    if (FILE* f = std::fopen(file.c_str(), "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

void logStart(const char* commandLine) {
    const char* log = std::strstr(commandLine, "--log ");
    if (!log) {
        char file[MAX_PATH] = {}, self[MAX_PATH] = {};
        if (!GetEnvironmentVariableA("VANTORA_PROBE_LOG", file, MAX_PATH)) return;
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        const char* name = std::strrchr(self, '\\');
        append(file, name ? name + 1 : self);
        return;
    }
    log += 6;
    const char* end = std::strchr(log, ' ');
    const std::string file(log, end ? end : log + std::strlen(log));
    append(file, end ? end + 1 : "");
}
// The word after --signal names the event; a missing event is ignored.
void signalRunning(const char* commandLine) {
    const char* name = std::strstr(commandLine, "--signal ");
    if (!name) return;
    name += 9;
    const std::string event(name, name + std::strcspn(name, " "));
    if (const vantora::win32::UniqueHandle e(OpenEventA(EVENT_MODIFY_STATE, FALSE, event.c_str())); e)
        SetEvent(e.get());
}
}  // namespace

LRESULT CALLBACK probeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == vantora::hotkey::kFnKeyMessage && g_relayTo) {
        PostMessageA(g_relayTo, m, wp, lp);
        return 0;
    }
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    signalRunning(commandLine);
    logStart(commandLine);
    if (const char* relay = std::strstr(commandLine, "--launcher "))
        g_relayTo = vantora::win32::windowFromNumber(std::strtoul(relay + 11, nullptr, 10));
    WNDCLASSA wc{};
    wc.lpfnWndProc = &probeProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = g_relayTo ? vantora::hotkey::kLauncherWindowClass : "Vantora.ProbeApp";
    RegisterClassA(&wc);
    const std::string title = "Probe " + std::to_string(GetCurrentProcessId());
    HWND w = CreateWindowExA(0, wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 300, 300, 240, 120, nullptr,
                             nullptr, instance, nullptr);
    if (!g_relayTo) ShowWindow(w, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
