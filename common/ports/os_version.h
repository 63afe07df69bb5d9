#pragma once
// The Windows version, as GetVersionExA reports it: the launcher and the BIOS access
// class tell Windows 98 and Me from the NT line by it.
#include <cstdint>

namespace vantora {

// OSVERSIONINFOA: 5 DWORDs and 128 characters, 148 bytes, the size the caller must
// put into osVersionInfoSize before asking.
struct OsVersionInfo {
    std::uint32_t osVersionInfoSize = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    char csdVersion[128] = {};
};
static_assert(sizeof(OsVersionInfo) == 148, "must match OSVERSIONINFOA");

class OsVersionPort {
public:
    virtual ~OsVersionPort() = default;

    // Fails (returns 0) when osVersionInfoSize is not a size Windows knows.
    virtual std::int32_t GetVersionExA(OsVersionInfo* info) = 0;
};

}  // namespace vantora
