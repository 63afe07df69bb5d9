#include "common/fakes/fake_registry.h"

#include <algorithm>
#include <cstring>

namespace vantora {

namespace {

// NT compares key names upper-cased; that decides the enumeration order of
// names holding characters between 'Z' and 'a', such as '_'.
std::string fold(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool isStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

std::string_view orEmpty(const char* s) { return s ? std::string_view(s) : std::string_view(); }

}  // namespace

struct FakeRegistry::Value {
    std::string name;
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

struct FakeRegistry::Key {
    std::string name;
    Key* parent = nullptr;  // null for roots and for deleted keys
    std::map<std::string, std::shared_ptr<Key>> subKeys;  // by folded name: sorted as enumerated
    std::vector<Value> values;                             // in the order first set
    bool deleted = false;
    bool readOnly = false;
    bool root = false;

    Value* findValue(std::string_view valueName) {
        const std::string folded = fold(valueName);
        for (auto& v : values) {
            if (fold(v.name) == folded) return &v;
        }
        return nullptr;
    }
};

FakeRegistry::FakeRegistry() {
    const std::pair<RegHandle, const char*> roots[] = {
        {kHkeyClassesRoot, "HKEY_CLASSES_ROOT"}, {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
        {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"}, {kHkeyUsers, "HKEY_USERS"},
        {kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
    };
    for (const auto& [handle, name] : roots) {
        auto key = std::make_shared<Key>();
        key->name = name;
        key->root = true;
        roots_[handle] = key;
    }
}

FakeRegistry::~FakeRegistry() = default;

std::string FakeRegistry::pathOf(const Key& key) {
    std::string path = key.name;
    for (const Key* k = key.parent; k; k = k->parent) path = k->name + "\\" + path;
    return path;
}

long FakeRegistry::enter(RegOp op, RegHandle key, const char* name) {
    ++calls_[op];
    auto it = std::find_if(pending_.begin(), pending_.end(), [op](const Pending& p) { return p.op == op; });
    if (it != pending_.end()) {
        const long code = it->code;
        if (--it->times <= 0) pending_.erase(it);
        return code;
    }
    if (rule_) {
        std::shared_ptr<Key> k;
        Call call{op, key, "", std::string(orEmpty(name))};
        if (resolve(key, k) == kErrorSuccess) call.keyPath = pathOf(*k);
        return rule_(call);
    }
    return kErrorSuccess;
}

long FakeRegistry::resolve(RegHandle handle, std::shared_ptr<Key>& key) const {
    if (auto r = roots_.find(handle); r != roots_.end()) {
        key = r->second;
        return kErrorSuccess;
    }
    auto h = handles_.find(handle);
    if (h == handles_.end()) return kErrorInvalidHandle;
    if (h->second->deleted) return kErrorKeyDeleted;
    key = h->second;
    return kErrorSuccess;
}

RegHandle FakeRegistry::newHandle(std::shared_ptr<Key> key) {
    const RegHandle h = nextHandle_;
    nextHandle_ += 4;  // kernel handles are multiples of four
    handles_[h] = std::move(key);
    return h;
}

long FakeRegistry::openPath(const std::shared_ptr<Key>& from, const char* path, bool create,
                            std::shared_ptr<Key>& result) {
    std::string_view rest = orEmpty(path);
    if (!rest.empty() && rest.front() == '\\') return kErrorBadPathname;
    std::shared_ptr<Key> at = from;
    while (!rest.empty()) {
        const auto cut = rest.find('\\');
        const std::string_view part = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        if (part.empty()) continue;  // a trailing backslash is accepted
        auto it = at->subKeys.find(fold(part));
        if (it != at->subKeys.end()) {
            at = it->second;
            continue;
        }
        if (!create) return kErrorFileNotFound;
        if (at->readOnly) return kErrorAccessDenied;
        auto child = std::make_shared<Key>();
        child->name = std::string(part);
        child->parent = at.get();
        at->subKeys[fold(part)] = child;
        at = child;
    }
    result = at;
    return kErrorSuccess;
}

long FakeRegistry::RegOpenKeyA(RegHandle key, const char* subKey, RegHandle* result) {
    if (long rc = enter(RegOp::OpenKey, key, subKey)) return rc;
    if (!result) return kErrorInvalidParameter;
    // Windows clears the result of a failed open and Wine leaves it as it was; the
    // fake leaves it too, so that a caller reading it after a failure shows up.
    std::shared_ptr<Key> from;
    if (long rc = resolve(key, from)) return rc;
    if (orEmpty(subKey).empty()) {
        *result = key;
        return kErrorSuccess;
    }
    std::shared_ptr<Key> found;
    if (long rc = openPath(from, subKey, false, found)) return rc;
    *result = newHandle(found);
    return kErrorSuccess;
}

long FakeRegistry::RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) {
    if (long rc = enter(RegOp::CreateKey, key, subKey)) return rc;
    if (!result) return kErrorInvalidParameter;
    std::shared_ptr<Key> from;
    if (long rc = resolve(key, from)) return rc;
    std::shared_ptr<Key> found;
    if (long rc = openPath(from, subKey, true, found)) return rc;
    *result = newHandle(found);
    return kErrorSuccess;
}

long FakeRegistry::RegCloseKey(RegHandle key) {
    if (long rc = enter(RegOp::CloseKey, key, nullptr)) return rc;
    if (roots_.count(key)) return kErrorSuccess;  // closing a predefined key is a no-op
    // A handle of a deleted key is still a handle and must be closable.
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

namespace {

long readValue(const std::vector<std::uint8_t>& stored, std::uint32_t storedType, std::uint32_t* type,
               std::uint8_t* data, std::uint32_t* dataSize) {
    const auto size = static_cast<std::uint32_t>(stored.size());
    if (type) *type = storedType;
    if (!data) {
        if (dataSize) *dataSize = size;
        return kErrorSuccess;
    }
    if (*dataSize < size) {
        // Windows leaves the buffer's contents undefined here; a partial copy
        // makes a caller that uses them anyway visibly wrong.
        std::memcpy(data, stored.data(), *dataSize);
        *dataSize = size;
        return kErrorMoreData;
    }
    if (size) std::memcpy(data, stored.data(), size);
    if (isStringType(storedType) && size && stored.back() != 0 && size < *dataSize) data[size] = 0;
    *dataSize = size;
    return kErrorSuccess;
}

}  // namespace

long FakeRegistry::RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* dataSize) {
    if (long rc = enter(RegOp::QueryValueEx, key, valueName)) return rc;
    std::shared_ptr<Key> k;
    if (long rc = resolve(key, k)) return rc;
    if (data && !dataSize) return kErrorInvalidParameter;
    const Value* v = k->findValue(orEmpty(valueName));
    if (!v) return kErrorFileNotFound;
    return readValue(v->data, v->type, type, data, dataSize);
}

long FakeRegistry::RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t dataSize) {
    if (long rc = enter(RegOp::SetValueEx, key, valueName)) return rc;
    std::shared_ptr<Key> k;
    if (long rc = resolve(key, k)) return rc;
    if (!data && dataSize) return kErrorNoAccess;
    if (k->readOnly) return kErrorAccessDenied;
    std::vector<std::uint8_t> bytes(data, data + (data ? dataSize : 0));
    if (Value* v = k->findValue(orEmpty(valueName))) {
        v->type = type;
        v->data = std::move(bytes);
    } else {
        k->values.push_back({std::string(orEmpty(valueName)), type, std::move(bytes)});
    }
    return kErrorSuccess;
}

long FakeRegistry::queryDefault(RegHandle key, const char* subKey, char* data, std::int32_t* dataSize) {
    std::shared_ptr<Key> k;
    if (long rc = resolve(key, k)) return rc;
    if (!orEmpty(subKey).empty()) {
        if (long rc = openPath(k, subKey, false, k)) return rc;
    }
    const Value* v = k->findValue("");
    if (!v) {
        // An unset default value reads as the empty string.
        if (data && (!dataSize || *dataSize > 0)) *data = 0;
        if (dataSize) *dataSize = 1;
        return kErrorSuccess;
    }
    if (data && !dataSize) return kErrorInvalidParameter;
    std::uint32_t size = dataSize ? static_cast<std::uint32_t>(std::max<std::int32_t>(*dataSize, 0)) : 0;
    const long rc = readValue(v->data, v->type, nullptr, reinterpret_cast<std::uint8_t*>(data),
                              dataSize ? &size : nullptr);
    if (dataSize) *dataSize = static_cast<std::int32_t>(size);
    return rc;
}

long FakeRegistry::RegQueryValueA(RegHandle key, const char* subKey, char* data, std::int32_t* dataSize) {
    if (long rc = enter(RegOp::QueryValue, key, subKey)) return rc;
    return queryDefault(key, subKey, data, dataSize);
}

long FakeRegistry::RegSetValueA(RegHandle key, const char* subKey, std::uint32_t type, const char* data,
                                std::uint32_t /*dataSize*/) {
    if (long rc = enter(RegOp::SetValue, key, subKey)) return rc;
    // Windows ignores the given size and stores the text with its terminator.
    if (type != kRegSz || !data) return kErrorInvalidParameter;
    std::shared_ptr<Key> k;
    if (long rc = resolve(key, k)) return rc;
    if (long rc = openPath(k, subKey, true, k)) return rc;
    if (k->readOnly) return kErrorAccessDenied;
    std::vector<std::uint8_t> bytes(data, data + std::strlen(data) + 1);
    if (Value* v = k->findValue("")) {
        v->type = kRegSz;
        v->data = std::move(bytes);
    } else {
        k->values.push_back({"", kRegSz, std::move(bytes)});
    }
    return kErrorSuccess;
}

long FakeRegistry::RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameSize) {
    if (long rc = enter(RegOp::EnumKey, key, nullptr)) return rc;
    std::shared_ptr<Key> k;
    if (long rc = resolve(key, k)) return rc;
    if (!name) return kErrorInvalidParameter;
    if (index >= k->subKeys.size()) return kErrorNoMoreItems;
    auto it = std::next(k->subKeys.begin(), index);
    const std::string& n = it->second->name;
    if (n.size() + 1 > nameSize) return kErrorMoreData;
    std::memcpy(name, n.c_str(), n.size() + 1);
    return kErrorSuccess;
}

long FakeRegistry::RegEnumValueA(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                                 std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) {
    if (long rc = enter(RegOp::EnumValue, key, nullptr)) return rc;
    std::shared_ptr<Key> k;
    if (long rc = resolve(key, k)) return rc;
    if (!name || !nameSize || (data && !dataSize)) return kErrorInvalidParameter;
    if (index >= k->values.size()) return kErrorNoMoreItems;
    const Value& v = k->values[index];
    if (v.name.size() + 1 > *nameSize) return kErrorMoreData;
    std::memcpy(name, v.name.c_str(), v.name.size() + 1);
    *nameSize = static_cast<std::uint32_t>(v.name.size());
    return readValue(v.data, v.type, type, data, dataSize);
}

long FakeRegistry::RegQueryInfoKeyA(RegHandle key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                                    std::uint32_t* values, std::uint32_t* maxValueNameLen,
                                    std::uint32_t* maxValueLen) {
    if (long rc = enter(RegOp::QueryInfoKey, key, nullptr)) return rc;
    std::shared_ptr<Key> k;
    if (long rc = resolve(key, k)) return rc;
    std::size_t longestKey = 0, longestName = 0, longestData = 0;
    for (const auto& [folded, sub] : k->subKeys) longestKey = std::max(longestKey, sub->name.size());
    for (const auto& v : k->values) {
        longestName = std::max(longestName, v.name.size());
        longestData = std::max(longestData, v.data.size());
    }
    if (subKeys) *subKeys = static_cast<std::uint32_t>(k->subKeys.size());
    if (maxSubKeyLen) *maxSubKeyLen = static_cast<std::uint32_t>(longestKey);
    if (values) *values = static_cast<std::uint32_t>(k->values.size());
    if (maxValueNameLen) *maxValueNameLen = static_cast<std::uint32_t>(longestName);
    if (maxValueLen) *maxValueLen = static_cast<std::uint32_t>(longestData);
    return kErrorSuccess;
}

long FakeRegistry::deleteKey(const std::shared_ptr<Key>& key) {
    // Windows answers a key with subkeys, and a predefined root, with access denied.
    if (key->root || key->readOnly || !key->subKeys.empty()) return kErrorAccessDenied;
    Key* parent = key->parent;
    if (parent->readOnly) return kErrorAccessDenied;
    key->deleted = true;
    key->parent = nullptr;
    parent->subKeys.erase(fold(key->name));
    return kErrorSuccess;
}

long FakeRegistry::RegDeleteKeyA(RegHandle key, const char* subKey) {
    if (long rc = enter(RegOp::DeleteKey, key, subKey)) return rc;
    std::shared_ptr<Key> k;
    if (long rc = resolve(key, k)) return rc;
    if (!subKey) return kErrorInvalidParameter;
    std::shared_ptr<Key> target;
    if (long rc = openPath(k, subKey, false, target)) return rc;
    return deleteKey(target);
}

long FakeRegistry::RegDeleteValueA(RegHandle key, const char* valueName) {
    if (long rc = enter(RegOp::DeleteValue, key, valueName)) return rc;
    std::shared_ptr<Key> k;
    if (long rc = resolve(key, k)) return rc;
    if (k->readOnly) return kErrorAccessDenied;
    const std::string folded = fold(orEmpty(valueName));
    auto it = std::find_if(k->values.begin(), k->values.end(),
                           [&](const Value& v) { return fold(v.name) == folded; });
    if (it == k->values.end()) return kErrorFileNotFound;
    k->values.erase(it);
    return kErrorSuccess;
}

void FakeRegistry::failNext(RegOp op, long code, int times) {
    if (times > 0) pending_.push_back({op, code, times});
}

void FakeRegistry::failWhen(FailureRule rule) { rule_ = std::move(rule); }

void FakeRegistry::makeReadOnly(RegHandle root, std::string_view path) {
    std::shared_ptr<Key> from, key;
    if (resolve(root, from) != kErrorSuccess) return;
    const std::string p(path);
    if (openPath(from, p.c_str(), true, key) == kErrorSuccess) key->readOnly = true;
}

int FakeRegistry::callCount(RegOp op) const {
    auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
}

bool FakeRegistry::keyExists(RegHandle root, std::string_view path) const {
    std::shared_ptr<Key> at;
    if (resolve(root, at) != kErrorSuccess) return false;
    std::string_view rest = path;
    while (!rest.empty()) {
        const auto cut = rest.find('\\');
        const std::string_view part = rest.substr(0, cut);
        rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
        if (part.empty()) continue;
        auto it = at->subKeys.find(fold(part));
        if (it == at->subKeys.end()) return false;
        at = it->second;
    }
    return true;
}

}  // namespace vantora
