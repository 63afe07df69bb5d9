// The contract run against the real registry, in a scratch key of the current
// user that each case gets fresh and leaves removed.
#include <string>
#include <vector>

#include "common/win32/win32_registry.h"
#include "tests/contract/registry_contract.h"

namespace vantora::contract {
namespace {

constexpr const char* kTestRoot = "Software\\VantoraContractTest";

// Removes a key with everything below it, depth first: RegDeleteKeyA refuses
// keys that still have subkeys.
void deleteTree(RegistryPort& reg, RegHandle parent, const std::string& name) {
    RegHandle key = 0;
    if (reg.RegOpenKeyA(parent, name.c_str(), &key) != kErrorSuccess) return;
    std::vector<std::string> children;
    char child[256];
    for (std::uint32_t i = 0; reg.RegEnumKeyA(key, i, child, sizeof child) == kErrorSuccess; ++i) {
        children.emplace_back(child);
    }
    for (const auto& c : children) deleteTree(reg, key, c);
    reg.RegCloseKey(key);
    reg.RegDeleteKeyA(parent, name.c_str());
}

class Win32Target : public RegistryTarget {
public:
    Win32Target() {
        deleteTree(reg_, kHkeyCurrentUser, kTestRoot);  // left over from an interrupted run
        const std::string path = std::string(kTestRoot) + "\\Case";
        EXPECT_EQ(kErrorSuccess, reg_.RegCreateKeyA(kHkeyCurrentUser, path.c_str(), &scratch_));
    }
    ~Win32Target() override {
        if (scratch_) reg_.RegCloseKey(scratch_);
        deleteTree(reg_, kHkeyCurrentUser, kTestRoot);
        RegHandle gone = 0;
        EXPECT_EQ(kErrorFileNotFound, reg_.RegOpenKeyA(kHkeyCurrentUser, kTestRoot, &gone))
            << "scratch key not removed";
        if (gone) reg_.RegCloseKey(gone);
    }
    RegistryPort& port() override { return reg_; }
    RegHandle scratch() override { return scratch_; }

private:
    Win32Registry reg_;
    RegHandle scratch_ = 0;
};

std::unique_ptr<RegistryTarget> makeWin32() { return std::make_unique<Win32Target>(); }

INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract, ::testing::Values(&makeWin32));

}  // namespace
}  // namespace vantora::contract
