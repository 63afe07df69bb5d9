#include "accessibility/registry_access.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace vantora::accessibility {

namespace {

struct RootName {
    std::string_view longName;
    std::string_view shortName;
    RegHandle key;
};

// Tried in this order; the first match wins.
constexpr RootName kRoots[] = {
    {"HKEY_CURRENT_USER", "HKCU", kHkeyCurrentUser},     {"HKEY_LOCAL_MACHINE", "HKLM", kHkeyLocalMachine},
    {"HKEY_CLASSES_ROOT", "HKCR", kHkeyClassesRoot},     {"HKEY_CURRENT_CONFIG", "HKCC", kHkeyCurrentConfig},
    {"HKEY_DYN_DATA", "HKDD", kHkeyDynData},             {"HKEY_USERS", "HKUS", kHkeyUsers},
};

// Key names are at most 255 characters; value names at most 16383.
constexpr std::uint32_t kKeyNameBuffer = 256;
constexpr std::uint32_t kValueNameBuffer = 16384;
// The registry nests keys at most 512 deep. Deeper recursion can only mean that the
// tree changes under us (or aliases itself), so the walk stops there.
constexpr int kMaxDepth = 512;

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// Folds case and drops empty path parts, so that "A\\b\" and "a\B" compare equal.
std::string normalizedPath(std::string_view path) {
    std::string out;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t cut = std::min(path.find('\\', start), path.size());
        if (cut > start) {
            if (!out.empty()) out += '\\';
            out += upper(path.substr(start, cut - start));
        }
        start = cut + 1;
    }
    return out;
}

bool isSameOrBelow(const std::string& path, const std::string& ancestor) {
    if (ancestor.empty()) return true;  // the root itself holds everything
    if (path.size() < ancestor.size() || path.compare(0, ancestor.size(), ancestor) != 0) return false;
    return path.size() == ancestor.size() || path[ancestor.size()] == '\\';
}

// Registry data carries no promise of a terminator, so text ends at the first zero
// or at the end of what was actually returned, whichever comes first.
std::string textOf(const char* data, std::size_t size) {
    return std::string(data, std::find(data, data + size, '\0'));
}

std::string textOf(const std::vector<std::uint8_t>& data) {
    return textOf(reinterpret_cast<const char*>(data.data()), data.size());
}

std::int32_t dwordOf(const std::uint8_t* bytes) {
    // The bytes as stored, in the machine's order (little-endian on every target we ship).
    const std::uint32_t v = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                            std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    return static_cast<std::int32_t>(v);
}

void throwIfTooLong(const RegistryVariant& value) {
    if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value);
        bytes && bytes->size() > Registry::kMaxByteArray) {
        throw RegistryOverflow("Registry: a byte array of " + std::to_string(bytes->size()) +
                               " elements is longer than the " + std::to_string(Registry::kMaxByteArray) +
                               " that can be stored");
    }
}

}  // namespace

std::string_view typeName(const RegistryVariant& value) {
    constexpr std::string_view names[] = {"Empty", "String", "Long", "Integer", "Byte()", "Boolean", "Double"};
    static_assert(std::size(names) == std::variant_size_v<RegistryVariant>);
    return names[value.index()];
}

Registry::Registry(RegistryPort& port) : port_(port) {}

Registry::~Registry() { closeCurrentKey(); }

void Registry::closeCurrentKey() {
    if (currentKey_ != 0) port_.RegCloseKey(currentKey_);
    currentKey_ = 0;
}

void Registry::RootKeyName(std::string_view name) { SelectRoot(name); }

std::string Registry::RootKeyName() const { return rootName_; }

void Registry::SelectRoot(std::string_view name) {
    const std::string wanted = upper(name);
    for (const auto& root : kRoots) {
        if (wanted == root.longName || wanted == root.shortName) {
            rootKey_ = root.key;
            // Reading the name back must not claim HKCU once another root is in use.
            rootName_ = std::string(root.shortName);
            return;
        }
    }
}

bool Registry::OpenKey(const std::string& SubKey) {
    closeCurrentKey();
    QueryName.clear();
    RegHandle key = 0;
    if (port_.RegOpenKeyA(rootKey_, SubKey.c_str(), &key) != kErrorSuccess) return false;
    currentKey_ = key;
    return true;
}

bool Registry::CreateKey(const std::string& SubKey) {
    closeCurrentKey();
    QueryName.clear();
    RegHandle key = 0;
    if (port_.RegCreateKeyA(rootKey_, SubKey.c_str(), &key) != kErrorSuccess) return false;
    currentKey_ = key;
    return true;
}

void Registry::DeleteKey() {
    if (currentKey_ == 0) return;
    port_.RegDeleteKeyA(currentKey_, "");
    closeCurrentKey();
    QueryName.clear();
}

void Registry::DeleteName() {
    if (currentKey_ != 0) port_.RegDeleteValueA(currentKey_, QueryName.c_str());
    QueryName.clear();
}

RegistryVariant Registry::QueryValue() const {
    if (currentKey_ == 0) return std::string();
    return QueryName.empty() ? readDefaultValue() : readNamedValue();
}

RegistryVariant Registry::readNamedValue() const {
    const std::string empty;
    std::uint32_t type = kRegNone;
    std::uint32_t size = 0;
    if (port_.RegQueryValueExA(currentKey_, QueryName.c_str(), &type, nullptr, &size) != kErrorSuccess) return empty;

    // The value may change between the two calls; a second answer that no longer fits
    // the first (another type, or more data) is treated as unreadable.
    auto readInto = [&](std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& got) {
        std::uint32_t typeNow = kRegNone;
        got = capacity;
        if (port_.RegQueryValueExA(currentKey_, QueryName.c_str(), &typeNow, buffer, &got) != kErrorSuccess)
            return false;
        if (typeNow != type) return false;
        got = std::min(got, capacity);
        return true;
    };

    switch (type) {
    case kRegSz: {
        if (size == 0) return empty;
        std::vector<std::uint8_t> buffer(size, 0);
        std::uint32_t got = 0;
        if (!readInto(buffer.data(), size, got)) return empty;
        return textOf(reinterpret_cast<const char*>(buffer.data()), got);
    }
    case kRegBinary: {
        std::vector<std::uint8_t> buffer(size, 0);
        std::uint32_t got = 0;
        if (size == 0) return buffer;
        if (!readInto(buffer.data(), size, got)) return empty;
        buffer.resize(got);
        return buffer;
    }
    case kRegDword:
    case kRegDwordBigEndian: {
        // A DWORD that is not exactly four bytes long is damaged; padding or cutting
        // it would invent a setting, so it reads as no usable value.
        if (size != 4) return empty;
        std::uint8_t bytes[4] = {};
        std::uint32_t got = 0;
        if (!readInto(bytes, 4, got) || got != 4) return empty;
        return dwordOf(bytes);
    }
    default:
        return empty;
    }
}

RegistryVariant Registry::readDefaultValue() const {
    const std::string empty;
    std::int32_t size = 0;
    if (port_.RegQueryValueA(currentKey_, nullptr, nullptr, &size) != kErrorSuccess || size <= 0) return empty;
    std::vector<char> buffer(static_cast<std::size_t>(size), '\0');
    std::int32_t got = size;
    if (port_.RegQueryValueA(currentKey_, nullptr, buffer.data(), &got) != kErrorSuccess) return empty;
    // Cut at the first zero rather than dropping the last character: a default value
    // written without its terminator would otherwise lose real text.
    return textOf(buffer.data(), static_cast<std::size_t>(std::clamp(got, 0, size)));
}

void Registry::QueryValue(const RegistryVariant& value) { StoreValue(value); }

void Registry::StoreValue(const RegistryVariant& value) {
    throwIfTooLong(value);
    if (currentKey_ == 0) return;

    if (QueryName.empty()) {
        // The default value is always text; numbers go in as their decimal form.
        std::string text;
        if (const auto* s = std::get_if<std::string>(&value)) {
            text = *s;
        } else if (const auto* l = std::get_if<std::int32_t>(&value)) {
            text = std::to_string(*l);
        } else if (const auto* i = std::get_if<std::int16_t>(&value)) {
            text = std::to_string(*i);
        } else {
            return;
        }
        port_.RegSetValueA(currentKey_, nullptr, kRegSz, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
        return;
    }

    const char* name = QueryName.c_str();
    auto storeDword = [&](std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                       static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
        port_.RegSetValueExA(currentKey_, name, kRegDword, bytes, 4);
    };

    if (const auto* s = std::get_if<std::string>(&value)) {
        // An empty text is stored with length 0, not as a lone terminator.
        const auto size = s->empty() ? 0u : static_cast<std::uint32_t>(s->size() + 1);
        port_.RegSetValueExA(currentKey_, name, kRegSz, reinterpret_cast<const std::uint8_t*>(s->c_str()), size);
    } else if (const auto* l = std::get_if<std::int32_t>(&value)) {
        storeDword(*l);
    } else if (const auto* i = std::get_if<std::int16_t>(&value)) {
        storeDword(*i);
    } else if (const auto* bytes = std::get_if<std::vector<std::uint8_t>>(&value)) {
        port_.RegSetValueExA(currentKey_, name, kRegBinary, bytes->data(), static_cast<std::uint32_t>(bytes->size()));
    }
}

void Registry::SetDefault(const std::string& KeyName, const RegistryVariant& Value, bool Force) {
    // Refuse before touching QueryName, so a throw leaves the object as it was.
    throwIfTooLong(Value);
    const std::string remembered = QueryName;
    QueryName = KeyName;
    const RegistryVariant stored = QueryValue();
    const auto* text = std::get_if<std::string>(&stored);
    if (Force || std::holds_alternative<std::vector<std::uint8_t>>(stored) || (text && text->empty())) {
        StoreValue(Value);
    }
    QueryName = remembered;
}

void Registry::CopyTree(std::string_view SourceRoot, const std::string& SourceName, std::string_view TargetRoot,
                        const std::string& TargetName) {
    const RegHandle rememberedKey = rootKey_;
    const std::string rememberedName = rootName_;
    SelectRoot(SourceRoot);
    const RegHandle sourceRoot = rootKey_;
    SelectRoot(TargetRoot);
    // Copying a key into itself or below itself would find its own copy among the
    // subkeys it is copying and grow without end.
    if (rootKey_ != sourceRoot || !isSameOrBelow(normalizedPath(TargetName), normalizedPath(SourceName))) {
        CopyBranch(sourceRoot, SourceName, TargetName);
    }
    rootKey_ = rememberedKey;
    rootName_ = rememberedName;
}

bool Registry::CopyBranch(RegHandle parent, const std::string& name, const std::string& target, int depth) {
    if (depth > kMaxDepth) return false;
    RegHandle source = 0;
    if (port_.RegOpenKeyA(parent, name.c_str(), &source) != kErrorSuccess) return false;

    RegHandle copy = 0;
    const bool created = port_.RegCreateKeyA(rootKey_, target.c_str(), &copy) == kErrorSuccess;
    if (created) copyValues(source, copy);

    for (std::uint32_t index = 0;; ++index) {
        char buffer[kKeyNameBuffer] = {};
        if (port_.RegEnumKeyA(source, index, buffer, kKeyNameBuffer) != kErrorSuccess) break;
        const std::string subKey = textOf(buffer, kKeyNameBuffer);
        if (subKey.empty()) break;
        CopyBranch(source, subKey, target + "\\" + subKey, depth + 1);
    }

    // An empty name hands back the parent's own handle, which is not ours to close.
    if (source != parent) port_.RegCloseKey(source);
    if (created) port_.RegCloseKey(copy);
    return true;
}

void Registry::copyValues(RegHandle source, RegHandle target) {
    std::vector<char> nameBuffer(kValueNameBuffer);
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t nameSize = kValueNameBuffer;
        std::uint32_t type = kRegNone;
        std::uint32_t size = 0;
        nameBuffer[0] = '\0';
        if (port_.RegEnumValueA(source, index, nameBuffer.data(), &nameSize, &type, nullptr, &size) != kErrorSuccess)
            break;
        const std::string name = textOf(nameBuffer.data(), std::min(nameSize, kValueNameBuffer));

        std::vector<std::uint8_t> data(size, 0);
        std::uint32_t got = size;
        std::uint32_t typeNow = kRegNone;
        if (port_.RegQueryValueExA(source, name.c_str(), &typeNow, size ? data.data() : nullptr, &got) !=
                kErrorSuccess ||
            typeNow != type) {
            continue;  // changed or vanished since it was listed
        }
        data.resize(std::min(got, size));

        if (name.empty() && type == kRegSz) {
            const std::string text = textOf(data);
            port_.RegSetValueA(target, nullptr, kRegSz, text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
            continue;
        }
        switch (type) {
        case kRegSz: {
            const std::string text = textOf(data);
            const auto length = text.empty() ? 0u : static_cast<std::uint32_t>(text.size() + 1);
            port_.RegSetValueExA(target, name.c_str(), kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                 length);
            break;
        }
        case kRegBinary:
            port_.RegSetValueExA(target, name.c_str(), kRegBinary, data.data(),
                                 static_cast<std::uint32_t>(data.size()));
            break;
        case kRegDword:
        case kRegDwordBigEndian:
            if (data.size() == 4) port_.RegSetValueExA(target, name.c_str(), type, data.data(), 4);
            break;
        default:
            break;
        }
    }
}

void Registry::DeleteTree(std::string_view RootName, const std::string& DelName) {
    const RegHandle rememberedKey = rootKey_;
    const std::string rememberedName = rootName_;
    SelectRoot(RootName);
    DeleteBranch(rootKey_, DelName);
    rootKey_ = rememberedKey;
    rootName_ = rememberedName;
}

bool Registry::DeleteBranch(RegHandle parent, const std::string& name, int depth) {
    // An empty name opens the parent itself; for a root that would empty the whole hive.
    if (normalizedPath(name).empty() || depth > kMaxDepth) return false;
    RegHandle key = 0;
    if (port_.RegOpenKeyA(parent, name.c_str(), &key) != kErrorSuccess) return false;
    if (key == parent) return false;

    bool deleted = port_.RegDeleteKeyA(key, "") == kErrorSuccess;
    if (!deleted) {
        std::string previous;
        for (;;) {
            char buffer[kKeyNameBuffer] = {};
            if (port_.RegEnumKeyA(key, 0, buffer, kKeyNameBuffer) != kErrorSuccess) break;
            const std::string subKey = textOf(buffer, kKeyNameBuffer);
            // The same first subkey twice means its deletion did not take; stop rather than spin.
            if (subKey.empty() || upper(subKey) == previous) break;
            if (!DeleteBranch(key, subKey, depth + 1)) break;
            previous = upper(subKey);
        }
        deleted = port_.RegDeleteKeyA(key, "") == kErrorSuccess;
    }
    port_.RegCloseKey(key);
    return deleted;
}

}  // namespace vantora::accessibility
