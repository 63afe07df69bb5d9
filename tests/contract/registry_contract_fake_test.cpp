// The contract run against the in-memory registry, and the fake's own test
// controls, which the contract cannot see.
#include <cstring>

#include "common/fakes/fake_registry.h"
#include "tests/contract/registry_contract.h"

namespace vantora::contract {
namespace {

constexpr const char* kScratchPath = "Software\\VantoraContractTest\\Case";

class FakeTarget : public RegistryTarget {
public:
    FakeTarget() { EXPECT_EQ(kErrorSuccess, fake_.RegCreateKeyA(kHkeyCurrentUser, kScratchPath, &scratch_)); }
    ~FakeTarget() override { fake_.RegCloseKey(scratch_); }
    RegistryPort& port() override { return fake_; }
    RegHandle scratch() override { return scratch_; }
    std::optional<int> openHandles() const override { return fake_.openHandleCount(); }

private:
    FakeRegistry fake_;
    RegHandle scratch_ = 0;
};

std::unique_ptr<RegistryTarget> makeFake() { return std::make_unique<FakeTarget>(); }

INSTANTIATE_TEST_SUITE_P(Fake, RegistryContract, ::testing::Values(&makeFake));

TEST(FakeRegistry, PredefinedRoots_AreSeparateTrees_AndDynDataIsAbsent) {
    FakeRegistry reg;
    const RegHandle roots[] = {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers,
                               kHkeyCurrentConfig};
    for (RegHandle root : roots) {
        RegHandle h = 0;
        ASSERT_EQ(kErrorSuccess, reg.RegCreateKeyA(root, "Only", &h)) << std::hex << root;
        const std::uint8_t v[4] = {static_cast<std::uint8_t>(root & 0xFF)};
        ASSERT_EQ(kErrorSuccess, reg.RegSetValueExA(h, "Root", kRegDword, v, 4));
        EXPECT_EQ(kErrorSuccess, reg.RegCloseKey(h));
        EXPECT_EQ(kErrorSuccess, reg.RegCloseKey(root)) << "closing a predefined key is allowed";
    }
    for (RegHandle root : roots) {
        ScopedRegKey k = ScopedRegKey::open(reg, root, "Only");
        ASSERT_TRUE(k);
        std::uint8_t v[4] = {0xCC, 0xCC, 0xCC, 0xCC};
        std::uint32_t size = 4;
        ASSERT_EQ(kErrorSuccess, reg.RegQueryValueExA(k.get(), "Root", nullptr, v, &size));
        EXPECT_EQ(root & 0xFF, v[0]) << std::hex << root;
    }
    RegHandle h = 0xEEEEEEEE;
    EXPECT_EQ(kErrorInvalidHandle, reg.RegCreateKeyA(kHkeyDynData, "X", &h));
    EXPECT_EQ(0xEEEEEEEEu, h) << "a failed call leaves its out-parameter alone";
    EXPECT_EQ(kErrorAccessDenied, reg.RegDeleteKeyA(kHkeyUsers, "")) << "a root cannot be deleted";
    EXPECT_EQ(0, reg.openHandleCount());
}

// Windows would count a terminator the caller left out when the byte after the
// counted ones is zero; the fake stores what it was told, so a wrong length shows.
TEST(FakeRegistry, SetValue_StoresExactlyTheCountedBytes_EvenWhenATerminatorFollows) {
    FakeRegistry reg;
    const std::uint8_t text[] = {'a', 'b', 'c', 0, 'Z'};
    ASSERT_EQ(kErrorSuccess, reg.RegSetValueExA(kHkeyCurrentUser, "V", kRegSz, text, 3));
    std::uint8_t out[8];
    std::memset(out, 0xCC, sizeof out);
    std::uint32_t size = 3;  // exactly the stored size: no room for the terminator NT adds
    ASSERT_EQ(kErrorSuccess, reg.RegQueryValueExA(kHkeyCurrentUser, "V", nullptr, out, &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(0, std::memcmp(out, "abc", 3));
    EXPECT_EQ(0xCC, out[3]) << "no terminator may be written past the given buffer";
    EXPECT_EQ(kErrorNoAccess, reg.RegSetValueExA(kHkeyCurrentUser, "V", kRegSz, nullptr, 3));
}

TEST(FakeRegistry, OpenHandleCount_FollowsOpensAndCloses_AndHandlesAreNeverReused) {
    FakeRegistry reg;
    RegHandle a = 0, b = 0, c = 0;
    ASSERT_EQ(kErrorSuccess, reg.RegCreateKeyA(kHkeyCurrentUser, "K", &a));
    ASSERT_EQ(kErrorSuccess, reg.RegOpenKeyA(kHkeyCurrentUser, "k", &b));
    EXPECT_EQ(2, reg.openHandleCount());
    RegHandle same = 0;
    ASSERT_EQ(kErrorSuccess, reg.RegOpenKeyA(a, "", &same));
    EXPECT_EQ(2, reg.openHandleCount()) << "an empty subkey opens nothing new";
    EXPECT_EQ(kErrorSuccess, reg.RegCloseKey(a));
    EXPECT_EQ(kErrorInvalidHandle, reg.RegCloseKey(a)) << "second close";
    ASSERT_EQ(kErrorSuccess, reg.RegOpenKeyA(kHkeyCurrentUser, "K", &c));
    EXPECT_NE(a, c);
    EXPECT_NE(b, c);
    EXPECT_EQ(2, reg.openHandleCount());
    reg.RegCloseKey(b);
    reg.RegCloseKey(c);
    EXPECT_EQ(0, reg.openHandleCount());
}

TEST(FakeRegistry, FailNext_FailsOnlyTheChosenOperation_ForTheGivenNumberOfCalls) {
    FakeRegistry reg;
    reg.failNext(RegOp::CreateKey, kErrorAccessDenied, 2);
    reg.failNext(RegOp::QueryValueEx, kErrorMoreData);
    RegHandle h = 0;
    EXPECT_EQ(kErrorAccessDenied, reg.RegCreateKeyA(kHkeyCurrentUser, "K", &h));
    EXPECT_EQ(kErrorAccessDenied, reg.RegCreateKeyA(kHkeyCurrentUser, "K", &h));
    EXPECT_FALSE(reg.keyExists(kHkeyCurrentUser, "K")) << "a failed call must change nothing";
    ASSERT_EQ(kErrorSuccess, reg.RegCreateKeyA(kHkeyCurrentUser, "K", &h));
    const std::uint8_t v[2] = {'1', 0};
    ASSERT_EQ(kErrorSuccess, reg.RegSetValueExA(h, "V", kRegSz, v, 2));
    std::uint32_t size = 0;
    EXPECT_EQ(kErrorMoreData, reg.RegQueryValueExA(h, "V", nullptr, nullptr, &size));
    EXPECT_EQ(0u, size) << "an injected failure must not fill out-parameters";
    EXPECT_EQ(kErrorSuccess, reg.RegQueryValueExA(h, "V", nullptr, nullptr, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ(3, reg.callCount(RegOp::CreateKey));
    EXPECT_EQ(2, reg.callCount(RegOp::QueryValueEx));
    reg.RegCloseKey(h);
}

TEST(FakeRegistry, FailWhen_SeesTheKeyPathAndName) {
    FakeRegistry reg;
    std::vector<std::string> seen;
    reg.failWhen([&](const FakeRegistry::Call& call) -> long {
        if (call.op != RegOp::SetValueEx) return kErrorSuccess;
        seen.push_back(call.keyPath + "|" + call.name);
        return call.name == "Blocked" ? kErrorAccessDenied : kErrorSuccess;
    });
    ScopedRegKey k = ScopedRegKey::create(reg, kHkeyLocalMachine, "Software\\Vantora");
    ASSERT_TRUE(k);
    const std::uint8_t v[4] = {};
    EXPECT_EQ(kErrorAccessDenied, reg.RegSetValueExA(k.get(), "Blocked", kRegDword, v, 4));
    EXPECT_EQ(kErrorSuccess, reg.RegSetValueExA(k.get(), "Free", kRegDword, v, 4));
    const std::vector<std::string> expected{"HKEY_LOCAL_MACHINE\\Software\\Vantora|Blocked",
                                            "HKEY_LOCAL_MACHINE\\Software\\Vantora|Free"};
    EXPECT_EQ(expected, seen);
    std::uint32_t values = 0;
    reg.RegQueryInfoKeyA(k.get(), nullptr, nullptr, &values, nullptr, nullptr);
    EXPECT_EQ(1u, values);
}

TEST(FakeRegistry, ReadOnlyKey_RefusesNewSubkeysAndWrites_ButOpensWhatExists) {
    FakeRegistry reg;
    RegHandle h = 0;
    ASSERT_EQ(kErrorSuccess, reg.RegCreateKeyA(kHkeyCurrentUser, "Software\\Policies\\Existing", &h));
    reg.RegCloseKey(h);
    reg.makeReadOnly(kHkeyCurrentUser, "Software\\Policies");

    struct Case {
        const char* path;
        long expected;
    } cases[] = {
        {"Software\\Policies\\Probe", kErrorAccessDenied},
        {"Software\\Policies\\New\\Deeper", kErrorAccessDenied},
        {"software\\policies\\existing", kErrorSuccess},
        {"Software\\Policies\\Existing\\Below", kErrorSuccess},  // rights are per key here
        {"Software\\Elsewhere", kErrorSuccess},
    };
    for (const auto& c : cases) {
        RegHandle k = 0xEEEEEEEE;
        EXPECT_EQ(c.expected, reg.RegCreateKeyA(kHkeyCurrentUser, c.path, &k)) << c.path;
        if (c.expected == kErrorSuccess) {
            reg.RegCloseKey(k);
        } else {
            EXPECT_EQ(0xEEEEEEEEu, k) << c.path;
        }
    }
    EXPECT_FALSE(reg.keyExists(kHkeyCurrentUser, "Software\\Policies\\New"));

    ScopedRegKey p = ScopedRegKey::open(reg, kHkeyCurrentUser, "Software\\Policies");
    ASSERT_TRUE(p);
    const std::uint8_t v[4] = {};
    EXPECT_EQ(kErrorAccessDenied, reg.RegSetValueExA(p.get(), "V", kRegDword, v, 4));
    EXPECT_EQ(kErrorAccessDenied, reg.RegSetValueA(p.get(), nullptr, kRegSz, "x", 2));
    p.reset();
    reg.makeReadOnly(kHkeyCurrentUser, "Software\\Locked");
    EXPECT_EQ(kErrorAccessDenied, reg.RegDeleteKeyA(kHkeyCurrentUser, "Software\\Locked"));
    EXPECT_TRUE(reg.keyExists(kHkeyCurrentUser, "Software\\Locked"));
    EXPECT_EQ(0, reg.openHandleCount());
}

}  // namespace
}  // namespace vantora::contract
