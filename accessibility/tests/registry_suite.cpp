#include "accessibility/tests/registry_suite.h"

// GCC 12 at -O3 takes the vectors inside the case tables below for uninitialised on
// the unwinding path of their initialisers; the tables are fully initialised.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/fakes/registry_tree.h"

namespace vantora::accessibility::registry_suite {

std::string scratch(std::string_view path) {
    std::string out = kScratch;
    if (!path.empty()) out += "\\" + std::string(path);
    return out;
}

std::ostream& operator<<(std::ostream& os, const Raw& raw) {
    os << "{type " << raw.type << ", " << raw.data.size() << " bytes:";
    for (auto b : raw.data) os << ' ' << int(b);
    return os << '}';
}

Bytes text(std::string_view s, bool terminated) {
    Bytes out(s.begin(), s.end());
    if (terminated) out.push_back(0);
    return out;
}

std::string describe(const RegistryVariant& v) {
    std::string out(typeName(v));
    if (auto* s = std::get_if<std::string>(&v)) out += " \"" + *s + "\"";
    if (auto* l = std::get_if<std::int32_t>(&v)) out += " " + std::to_string(*l);
    if (auto* b = std::get_if<Bytes>(&v)) out += " of " + std::to_string(b->size());
    return out;
}

std::optional<Raw> rawValue(RegistryPort& port, RegHandle root, const std::string& path, const std::string& name) {
    ScopedRegKey key = ScopedRegKey::open(port, root, path.c_str());
    if (!key) return std::nullopt;
    std::uint32_t type = 0, size = 0;
    if (port.RegQueryValueExA(key.get(), name.c_str(), &type, nullptr, &size) != kErrorSuccess) return std::nullopt;
    Bytes data(size, 0xCD);
    if (port.RegQueryValueExA(key.get(), name.c_str(), &type, data.data(), &size) != kErrorSuccess)
        return std::nullopt;
    data.resize(size);
    return Raw{type, data};
}

void putRaw(RegistryPort& port, RegHandle root, const std::string& path, const std::string& name, const Raw& raw) {
    ScopedRegKey key = ScopedRegKey::create(port, root, path.c_str());
    ASSERT_TRUE(key) << path;
    ASSERT_EQ(kErrorSuccess, setExactValue(port, key.get(), name.c_str(), raw.type, raw.data))
        << path << " value \"" << name << "\"";
}

bool keyExists(RegistryPort& port, RegHandle root, const std::string& path) {
    return static_cast<bool>(ScopedRegKey::open(port, root, path.c_str()));
}

long createThroughPort(RegistryPort& port, RegHandle root, const std::string& path) {
    RegHandle key = 0;
    const long rc = port.RegCreateKeyA(root, path.c_str(), &key);
    if (rc == kErrorSuccess) port.RegCloseKey(key);
    return rc;
}

void RegistryTest::SetUp() {
    target_ = GetParam()();
    ASSERT_TRUE(target_);
    ASSERT_EQ(0, openHandleCount()) << "a registry under test starts with no handles open";
}

void RegistryTest::TearDown() {
    if (target_) {
        EXPECT_EQ(0, openHandleCount()) << "registry handles left open";
    }
    target_.reset();
}

namespace {

const std::string kKey = scratch("Software\\Vantora\\Test");

TEST_P(RegistryTest, RootKeyName_SelectsByLongOrShortNameIgnoringCase_UnknownLeavesRoot) {
    struct Case {
        const char* from;
        const char* name;
        RegHandle root;
        const char* readBack;
    } cases[] = {
        {"HKLM", "hkcu", kHkeyCurrentUser, "HKCU"},
        {"HKLM", "Hkey_Current_User", kHkeyCurrentUser, "HKCU"},
        {"HKCU", "hklm", kHkeyLocalMachine, "HKLM"},
        {"HKCU", "HKEY_LOCAL_MACHINE", kHkeyLocalMachine, "HKLM"},
        {"HKCU", "hkey_classes_root", kHkeyClassesRoot, "HKCR"},
        {"HKCU", "HKCC", kHkeyCurrentConfig, "HKCC"},
        {"HKCU", "HKEY_USERS", kHkeyUsers, "HKUS"},
        {"HKCU", "hkus", kHkeyUsers, "HKUS"},
        {"HKLM", "HKEY_PERFORMANCE_DATA", kHkeyLocalMachine, "HKLM"},
        {"HKLM", "", kHkeyLocalMachine, "HKLM"},
        {"HKLM", "HKCU ", kHkeyLocalMachine, "HKLM"},
        {"HKUS", "HKEY_CURRENT", kHkeyUsers, "HKUS"},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " then \"" + c.name + "\"");
        Registry r(port());
        r.RootKeyName(c.from);
        r.RootKeyName(c.name);
        EXPECT_EQ(c.readBack, r.RootKeyName());
        const std::string path = scratch("Probe" + std::to_string(n++));
        // Where a root takes no new keys, the class must answer as the registry does.
        const bool accepted = createThroughPort(port(), c.root, kScratch) == kErrorSuccess;
        ASSERT_EQ(accepted, r.CreateKey(path)) << "below root 0x" << std::hex << c.root;
        for (RegHandle root : kRoots) {
            EXPECT_EQ(accepted && root == c.root, keyExists(root, path)) << "below root 0x" << std::hex << root;
        }
    }
}

TEST_P(RegistryTest, RootKeyName_DynDataReachesItsOwnHandle) {
    // NT has no HKEY_DYN_DATA and Wine has one. Either way the class must reach that
    // handle: fail where the registry refuses it, land there (and only there) where not.
    const bool present = createThroughPort(port(), kHkeyDynData, kScratch) == kErrorSuccess;
    Registry r(port());
    r.RootKeyName("hkdd");
    EXPECT_EQ("HKDD", r.RootKeyName());
    const std::string path = scratch("Probe");
    EXPECT_EQ(present, r.CreateKey(path));
    EXPECT_EQ(present, keyExists(kHkeyDynData, path));
    EXPECT_FALSE(keyExists(kHkeyCurrentUser, path));
}

TEST_P(RegistryTest, NewObject_WorksBelowCurrentUser) {
    Registry r(port());
    EXPECT_EQ("HKCU", r.RootKeyName());
    ASSERT_TRUE(r.CreateKey(kKey));
    r.QueryName = "Value";
    r.QueryValue(std::int32_t{5});
    EXPECT_EQ((Raw{kRegDword, {5, 0, 0, 0}}), rawValue(kHkeyCurrentUser, kKey, "Value"));
}

TEST_P(RegistryTest, OpenKeyAndCreateKey_ResetQueryName_AndFailureLeavesNoUsableKey) {
    putRaw(kHkeyCurrentUser, scratch("Exists"), "Old", {kRegDword, {1, 0, 0, 0}});
    struct Case {
        bool create;
        const char* subKey;
        bool result;
    } cases[] = {
        {false, "Exists", true}, {false, "Missing", false}, {true, "Exists", true}, {true, "Fresh", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.create ? "CreateKey " : "OpenKey ") + c.subKey);
        const std::string path = scratch(c.subKey);
        Registry r(port());
        ASSERT_TRUE(r.OpenKey(scratch("Exists")));
        r.QueryName = "Stale";
        EXPECT_EQ(c.result, c.create ? r.CreateKey(path) : r.OpenKey(path));
        EXPECT_EQ("", r.QueryName);
        EXPECT_EQ(c.result, keyExists(kHkeyCurrentUser, path));
        // A write now must reach the new key or nowhere, never the key opened before.
        const std::string name = std::string("Written by ") + (c.create ? "CreateKey " : "OpenKey ") + c.subKey;
        r.QueryName = name;
        r.QueryValue(std::int32_t{7});
        EXPECT_EQ(c.result, rawValue(kHkeyCurrentUser, path, name).has_value());
        if (std::string(c.subKey) != "Exists") {
            EXPECT_EQ(std::nullopt, rawValue(kHkeyCurrentUser, scratch("Exists"), name));
        }
    }
}

TEST_P(RegistryTest, QueryValueWrite_VariantTypeDecidesRegistryType) {
    struct Case {
        const char* what;
        RegistryVariant value;
        std::optional<Raw> stored;
    } cases[] = {
        {"Integer 0", std::int16_t{0}, Raw{kRegDword, {0, 0, 0, 0}}},
        {"Integer -1 widens with sign", std::int16_t{-1}, Raw{kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}}},
        {"Long", std::int32_t{0x12345678}, Raw{kRegDword, {0x78, 0x56, 0x34, 0x12}}},
        {"String abc", std::string("abc"), Raw{kRegSz, text("abc")}},
        {"String literal", RegistryVariant("xy"), Raw{kRegSz, text("xy")}},
        {"empty String", std::string(), Raw{kRegSz, {}}},
        {"Byte()", Bytes{1, 0, 255}, Raw{kRegBinary, {1, 0, 255}}},
        {"empty Byte()", Bytes{}, Raw{kRegBinary, {}}},
        {"Boolean", true, std::nullopt},
        {"Double", 1.5, std::nullopt},
        {"Empty", std::monostate{}, std::nullopt},
    };
    Registry r(port());
    ASSERT_TRUE(r.CreateKey(kKey));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        r.QueryName = c.what;
        r.QueryValue(c.value);
        EXPECT_EQ(c.stored, rawValue(kHkeyCurrentUser, kKey, c.what));
    }
}

TEST_P(RegistryTest, QueryValueRead_RegistryTypeDecidesVariant_UntrustedDataIsSafe) {
    struct Case {
        const char* what;
        std::optional<Raw> stored;
        RegistryVariant expected;
    } cases[] = {
        {"REG_SZ", Raw{kRegSz, text("abc")}, std::string("abc")},
        {"REG_SZ without terminator", Raw{kRegSz, text("abc", false)}, std::string("abc")},
        {"REG_SZ cut at first zero", Raw{kRegSz, {'a', 'b', 0, 'c', 'd', 0}}, std::string("ab")},
        {"REG_SZ length 0", Raw{kRegSz, {}}, std::string()},
        {"REG_SZ long", Raw{kRegSz, text(std::string(5000, 'x'))}, std::string(5000, 'x')},
        {"REG_BINARY", Raw{kRegBinary, {9, 0, 8}}, Bytes{9, 0, 8}},
        {"REG_BINARY empty", Raw{kRegBinary, {}}, Bytes{}},
        {"REG_DWORD", Raw{kRegDword, {0x78, 0x56, 0x34, 0x12}}, std::int32_t{0x12345678}},
        {"REG_DWORD negative", Raw{kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}}, std::int32_t{-2}},
        {"REG_DWORD_BIG_ENDIAN bytes as stored", Raw{kRegDwordBigEndian, {0, 0, 0, 1}}, std::int32_t{0x01000000}},
        {"REG_DWORD of 2 bytes", Raw{kRegDword, {1, 2}}, std::string()},
        {"REG_DWORD of 0 bytes", Raw{kRegDword, {}}, std::string()},
        {"REG_DWORD of 8 bytes", Raw{kRegDword, {1, 0, 0, 0, 2, 0, 0, 0}}, std::string()},
        {"REG_EXPAND_SZ", Raw{kRegExpandSz, text("%PATH%")}, std::string()},
        {"REG_MULTI_SZ", Raw{kRegMultiSz, {'a', 0, 'b', 0, 0}}, std::string()},
        {"REG_NONE", Raw{kRegNone, {1, 2, 3, 4}}, std::string()},
        {"unknown type", Raw{0x7777, {1, 2, 3, 4}}, std::string()},
        {"missing", std::nullopt, std::string()},
    };
    for (const auto& c : cases) {
        if (c.stored) putRaw(kHkeyCurrentUser, kKey, c.what, *c.stored);
    }
    Registry r(port());
    ASSERT_TRUE(r.OpenKey(kKey));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        r.QueryName = c.what;
        const RegistryVariant actual = r.QueryValue();
        EXPECT_EQ(c.expected, actual) << "expected " << describe(c.expected) << ", got " << describe(actual);
    }
}

TEST_P(RegistryTest, DefaultValue_WrittenAsTextAndReadWhole) {
    struct Case {
        const char* what;
        RegistryVariant value;
        std::string readBack;
    } cases[] = {
        {"String", std::string("hello"), "hello"}, {"empty String", std::string(), ""},
        {"Long", std::int32_t{42}, "42"},          {"Integer", std::int16_t{-7}, "-7"},
        {"Boolean", true, ""},                     {"Double", 2.5, ""},
        {"Byte()", Bytes{'h', 'i'}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = kKey + "\\" + c.what;
        Registry r(port());
        ASSERT_TRUE(r.CreateKey(path));
        r.QueryValue(c.value);
        const RegistryVariant actual = r.QueryValue();
        EXPECT_EQ(RegistryVariant(c.readBack), actual) << "got " << describe(actual);
        const std::optional<Raw> expected =
            c.readBack.empty() && !std::holds_alternative<std::string>(c.value) ? std::nullopt
                                                                                : std::optional(Raw{kRegSz, text(c.readBack)});
        EXPECT_EQ(expected, rawValue(kHkeyCurrentUser, path, ""));
    }
}

TEST_P(RegistryTest, DefaultValue_UntrustedContentsReadSafely) {
    struct Case {
        const char* what;
        Raw stored;
        std::string expected;
    } cases[] = {
        {"terminated", {kRegSz, text("abc")}, "abc"},
        {"no terminator keeps last character", {kRegSz, text("abc", false)}, "abc"},
        {"embedded zero", {kRegSz, {'a', 'b', 0, 'c', 0}}, "ab"},
        {"length 0", {kRegSz, {}}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = kKey + "\\" + c.what;
        putRaw(kHkeyCurrentUser, path, "", c.stored);
        Registry r(port());
        ASSERT_TRUE(r.OpenKey(path));
        const RegistryVariant actual = r.QueryValue();
        EXPECT_EQ(RegistryVariant(c.expected), actual) << "got " << describe(actual);
    }
}

TEST_P(RegistryTest, SetDefault_WritesOnlyWhereNoUsableValue_UnlessForced) {
    const Raw written{kRegDword, {9, 0, 0, 0}};
    struct Case {
        const char* what;
        std::optional<Raw> stored;
        bool force;
        bool overwritten;
    } cases[] = {
        {"missing", std::nullopt, false, true},
        {"REG_DWORD kept", Raw{kRegDword, {3, 0, 0, 0}}, false, false},
        {"REG_DWORD forced", Raw{kRegDword, {3, 0, 0, 0}}, true, true},
        {"REG_BINARY always", Raw{kRegBinary, {1, 2}}, false, true},
        {"REG_SZ kept", Raw{kRegSz, text("x")}, false, false},
        {"REG_SZ forced", Raw{kRegSz, text("x")}, true, true},
        {"empty REG_SZ", Raw{kRegSz, {}}, false, true},
        {"REG_EXPAND_SZ", Raw{kRegExpandSz, text("x")}, false, true},
        {"damaged REG_DWORD", Raw{kRegDword, {3}}, false, true},
    };
    for (const auto& c : cases) {
        if (c.stored) putRaw(kHkeyCurrentUser, kKey, c.what, *c.stored);
    }
    Registry r(port());
    ASSERT_TRUE(r.OpenKey(kKey));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        r.QueryName = "Unrelated";
        r.SetDefault(c.what, std::int32_t{9}, c.force);
        EXPECT_EQ("Unrelated", r.QueryName);
        EXPECT_EQ(c.overwritten ? std::optional(written) : c.stored, rawValue(kHkeyCurrentUser, kKey, c.what));
    }
    EXPECT_EQ(std::nullopt, rawValue(kHkeyCurrentUser, kKey, "Unrelated"));
}

TEST_P(RegistryTest, ByteArray_Over32768ElementsThrowsBeforeWriting) {
    struct Case {
        std::size_t size;
        bool throughSetDefault;
        bool throws;
    } cases[] = {{32768, false, false}, {32769, false, true}, {32768, true, false}, {32769, true, true},
                 {100000, false, true}};
    Registry r(port());
    ASSERT_TRUE(r.CreateKey(kKey));
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.size) + (c.throughSetDefault ? " SetDefault" : " QueryValue");
        SCOPED_TRACE(name);
        const int writesBefore = valueWriteCount();
        const Bytes bytes(c.size, 0x5A);
        r.QueryName = c.throughSetDefault ? "Kept" : name;
        auto write = [&] {
            if (c.throughSetDefault)
                r.SetDefault(name, bytes, true);
            else
                r.QueryValue(bytes);
        };
        if (c.throws) {
            EXPECT_THROW(write(), RegistryOverflow);
            EXPECT_EQ(writesBefore, valueWriteCount()) << "no write may be attempted";
            EXPECT_EQ(std::nullopt, rawValue(kHkeyCurrentUser, kKey, name));
        } else {
            EXPECT_NO_THROW(write());
            EXPECT_EQ((Raw{kRegBinary, bytes}), rawValue(kHkeyCurrentUser, kKey, name));
        }
        EXPECT_EQ(c.throughSetDefault ? "Kept" : name, r.QueryName);
    }
}

TEST_P(RegistryTest, DeleteName_RemovesOnlyThatValueAndResetsQueryName) {
    putRaw(kHkeyCurrentUser, kKey, "Gone", {kRegDword, {1, 0, 0, 0}});
    putRaw(kHkeyCurrentUser, kKey, "Stays", {kRegDword, {2, 0, 0, 0}});
    Registry r(port());
    ASSERT_TRUE(r.OpenKey(kKey));
    r.QueryName = "gone";  // names ignore case
    r.DeleteName();
    EXPECT_EQ("", r.QueryName);
    EXPECT_EQ(std::nullopt, rawValue(kHkeyCurrentUser, kKey, "Gone"));
    EXPECT_TRUE(rawValue(kHkeyCurrentUser, kKey, "Stays"));
}

TEST_P(RegistryTest, DeleteKey_RemovesLeaf_RefusesKeyWithSubkeys_ClosesEitherWay) {
    struct Case {
        const char* what;
        bool withSubKey;
    } cases[] = {{"leaf", false}, {"with subkey", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = kKey + "\\" + c.what;
        putRaw(kHkeyCurrentUser, path, "V", {kRegDword, {1, 0, 0, 0}});
        if (c.withSubKey) putRaw(kHkeyCurrentUser, path + "\\Child", "V", {kRegDword, {1, 0, 0, 0}});
        Registry r(port());
        ASSERT_TRUE(r.OpenKey(path));
        r.QueryName = "V";
        r.DeleteKey();
        EXPECT_EQ("", r.QueryName);
        EXPECT_EQ(0, openHandleCount()) << "current key still open";
        EXPECT_EQ(c.withSubKey, keyExists(kHkeyCurrentUser, path));
        // No key is current any more: a write goes nowhere.
        r.QueryName = "After";
        r.QueryValue(std::int32_t{1});
        EXPECT_EQ(std::nullopt, rawValue(kHkeyCurrentUser, path, "After"));
    }
}

TEST_P(RegistryTest, DeleteTree_RemovesNestedKeysAndValues_KeepsSiblingsAndRoot) {
    for (const char* path : {"Tree", "Tree\\A", "Tree\\A\\Deep\\Deeper", "Tree\\B", "TreeSibling"}) {
        putRaw(kHkeyLocalMachine, scratch(path), "V", {kRegSz, text(path)});
    }
    Registry r(port());
    r.DeleteTree("hklm", scratch("Tree"));
    EXPECT_FALSE(keyExists(kHkeyLocalMachine, scratch("Tree")));
    EXPECT_TRUE(keyExists(kHkeyLocalMachine, scratch("TreeSibling")));
    EXPECT_EQ("HKCU", r.RootKeyName());
    ASSERT_TRUE(r.CreateKey(scratch("AfterTree")));
    EXPECT_TRUE(keyExists(kHkeyCurrentUser, scratch("AfterTree"))) << "root not restored";
}

TEST_P(RegistryTest, CopyTree_CopiesEachValueTypeAndNestedSubkeys_RestoresRoot) {
    const Raw big{kRegBinary, Bytes(70000, 0x11)};
    struct Value {
        const char* path;
        const char* name;
        Raw stored;
        std::optional<Raw> copied;
    };
    const std::vector<Value> values = {
        {"", "Text", {kRegSz, text("abc")}, Raw{kRegSz, text("abc")}},
        {"", "Unterminated", {kRegSz, text("abc", false)}, Raw{kRegSz, text("abc")}},
        {"", "EmptyText", {kRegSz, {}}, Raw{kRegSz, {}}},
        {"", "Bin", {kRegBinary, {0, 1, 2}}, Raw{kRegBinary, {0, 1, 2}}},
        {"", "Big", big, big},
        {"", "Dword", {kRegDword, {1, 2, 3, 4}}, Raw{kRegDword, {1, 2, 3, 4}}},
        {"", "BigEndian", {kRegDwordBigEndian, {0, 0, 0, 5}}, Raw{kRegDwordBigEndian, {0, 0, 0, 5}}},
        {"", "ShortDword", {kRegDword, {1}}, std::nullopt},
        {"", "Expand", {kRegExpandSz, text("%X%")}, std::nullopt},
        {"", "Multi", {kRegMultiSz, {'a', 0, 0}}, std::nullopt},
        {"", "", {kRegSz, text("default")}, Raw{kRegSz, text("default")}},
        {"\\Sub", "Inner", {kRegDword, {7, 0, 0, 0}}, Raw{kRegDword, {7, 0, 0, 0}}},
        {"\\Sub\\Deeper", "", {kRegSz, text("deep")}, Raw{kRegSz, text("deep")}},
        {"\\Other", "X", {kRegSz, text("x")}, Raw{kRegSz, text("x")}},
        {"\\Sub\\Deeper\\Leaf", "L", {kRegBinary, {}}, Raw{kRegBinary, {}}},
    };
    const std::string longName(300, 'v');
    const std::string source = scratch("Src"), copy = scratch("Dst\\Copy");
    putRaw(kHkeyLocalMachine, source, longName, {kRegDword, {8, 0, 0, 0}});
    for (const auto& v : values) putRaw(kHkeyLocalMachine, source + v.path, v.name, v.stored);

    Registry r(port());
    r.RootKeyName("HKUS");
    r.CopyTree("HKLM", source, "hkcu", copy);
    EXPECT_EQ("HKUS", r.RootKeyName());
    for (const auto& v : values) {
        SCOPED_TRACE(std::string(v.path) + " value \"" + v.name + "\"");
        EXPECT_EQ(v.copied, rawValue(kHkeyCurrentUser, copy + v.path, v.name));
    }
    EXPECT_EQ((Raw{kRegDword, {8, 0, 0, 0}}), rawValue(kHkeyCurrentUser, copy, longName))
        << "value name longer than 255 characters";
    EXPECT_TRUE(keyExists(kHkeyLocalMachine, source + "\\Sub\\Deeper\\Leaf")) << "source must survive";
    ASSERT_TRUE(r.CreateKey(scratch("AfterCopy")));
    EXPECT_TRUE(keyExists(kHkeyUsers, scratch("AfterCopy"))) << "root not restored";
}

TEST_P(RegistryTest, CopyTree_IntoItselfOrBelowItselfIsRefused) {
    putRaw(kHkeyCurrentUser, scratch("Src\\Child"), "V", {kRegDword, {1, 0, 0, 0}});
    // The targets spell the scratch key in another case, and with doubled and
    // trailing backslashes, as the same key.
    struct Case {
        const char* sourceRoot;
        const char* source;
        const char* targetRoot;
        const char* target;
        const char* mustNotExist;
    } cases[] = {
        {"HKCU", "Src", "hkey_current_user", "VANTORAREGISTRYTEST\\src\\Inner", "Src\\Inner"},
        {"HKCU", "Src\\", "HKCU", "vantoraregistrytest\\\\SRC\\\\Child\\Copy", "Src\\Child\\Copy"},
        {"HKCU", "", "HKCU", "VantoraRegistryTest\\Anywhere", "Anywhere"},
    };
    Registry r(port());
    for (const auto& c : cases) {
        SCOPED_TRACE(scratch(c.source) + " -> " + c.target);
        r.CopyTree(c.sourceRoot, scratch(c.source), c.targetRoot, c.target);
        EXPECT_FALSE(keyExists(kHkeyCurrentUser, scratch(c.mustNotExist)));
    }
    // Same names under different roots are different keys.
    r.CopyTree("HKCU", scratch("Src"), "HKLM", scratch("Src\\Inner"));
    EXPECT_TRUE(rawValue(kHkeyLocalMachine, scratch("Src\\Inner\\Child"), "V"));
}

TEST_P(RegistryTest, Destruction_ClosesCurrentKey) {
    {
        Registry r(port());
        ASSERT_TRUE(r.CreateKey(kKey));
        ASSERT_TRUE(r.OpenKey(kKey));  // reopening closes the first handle
        EXPECT_EQ(1, openHandleCount());
    }
    EXPECT_EQ(0, openHandleCount());
}

}  // namespace
}  // namespace vantora::accessibility::registry_suite
