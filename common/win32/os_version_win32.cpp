#include "common/win32/os_version_win32.h"

#include <cstdint>
#include <cstring>

namespace vantora::win32 {

static_assert(sizeof(OsVersionInfo) == sizeof(OSVERSIONINFOA));

std::int32_t Win32OsVersion::GetVersionExA(OsVersionInfo* info) {
    // The extended record is the largest size Windows accepts; asking through it keeps a
    // caller's larger size claim from writing past the 148-byte record.
    OSVERSIONINFOEXA os{};
    os.dwOSVersionInfoSize = info->osVersionInfoSize;
    if (os.dwOSVersionInfoSize > sizeof(os)) return 0;
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&os))) return 0;
    info->majorVersion = os.dwMajorVersion;
    info->minorVersion = os.dwMinorVersion;
    info->buildNumber = os.dwBuildNumber;
    info->platformId = os.dwPlatformId;
    std::memcpy(info->csdVersion, os.szCSDVersion, sizeof(info->csdVersion));
    return 1;
}

}  // namespace vantora::win32
