#pragma once
// Scratch trees in a real registry: tests make them below a name of their own and
// remove them whole before and after each case; values written there hold exactly
// the bytes a test gives.
#include <cstdint>
#include <string>
#include <vector>

#include "common/ports/registry.h"

namespace vantora {

// Removes parent\name with everything below it, depth first: RegDeleteKeyA refuses
// keys that still have subkeys. A missing key is not an error.
inline void deleteKeyTree(RegistryPort& reg, RegHandle parent, const std::string& name) {
    RegHandle key = 0;
    if (name.empty() || reg.RegOpenKeyA(parent, name.c_str(), &key) != kErrorSuccess) return;
    std::vector<std::string> children;
    char child[256];
    for (std::uint32_t i = 0; reg.RegEnumKeyA(key, i, child, sizeof child) == kErrorSuccess; ++i) {
        children.emplace_back(child);
    }
    for (const auto& c : children) deleteKeyTree(reg, key, c);
    reg.RegCloseKey(key);
    reg.RegDeleteKeyA(parent, name.c_str());
}

// Stores exactly these bytes. The real registry adds a terminator to string data whose
// last byte is not zero when the byte after the data is zero, so the data goes out from
// a copy with a non-zero byte behind it.
inline long setExactValue(RegistryPort& reg, RegHandle key, const char* name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> guarded = data;
    guarded.push_back('#');
    return reg.RegSetValueExA(key, name, type, guarded.data(), static_cast<std::uint32_t>(data.size()));
}

}  // namespace vantora
