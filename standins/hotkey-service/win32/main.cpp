// VHotkey.exe: a hidden window that watches the Fn key and tells the launcher.
// The protocol, the command line and the log format are in hotkey_service_protocol.h.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include "common/win32/guarded.h"
#include "common/win32/owners.h"
#include "common/win32/program_folder.h"
#include "common/win32/single_copy_win32.h"
#include "common/win32/system_functions.h"
#include "common/win32/window_identity.h"
#include "standins/hotkey-service/fn_key_tracker.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"

namespace {

using namespace vantora::hotkey;
using vantora::win32::guarded;
using vantora::win32::UniqueFile;
using vantora::win32::UniqueKey;

std::string g_logPath;
FnKeyTracker g_tracker;
FnSettings g_settings;
HHOOK g_hook = nullptr;

UniqueFile openLog() {
    // Opened per line and shared, so that a test reads a complete log while we run.
    return UniqueFile(CreateFileA(g_logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A full log becomes the previous one. A reader that holds the log (without sharing its
// deletion) stops the rename; then it is copied and emptied in place.
bool rotateLog() {
    const std::string previous = g_logPath + kPreviousLogSuffix;
    if (MoveFileExA(g_logPath.c_str(), previous.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    if (!CopyFileA(g_logPath.c_str(), previous.c_str(), FALSE)) return false;
    const UniqueFile emptied(CreateFileA(g_logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(emptied);
}

// Any process may send the messages that each write a line: the log never grows past
// its cap. A line that finds it full and cannot rotate it is left out.
void logLine(const std::string& line) {
    UniqueFile f = openLog();
    if (!f) return;
    const std::string text = line + "\r\n";
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size)) return;
    if (size.QuadPart > 0 &&
        size.QuadPart + static_cast<LONGLONG>(text.size()) > static_cast<LONGLONG>(kLogLimitBytes)) {
        f.reset();
        if (!rotateLog()) return;
        f = openLog();
        if (!f) return;
    }
    DWORD written = 0;
    WriteFile(f.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// Values from outside may be of any type and size: only a 4-byte REG_DWORD counts.
bool readDword(HKEY root, const char* path, const char* name, DWORD* value) {
    HKEY opened;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
    const UniqueKey key(opened);
    DWORD type = 0, data = 0, size = sizeof data;
    const LONG rc = RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return false;
    *value = data;
    return true;
}

std::string describe(const char* name, bool present, DWORD value) {
    return std::string(name) + "=" + (present ? std::to_string(value) : "absent");
}

// Re-reads the Fn-StickyKey settings; returns them as the log shows them.
std::string readStickySettings() {
    DWORD sticky = 0, idle = 0;
    const bool hasSticky = readDword(HKEY_LOCAL_MACHINE, kSettingsKey, kStickyKeyValue, &sticky);
    const bool hasIdle = readDword(HKEY_LOCAL_MACHINE, kSettingsKey, kIdleTimeValue, &idle);
    g_settings.stickyKey = hasSticky ? sticky : 0;
    g_settings.idleTime = hasIdle ? idle : 0;
    g_tracker.configure(g_settings);
    return describe(kStickyKeyValue, hasSticky, sticky) + " " + describe(kIdleTimeValue, hasIdle, idle);
}

HWND publishedLauncher() {
    DWORD value = 0;
    if (!readDword(HKEY_CURRENT_USER, kLauncherKey, kLauncherValue, &value) || value == 0) return nullptr;
    HWND w = vantora::win32::windowFromNumber(value);
    return vantora::win32::isWindowOf(w, kLauncherWindowClass, kLauncherProgram) ? w : nullptr;
}

void deliverFnKey(std::uint32_t scan) {
    char line[64];
    if (HWND launcher = publishedLauncher()) {
        // Posted: a launcher that hangs must not stop the keyboard hook.
        PostMessageA(launcher, kFnKeyMessage, kFnKeyWParam, static_cast<LPARAM>(scan));
        std::snprintf(line, sizeof line, "fnkey %u window=0x%lx", scan,
                      static_cast<unsigned long>(vantora::win32::numberOfWindow(launcher)));
    } else {
        std::snprintf(line, sizeof line, "fnkey %u window=none", scan);
    }
    logLine(line);
}

HWND g_window = nullptr;
// Fn presses the hook took, delivered once it has returned (the system gives a hook
// little time). Only the hook fills it: any process may post the wake-up, and one that
// finds nothing queued delivers nothing.
std::deque<std::uint32_t> g_pressed;

// True when the key is Fn's or taken by it, and so must reach no program.
bool takeKey(WPARAM wParam, const KBDLLHOOKSTRUCT& k) {
    const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
    const DWORD scan = k.scanCode ? k.scanCode : MapVirtualKeyA(k.vkCode, MAPVK_VK_TO_VSC);
    const KeyVerdict v = g_tracker.onKey(k.vkCode, scan, down, k.time);
    if (v.fnScan) {
        g_pressed.push_back(*v.fnScan);
        PostMessageA(g_window, kFnPressQueuedMessage, 0, 0);
    }
    return v.swallow;
}

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION &&
        guarded(false, [&] { return takeKey(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)); }))
        return 1;
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

LRESULT handleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case kSettingsMessage: {
        char head[48];
        std::snprintf(head, sizeof head, "%u %lu %ld", msg, static_cast<unsigned long>(wParam),
                      static_cast<long>(lParam));
        if (wParam == kSettingsWParam && (lParam == kSettingsDialogStarted || lParam == kSettingsWritten))
            logLine(std::string(head) + " " + readStickySettings());
        else
            logLine(std::string(head) + " ignored");
        return 0;
    }
    case kFnPressQueuedMessage:
        while (!g_pressed.empty()) {
            const std::uint32_t scan = g_pressed.front();
            g_pressed.pop_front();
            deliverFnKey(scan);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// Empty when the program's folder is unknown: then there is no log rather than one in
// some other folder.
std::string besideProgram(const char* file) {
    const std::string folder = vantora::win32::programFolder();
    return folder.empty() ? std::string() : folder + "\\" + file;
}

void parseCommandLine() {
    g_logPath = besideProgram("VHotkey.log");
    int argc = 0;
    LPWSTR* argv = vantora::win32::later::CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return;
    for (int i = 1; i + 1 < argc; i += 2) {
        char value[MAX_PATH * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, argv[i + 1], -1, value, sizeof value - 1, nullptr, nullptr);
        if (lstrcmpiW(argv[i], L"/log") == 0) g_logPath = value;
        if (lstrcmpiW(argv[i], L"/idleunit") == 0) g_settings.idleUnitMs = static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10));
    }
    LocalFree(argv);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return guarded<LRESULT>(0, [&] { return handleMessage(hwnd, msg, wParam, lParam); });
}

int run(HINSTANCE instance) {
    parseCommandLine();
    vantora::win32::Win32SingleCopy single(kSingleCopyMutex);
    if (single.anotherCopyRunning()) {
        logLine("second copy ends");
        return 0;
    }

    WNDCLASSA wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc)) return 1;
    // Top-level, never shown: FindWindow sees it, the taskbar does not.
    g_window = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, "VHotkey", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               instance, nullptr);
    if (!g_window) return 1;

    DWORD fnKey = kDefaultFnKey;
    readDword(HKEY_CURRENT_USER, kServiceUserKey, kFnKeyValue, &fnKey);
    g_settings.fnKey = fnKey;
    readStickySettings();
    if (fnKey != 0) g_hook = SetWindowsHookExA(WH_KEYBOARD_LL, keyboardHook, instance, 0);
    char line[96];
    std::snprintf(line, sizeof line, "start fnkey=%lu sticky=%u idle=%u hook=%s", static_cast<unsigned long>(fnKey),
                  g_settings.stickyKey, g_settings.idleTime, g_hook ? "on" : "off");
    logLine(line);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_hook) UnhookWindowsHookEx(g_hook);
    logLine("stop");
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return guarded(1, [=] { return run(instance); });
}
