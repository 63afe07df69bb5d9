#pragma once
// RegistryPort over advapi32. Adds nothing: the contract tests hold it to the
// same behaviour as the fake, so any logic here would be untested twice over.
#include "common/ports/registry.h"

namespace vantora::win32 {

class Win32Registry : public RegistryPort {
public:
    long RegOpenKeyA(RegHandle key, const char* subKey, RegHandle* result) override;
    long RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) override;
    long RegCloseKey(RegHandle key) override;
    long RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* dataSize) override;
    long RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t dataSize) override;
    long RegQueryValueA(RegHandle key, const char* subKey, char* data, std::int32_t* dataSize) override;
    long RegSetValueA(RegHandle key, const char* subKey, std::uint32_t type, const char* data,
                      std::uint32_t dataSize) override;
    long RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameSize) override;
    long RegEnumValueA(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                       std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override;
    long RegQueryInfoKeyA(RegHandle key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                          std::uint32_t* values, std::uint32_t* maxValueNameLen,
                          std::uint32_t* maxValueLen) override;
    long RegDeleteKeyA(RegHandle key, const char* subKey) override;
    long RegDeleteValueA(RegHandle key, const char* valueName) override;
};

}  // namespace vantora::win32
