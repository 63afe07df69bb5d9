#pragma once
// The launcher's registry store: key paths, the string format and the read rules.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/ports/registry.h"
#include "launcher/launcher_constants.h"

namespace vantora::launcher {

// A string value longer than any command line Windows accepts is not something this
// program wrote; it is treated as absent rather than carried around.
inline constexpr std::uint32_t kMaxStringBytes = 32768;

// Result of a store read: status 0 when the value was read, otherwise the registry's
// error (or kErrorFileNotFound for a value of the wrong type or size).
struct StoredString {
    long status = kErrorFileNotFound;
    std::string text;
    bool exists() const { return status == kErrorSuccess; }
};

class Store {
public:
    explicit Store(RegistryPort& registry) : reg_(registry) {}

    RegistryPort& registry() { return reg_; }

    // Two-step read: ask for the size, read into that many zero bytes, cut at the first zero.
    StoredString readString(RegHandle root, const char* keyPath, std::string_view valueName);
    StoredString readString(RegHandle key, std::string_view valueName);
    StoredString readUser(const char* keyPath, std::string_view valueName) {
        return readString(kHkeyCurrentUser, keyPath, valueName);
    }
    // Switches are on exactly when the stored text is "1".
    bool option(std::string_view name) { return readUser(kCfgKey, name).text == "1"; }

    // Text plus its terminator; the empty text as three zero bytes.
    static long writeString(RegistryPort& reg, RegHandle key, std::string_view valueName, std::string_view text);
    long writeUser(const char* keyPath, std::string_view valueName, std::string_view text);
    // A window coordinate: exactly five bytes, cut or zero-padded.
    long writeCoordinate(std::string_view valueName, long twips);

    bool hasValue(RegHandle root, const char* keyPath, std::string_view valueName);

private:
    RegistryPort& reg_;
};

// The text of a path before its last backslash.
std::string DirectoryPart(std::string_view path);

// The folder a program in `path` starts in: DirectoryPart, but a drive root keeps its
// backslash (C:\ rather than C:), since a bare "C:" names the drive's current folder,
// not its root.
std::string workingDirectoryOf(std::string_view path);

// The leading decimal number of a text, as the store's numeric fields are read:
// optional sign, digits, anything after them ignored; no digits gives 0.
long numericValue(std::string_view text);

}  // namespace vantora::launcher
