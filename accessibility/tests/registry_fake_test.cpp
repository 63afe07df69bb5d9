// The Registry cases against the in-memory registry, and the cases that only the
// fake can run: those that make the registry fail on purpose, and those that aim the
// class at a whole root, where a fault would wipe a real hive.
#include <string>
#include <tuple>

#include "accessibility/tests/registry_suite.h"
#include "common/fakes/fake_registry.h"

namespace vantora::accessibility::registry_suite {
namespace {

class FakeUnderTest : public RegistryUnderTest {
public:
    RegistryPort& port() override { return fake_; }
    int openHandleCount() const override { return fake_.openHandleCount(); }
    int valueWriteCount() const override {
        return fake_.callCount(RegOp::SetValueEx) + fake_.callCount(RegOp::SetValue);
    }

private:
    FakeRegistry fake_;
};

std::unique_ptr<RegistryUnderTest> makeFake() { return std::make_unique<FakeUnderTest>(); }

INSTANTIATE_TEST_SUITE_P(Fake, RegistryTest, ::testing::Values(&makeFake));

class RegistryOnFakeOnly : public ::testing::Test {
protected:
    // Every test destroys its Registry objects before this runs.
    void TearDown() override { EXPECT_EQ(0, fake.openHandleCount()) << "registry handles left open"; }
    FakeRegistry fake;
};

const char* const kKey = "Software\\Vantora\\Test";

TEST_F(RegistryOnFakeOnly, QueryValueRead_FailedProbeOrChangedValueGivesEmptyText) {
    putRaw(fake, kHkeyCurrentUser, kKey, "Text", {kRegSz, text("abc")});
    putRaw(fake, kHkeyCurrentUser, kKey, "Bin", {kRegBinary, {1, 2, 3}});
    // failingCall 1 is the size probe; 2 is the read, failing as if the value grew in between.
    const std::tuple<const char*, int, long> cases[] = {
        {"Text", 1, kErrorAccessDenied}, {"Text", 2, kErrorMoreData}, {"Bin", 2, kErrorMoreData}};
    Registry r(fake);
    ASSERT_TRUE(r.OpenKey(kKey));
    for (const auto& [name, failingCall, code] : cases) {
        SCOPED_TRACE(std::string(name) + " failing call " + std::to_string(failingCall));
        int calls = 0;
        fake.failWhen([&, failingCall = failingCall, code = code](const FakeRegistry::Call& call) {
            return call.op == RegOp::QueryValueEx && ++calls == failingCall ? code : kErrorSuccess;
        });
        r.QueryName = name;
        const RegistryVariant actual = r.QueryValue();
        EXPECT_EQ(RegistryVariant(std::string()), actual) << "got " << describe(actual);
    }
    fake.failWhen({});
}

TEST_F(RegistryOnFakeOnly, DeleteTree_NameThatAddressesTheRootItselfDeletesNothing) {
    putRaw(fake, kHkeyCurrentUser, "Software\\Keep", "V", {kRegDword, {1, 0, 0, 0}});
    Registry r(fake);
    for (const char* name : {"", "\\", "\\\\", "Missing"}) {
        SCOPED_TRACE(std::string("\"") + name + "\"");
        r.DeleteTree("HKCU", name);
        EXPECT_TRUE(fake.keyExists(kHkeyCurrentUser, "Software\\Keep"));
    }
}

TEST_F(RegistryOnFakeOnly, CopyTree_OfAWholeRootIsRefused) {
    // The root holds the target too, so copying it would copy its own copy.
    putRaw(fake, kHkeyCurrentUser, "Src\\Child", "V", {kRegDword, {1, 0, 0, 0}});
    Registry r(fake);
    r.CopyTree("HKCU", "", "HKCU", "Anywhere");
    EXPECT_FALSE(fake.keyExists(kHkeyCurrentUser, "Anywhere"));
    EXPECT_FALSE(fake.keyExists(kHkeyCurrentUser, "Anywhere\\Src"));
}

}  // namespace
}  // namespace vantora::accessibility::registry_suite
