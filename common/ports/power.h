#pragma once
// Turning the computer off, as the password utility does after a BIOS change: the
// shutdown privilege is enabled on the process token first, since ExitWindowsEx refuses
// a power-off to a process that does not hold it enabled.
#include <cstdint>

namespace vantora {

inline constexpr char kShutdownPrivilege[] = "SeShutdownPrivilege";
inline constexpr std::uint32_t kEwxPowerOff = 8;
inline constexpr std::uint32_t kShutdownReasonAll = 0xFFFFFFFFu;

class PowerPort {
public:
    virtual ~PowerPort() = default;
    // OpenProcessToken, LookupPrivilegeValueA and AdjustTokenPrivileges on this process;
    // false when any of them fails.
    virtual bool enablePrivilege(const char* privilege) = 0;
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
};

}  // namespace vantora
