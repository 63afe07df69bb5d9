#pragma once
// The launcher's names as other processes see them: its private window messages, its
// tray icon and its registry store. Kept free of <windows.h> so that the portable logic
// and the Win32 test programs that drive the real program share one copy.
#include <cstdint>

namespace vantora::launcher {

inline constexpr std::uint32_t TrayCallbackMessage = 0x464;
inline constexpr std::uint32_t FnKeyMessage = 0x7EB;
inline constexpr std::uint32_t kFnKeyWParam = 0x100;
inline constexpr std::uint32_t kTrayIconId = 9999;
inline constexpr std::uint32_t kTrayDoubleClick = 0x203;  // WM_LBUTTONDBLCLK
inline constexpr std::uint32_t kTrayRightButtonUp = 0x205;  // WM_RBUTTONUP
inline constexpr std::uint32_t kTrayFlags = 7;  // message, icon, tip

inline constexpr const char* kMakerKey = "Software\\Vantora";
inline constexpr const char* kPublishedValue = "Keyloom";
inline constexpr const char* kProductKey = "Software\\Vantora\\Keyloom";
inline constexpr const char* kCfgKey = "Software\\Vantora\\Keyloom\\ini\\cfg";
inline constexpr const char* kCmdKey = "Software\\Vantora\\Keyloom\\ini\\cmd";
inline constexpr const char* kDescKey = "Software\\Vantora\\Keyloom\\ini\\desc";
inline constexpr const char* kCwdKey = "Software\\Vantora\\Keyloom\\ini\\cwd";
inline constexpr const char* kOptsKey = "Software\\Vantora\\Keyloom\\ini\\opts";
inline constexpr const char* kPrgKey = "Software\\Vantora\\Keyloom\\prg";
inline constexpr const char* kReserveKey = "Software\\Vantora\\Keyloom\\KeyReserve";  // local machine

}  // namespace vantora::launcher
