#pragma once
// An in-memory registry that keeps Windows' rules, so that logic tested against it
// behaves the same on a real machine. The contract tests under tests/contract/ run
// the same cases against this class and against the real registry.
//
// Rules worth knowing when reading a test that uses it:
// - Names are compared without ASCII case and returned as first written.
// - Subkeys enumerate in name order, compared upper-cased as NT does; values
//   enumerate in the order they were first set.
// - Data is stored exactly as given. Real Windows (and Wine) differ in one case:
//   for a string type whose last counted byte is not zero but whose next byte in
//   the caller's buffer is, they store the terminator as well. Code that relies
//   on either behaviour is wrong; write the length you mean.
// - A string read into a buffer with room to spare gets a zero after the data
//   when the stored data has no terminator, as NT does; the size reported stays
//   the stored size.
// - RegOpenKeyA with a null or empty subkey hands back the handle it was given,
//   as Windows does; RegCreateKeyA in that case opens a new handle.
// - Handles of deleted keys fail with ERROR_KEY_DELETED; closed handles with
//   ERROR_INVALID_HANDLE. Handle values are never reused, so a use after close shows.
// - HKEY_DYN_DATA does not exist (as on NT): ERROR_INVALID_HANDLE.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/ports/registry.h"

namespace vantora {

inline constexpr long kErrorBadPathname = 161;
inline constexpr long kErrorNoAccess = 998;
inline constexpr long kErrorKeyDeleted = 1018;

enum class RegOp {
    OpenKey,
    CreateKey,
    CloseKey,
    QueryValueEx,
    SetValueEx,
    QueryValue,
    SetValue,
    EnumKey,
    EnumValue,
    QueryInfoKey,
    DeleteKey,
    DeleteValue,
};

class FakeRegistry : public RegistryPort {
public:
    // What a failure rule sees of a call. keyPath is the full path of the key the
    // handle refers to, e.g. "HKEY_CURRENT_USER\Software\Vantora" ("" for a bad handle);
    // name is the subkey or value name argument ("" when null or not applicable).
    struct Call {
        RegOp op;
        RegHandle key;
        std::string keyPath;
        std::string name;
    };
    // Returns a nonzero code to make the call fail with it before it does anything.
    using FailureRule = std::function<long(const Call&)>;

    FakeRegistry();
    ~FakeRegistry() override;
    FakeRegistry(const FakeRegistry&) = delete;
    FakeRegistry& operator=(const FakeRegistry&) = delete;

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

    // --- test controls ---

    // The next `times` calls of op fail with code (rules queue up per operation).
    void failNext(RegOp op, long code, int times = 1);
    // Every call is offered to the rule first; replaces any earlier rule. Pass {} to remove.
    void failWhen(FailureRule rule);
    // Creates root\path if needed and makes it refuse new subkeys, value writes and
    // deletion with ERROR_ACCESS_DENIED, as a key the user holds only read rights on.
    void makeReadOnly(RegHandle root, std::string_view path);

    // Handles opened by RegOpenKeyA/RegCreateKeyA and not yet closed.
    int openHandleCount() const { return static_cast<int>(handles_.size()); }
    // Calls made of op, including failed ones.
    int callCount(RegOp op) const;
    bool keyExists(RegHandle root, std::string_view path) const;

private:
    struct Key;
    struct Value;

    long enter(RegOp op, RegHandle key, const char* name);
    long resolve(RegHandle handle, std::shared_ptr<Key>& key) const;
    RegHandle newHandle(std::shared_ptr<Key> key);
    long openPath(const std::shared_ptr<Key>& from, const char* path, bool create,
                  std::shared_ptr<Key>& result);
    long deleteKey(const std::shared_ptr<Key>& key);
    long queryDefault(RegHandle key, const char* subKey, char* data, std::int32_t* dataSize);
    static std::string pathOf(const Key& key);

    std::map<RegHandle, std::shared_ptr<Key>> roots_;
    std::map<RegHandle, std::shared_ptr<Key>> handles_;
    RegHandle nextHandle_ = 0x1000;
    struct Pending {
        RegOp op;
        long code;
        int times;
    };
    std::vector<Pending> pending_;
    FailureRule rule_;
    std::map<RegOp, int> calls_;
};

}  // namespace vantora
