#pragma once
// One root key, at most one open current key below it, and the name of one value of
// that key. Registry refusals are never raised: functions answer false, reads answer
// "" and writes do nothing. The only exception is a byte array too long to store.
//
// Every public member is the class's contract, kept and tested whether or not the
// dialog calls it today (it copies no key and deletes no tree): code that takes the
// class elsewhere relies on the whole of it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/error.h"
#include "common/ports/registry.h"

namespace vantora::accessibility {

// The value types a setting can take. The alternative decides the registry type on
// writing ("String" -> REG_SZ, "Long"/"Integer" -> REG_DWORD, "Byte()" -> REG_BINARY);
// Boolean, Double and Empty are accepted but never written.
using RegistryVariant = std::variant<std::monostate,             // "Empty"
                                     std::string,                // "String"
                                     std::int32_t,               // "Long"
                                     std::int16_t,               // "Integer"
                                     std::vector<std::uint8_t>,  // "Byte()"
                                     bool,                       // "Boolean"
                                     double>;                    // "Double"

// The variant's type name as callers of this class know it: "Empty", "String", ...
std::string_view typeName(const RegistryVariant& value);

// Raised, before anything is written, for a byte array longer than can be stored.
class RegistryOverflow : public Error {
public:
    using Error::Error;
};

class Registry {
public:
    // Byte arrays are copied with a 16-bit index, so this is the longest that can be stored.
    static constexpr std::size_t kMaxByteArray = 32768;

    explicit Registry(RegistryPort& port);
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Value addressed by QueryValue and DeleteName; "" is the key's default value.
    std::string QueryName;

    void RootKeyName(std::string_view name);
    std::string RootKeyName() const;

    void SetDefault(const std::string& KeyName, const RegistryVariant& Value, bool Force);

    void QueryValue(const RegistryVariant& value);
    RegistryVariant QueryValue() const;

    void DeleteName();
    bool OpenKey(const std::string& SubKey);
    bool CreateKey(const std::string& SubKey);
    void DeleteKey();

    void CopyTree(std::string_view SourceRoot, const std::string& SourceName, std::string_view TargetRoot,
                  const std::string& TargetName);
    void DeleteTree(std::string_view RootName, const std::string& DelName);

private:
    void SelectRoot(std::string_view name);
    void StoreValue(const RegistryVariant& value);
    bool CopyBranch(RegHandle parent, const std::string& name, const std::string& target, int depth = 0);
    bool DeleteBranch(RegHandle parent, const std::string& name, int depth = 0);

    void closeCurrentKey();
    RegistryVariant readNamedValue() const;
    RegistryVariant readDefaultValue() const;
    void copyValues(RegHandle source, RegHandle target);

    RegistryPort& port_;
    RegHandle currentKey_ = 0;
    RegHandle rootKey_ = kHkeyCurrentUser;
    std::string rootName_ = "HKCU";
};

}  // namespace vantora::accessibility
