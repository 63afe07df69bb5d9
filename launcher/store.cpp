#include "launcher/store.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace vantora::launcher {

StoredString Store::readString(RegHandle key, std::string_view valueName) {
    const std::string name(valueName);
    std::uint32_t type = 0, size = 0;
    StoredString result;
    result.status = reg_.RegQueryValueExA(key, name.c_str(), &type, nullptr, &size);
    if (result.status != kErrorSuccess) return result;
    // Only strings are read as text; anything else was not written by this program.
    if (type != kRegSz || size > kMaxStringBytes) {
        result.status = kErrorFileNotFound;
        return result;
    }
    std::vector<std::uint8_t> buffer(size + 1, 0);  // one spare zero: the value may lack its terminator
    std::uint32_t readSize = size;
    result.status = reg_.RegQueryValueExA(key, name.c_str(), &type, buffer.data(), &readSize);
    if (result.status != kErrorSuccess || type != kRegSz || readSize > size) {
        result.status = result.status == kErrorSuccess ? kErrorFileNotFound : result.status;
        return result;
    }
    const auto end = std::find(buffer.begin(), buffer.begin() + readSize, 0);
    result.text.assign(buffer.begin(), end);
    return result;
}

StoredString Store::readString(RegHandle root, const char* keyPath, std::string_view valueName) {
    auto key = ScopedRegKey::open(reg_, root, keyPath);
    if (!key) return {};
    return readString(key.get(), valueName);
}

long Store::writeString(RegistryPort& reg, RegHandle key, std::string_view valueName, std::string_view text) {
    const std::string name(valueName);
    if (text.empty()) {
        static constexpr std::uint8_t kEmpty[3] = {0, 0, 0};
        return reg.RegSetValueExA(key, name.c_str(), kRegSz, kEmpty, 3);
    }
    std::string data(text);  // c_str() gives the terminator that is stored with it
    return reg.RegSetValueExA(key, name.c_str(), kRegSz, reinterpret_cast<const std::uint8_t*>(data.c_str()),
                              static_cast<std::uint32_t>(data.size() + 1));
}

long Store::writeUser(const char* keyPath, std::string_view valueName, std::string_view text) {
    auto key = ScopedRegKey::create(reg_, kHkeyCurrentUser, keyPath);
    if (!key) return kErrorFileNotFound;
    return writeString(reg_, key.get(), valueName, text);
}

long Store::writeCoordinate(std::string_view valueName, long twips) {
    auto key = ScopedRegKey::create(reg_, kHkeyCurrentUser, kCfgKey);
    if (!key) return kErrorFileNotFound;
    // Byte 5 is left non-zero on purpose: the registry adds a terminator of its own to a
    // string whose last counted byte is not zero when the byte after it is, and a
    // five-character coordinate must be stored as exactly five bytes.
    char data[6] = {0, 0, 0, 0, 0, '#'};
    const std::string digits = std::to_string(twips);
    std::copy_n(digits.begin(), std::min<std::size_t>(digits.size(), 5), data);
    const std::string name(valueName);
    return reg_.RegSetValueExA(key.get(), name.c_str(), kRegSz, reinterpret_cast<const std::uint8_t*>(data), 5);
}

bool Store::hasValue(RegHandle root, const char* keyPath, std::string_view valueName) {
    auto key = ScopedRegKey::open(reg_, root, keyPath);
    if (!key) return false;
    const std::string name(valueName);
    std::uint32_t size = 0;
    return reg_.RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, &size) == kErrorSuccess;
}

std::string DirectoryPart(std::string_view path) {
    const auto slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash));
}

std::string workingDirectoryOf(std::string_view path) {
    std::string directory = DirectoryPart(path);
    if (!directory.empty() && directory.back() == ':') directory += '\\';
    return directory;
}

long numericValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            value = std::numeric_limits<std::int32_t>::max();
            break;
        }
    }
    return static_cast<long>(negative ? -value : value);
}

}  // namespace vantora::launcher
