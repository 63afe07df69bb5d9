#pragma once
// The OS version port over kernel32.
#include <windows.h>

#include "common/ports/os_version.h"

namespace vantora::win32 {

class Win32OsVersion : public OsVersionPort {
public:
    std::int32_t GetVersionExA(OsVersionInfo* info) override;
};

}  // namespace vantora::win32
