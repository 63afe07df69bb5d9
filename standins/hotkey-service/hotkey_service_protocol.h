#pragma once
// What VHotkey.exe, CORELINK.dll and the tests agree on. Plain constants, no
// <windows.h>, so that the portable Fn-key logic can include it too.
//
// Command line:  VHotkey.exe [/log <file>] [/idleunit <milliseconds>]
//   /log       the event log; default VHotkey.log beside the program.
//   /idleunit  the length of one idle-time unit (a minute, 60000 ms, by default);
//              lets a test watch the idle release without waiting minutes.
//
// Log: one line per event, appended, each flushed at once so that another process
// can read it while the service runs. At kLogLimitBytes it is renamed to the same name
// plus kPreviousLogSuffix, replacing the previous one, and a new log is begun:
//   start fnkey=145 sticky=238 idle=0 hook=on  the service runs (settings as read)
//   2025 256 1 StickyKey=238 IdleTime=0      message 2025 taken, values re-read
//   2025 7 7 ignored                         2025 with other parameters
//   fnkey 48 window=0x1a2b                   FnKeyMessage posted for scan code 48
//   fnkey 48 window=none                     no launcher window published: nothing sent
//   second copy ends                         a second start found the first one
//   stop
// A value that is absent or not a REG_DWORD is logged as "absent" and counts as 0.
#include <cstdint>

namespace vantora::hotkey {

// The service's hidden top-level window; CORELINK's GetVHotkeyHandle finds it by this class.
inline constexpr char kWindowClass[] = "Vantora.VHotkey.Service";
inline constexpr char kSingleCopyMutex[] = "Vantora.VHotkey.SingleCopy";

// service -> launcher: posted to the window published as DWORD "Keyloom" under
// HKCU\Software\Vantora.
inline constexpr std::uint32_t kFnKeyMessage = 0x7EB;  // WM_USER + 1003
inline constexpr std::uint32_t kFnKeyWParam = 0x100;   // lParam: the set-1 scan code
inline constexpr char kLauncherKey[] = "Software\\Vantora";
inline constexpr char kLauncherValue[] = "Keyloom";
// The published number is taken only while it names the launcher's main window: after
// a crash it may name a window of any other program.
inline constexpr char kLauncherWindowClass[] = "Vantora.Keyloom.Form1";
inline constexpr char kLauncherProgram[] = "Keyloom.exe";

// accessibility dialog -> service: the Fn-StickyKey settings were shown or written.
inline constexpr std::uint32_t kSettingsMessage = 2025;  // WM_USER + 1001
inline constexpr std::uint32_t kSettingsWParam = 256;
inline constexpr std::uint32_t kSettingsDialogStarted = 1;
inline constexpr std::uint32_t kSettingsWritten = 2;

// Fn-StickyKey settings (HKLM). Of StickyKey's bits the service honours two:
//   bit 0: sticky on: pressing and releasing Fn alone arms it for the next key press;
//   bit 4: idle release: an armed Fn is dropped after IdleTime of keyboard idleness.
// IdleTime is an index: 0..4 mean 1..5 units (minutes); any other value means 1.
inline constexpr char kSettingsKey[] = "SYSTEM\\CurrentControlSet\\Services\\VHotkey";
inline constexpr char kStickyKeyValue[] = "StickyKey";
inline constexpr char kIdleTimeValue[] = "IdleTime";
inline constexpr std::uint32_t kStickyOn = 0x01;
inline constexpr std::uint32_t kIdleRelease = 0x10;

// On a keyboard without an Fn key another key plays Fn through a low-level keyboard
// hook. HKCU\Software\Vantora\VHotkey, REG_DWORD "FnKey": its virtual-key code, read
// at start; 0 turns the hook off. Default Scroll Lock: nearly unused, and the hook
// swallows it, so it plays Fn without toggling its light or reaching a program.
inline constexpr char kServiceUserKey[] = "Software\\Vantora\\VHotkey";
inline constexpr char kFnKeyValue[] = "FnKey";
inline constexpr std::uint32_t kDefaultFnKey = 0x91;  // VK_SCROLL

inline constexpr std::uint32_t kLogLimitBytes = 64 * 1024;
inline constexpr char kPreviousLogSuffix[] = ".1";

// The service's note to itself that its keyboard hook took Fn presses, which it then
// delivers. Any process may post it; from anyone else it finds nothing to deliver.
// WM_APP + 0x2C5.
inline constexpr std::uint32_t kFnPressQueuedMessage = 0x8000 + 0x2C5;

}  // namespace vantora::hotkey
