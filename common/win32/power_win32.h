#pragma once
// PowerPort over the process token and ExitWindowsEx.
#include "common/ports/power.h"

namespace vantora::win32 {

class Win32Power : public PowerPort {
public:
    bool enablePrivilege(const char* privilege) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
};

}  // namespace vantora::win32
