#pragma once
// The registry as the programs see it: the ANSI advapi32 calls, with Windows' sizes,
// terminators and result codes. Handles and DWORDs are 32-bit, as on 32-bit Windows.
#include <cstdint>

namespace vantora {

using RegHandle = std::uint32_t;

inline constexpr RegHandle kHkeyClassesRoot = 0x80000000u;
inline constexpr RegHandle kHkeyCurrentUser = 0x80000001u;
inline constexpr RegHandle kHkeyLocalMachine = 0x80000002u;
inline constexpr RegHandle kHkeyUsers = 0x80000003u;
inline constexpr RegHandle kHkeyCurrentConfig = 0x80000005u;
inline constexpr RegHandle kHkeyDynData = 0x80000006u;

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorInvalidParameter = 87;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;

inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Each member behaves like the Win32 call of the same name (the A forms).
// Pointers that Win32 allows to be null may be null here too.
class RegistryPort {
public:
    virtual ~RegistryPort() = default;

    virtual long RegOpenKeyA(RegHandle key, const char* subKey, RegHandle* result) = 0;
    virtual long RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) = 0;
    virtual long RegCloseKey(RegHandle key) = 0;
    virtual long RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* dataSize) = 0;
    virtual long RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t dataSize) = 0;
    // Default (unnamed) value of subKey (or of key itself when subKey is null or "").
    virtual long RegQueryValueA(RegHandle key, const char* subKey, char* data, std::int32_t* dataSize) = 0;
    virtual long RegSetValueA(RegHandle key, const char* subKey, std::uint32_t type, const char* data,
                              std::uint32_t dataSize) = 0;
    virtual long RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameSize) = 0;
    virtual long RegEnumValueA(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                               std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) = 0;
    virtual long RegQueryInfoKeyA(RegHandle key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                                  std::uint32_t* values, std::uint32_t* maxValueNameLen,
                                  std::uint32_t* maxValueLen) = 0;
    virtual long RegDeleteKeyA(RegHandle key, const char* subKey) = 0;
    virtual long RegDeleteValueA(RegHandle key, const char* valueName) = 0;
};

// Closes the key it holds when dropped. Move-only.
class ScopedRegKey {
public:
    ScopedRegKey() = default;
    ScopedRegKey(RegistryPort& port, RegHandle key) : port_(&port), key_(key) {}
    ScopedRegKey(ScopedRegKey&& other) noexcept : port_(other.port_), key_(other.key_) { other.key_ = 0; }
    ScopedRegKey& operator=(ScopedRegKey&& other) noexcept {
        if (this != &other) {
            reset();
            port_ = other.port_;
            key_ = other.key_;
            other.key_ = 0;
        }
        return *this;
    }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;
    ~ScopedRegKey() { reset(); }

    void reset() {
        if (port_ && key_) port_->RegCloseKey(key_);
        key_ = 0;
    }
    RegHandle get() const { return key_; }
    explicit operator bool() const { return key_ != 0; }

    static ScopedRegKey open(RegistryPort& port, RegHandle root, const char* subKey) {
        RegHandle h = 0;
        if (port.RegOpenKeyA(root, subKey, &h) != kErrorSuccess) return {};
        return {port, h};
    }
    static ScopedRegKey create(RegistryPort& port, RegHandle root, const char* subKey) {
        RegHandle h = 0;
        if (port.RegCreateKeyA(root, subKey, &h) != kErrorSuccess) return {};
        return {port, h};
    }

private:
    RegistryPort* port_ = nullptr;
    RegHandle key_ = 0;
};

}  // namespace vantora
