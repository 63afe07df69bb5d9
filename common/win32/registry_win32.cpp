#include "common/win32/registry_win32.h"

#include <windows.h>

#include <cstdint>
#include <type_traits>

namespace vantora::win32 {

// The port's handles are 32-bit. On the 32-bit target they are the Win32 ones; a 64-bit
// build (used where only a 64-bit Wine runs) relies on kernel handles fitting in 32 bits,
// sign-extended, which is also how the predefined keys are spelled there.
static_assert(sizeof(HKEY) >= sizeof(RegHandle));
static_assert(sizeof(DWORD) == sizeof(std::uint32_t));
static_assert(sizeof(LONG) == sizeof(std::int32_t));

namespace {

HKEY toHkey(RegHandle key) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(key)));
}
RegHandle fromHkey(HKEY key) { return static_cast<RegHandle>(reinterpret_cast<std::uintptr_t>(key)); }
DWORD* dw(std::uint32_t* p) { return reinterpret_cast<DWORD*>(p); }

}  // namespace

long Win32Registry::RegOpenKeyA(RegHandle key, const char* subKey, RegHandle* result) {
    if (!result) return ::RegOpenKeyA(toHkey(key), subKey, nullptr);
    HKEY h = nullptr;
    const LONG rc = ::RegOpenKeyA(toHkey(key), subKey, &h);
    if (rc == ERROR_SUCCESS) *result = fromHkey(h);
    return rc;
}

long Win32Registry::RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) {
    if (!result) return ::RegCreateKeyA(toHkey(key), subKey, nullptr);
    HKEY h = nullptr;
    const LONG rc = ::RegCreateKeyA(toHkey(key), subKey, &h);
    if (rc == ERROR_SUCCESS) *result = fromHkey(h);
    return rc;
}

long Win32Registry::RegCloseKey(RegHandle key) { return ::RegCloseKey(toHkey(key)); }

long Win32Registry::RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type,
                                     std::uint8_t* data, std::uint32_t* dataSize) {
    return ::RegQueryValueExA(toHkey(key), valueName, nullptr, dw(type), data, dw(dataSize));
}

long Win32Registry::RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type,
                                   const std::uint8_t* data, std::uint32_t dataSize) {
    return ::RegSetValueExA(toHkey(key), valueName, 0, type, data, dataSize);
}

long Win32Registry::RegQueryValueA(RegHandle key, const char* subKey, char* data, std::int32_t* dataSize) {
    return ::RegQueryValueA(toHkey(key), subKey, data, reinterpret_cast<LONG*>(dataSize));
}

long Win32Registry::RegSetValueA(RegHandle key, const char* subKey, std::uint32_t type, const char* data,
                                 std::uint32_t dataSize) {
    return ::RegSetValueA(toHkey(key), subKey, type, data, dataSize);
}

long Win32Registry::RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    return ::RegEnumKeyA(toHkey(key), index, name, nameSize);
}

long Win32Registry::RegEnumValueA(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                                  std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) {
    return ::RegEnumValueA(toHkey(key), index, name, dw(nameSize), nullptr, dw(type), data, dw(dataSize));
}

long Win32Registry::RegQueryInfoKeyA(RegHandle key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                                     std::uint32_t* values, std::uint32_t* maxValueNameLen,
                                     std::uint32_t* maxValueLen) {
    return ::RegQueryInfoKeyA(toHkey(key), nullptr, nullptr, nullptr, dw(subKeys), dw(maxSubKeyLen), nullptr,
                              dw(values), dw(maxValueNameLen), dw(maxValueLen), nullptr, nullptr);
}

long Win32Registry::RegDeleteKeyA(RegHandle key, const char* subKey) {
    return ::RegDeleteKeyA(toHkey(key), subKey);
}

long Win32Registry::RegDeleteValueA(RegHandle key, const char* valueName) {
    return ::RegDeleteValueA(toHkey(key), valueName);
}

}  // namespace vantora::win32
