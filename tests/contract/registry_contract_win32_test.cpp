// The contract run against the real registry, in a scratch key of the current
// user that each case gets fresh and leaves removed.
#include <string>

#include "common/fakes/registry_tree.h"
#include "common/win32/registry_win32.h"
#include "tests/contract/registry_contract.h"

namespace vantora::contract {
namespace {

constexpr const char* kTestRoot = "Software\\VantoraContractTest";

class Win32Target : public RegistryTarget {
public:
    Win32Target() {
        deleteKeyTree(reg_, kHkeyCurrentUser, kTestRoot);  // left over from an interrupted run
        const std::string path = std::string(kTestRoot) + "\\Case";
        EXPECT_EQ(kErrorSuccess, reg_.RegCreateKeyA(kHkeyCurrentUser, path.c_str(), &scratch_));
    }
    ~Win32Target() override {
        if (scratch_) reg_.RegCloseKey(scratch_);
        deleteKeyTree(reg_, kHkeyCurrentUser, kTestRoot);
        RegHandle gone = 0;
        EXPECT_EQ(kErrorFileNotFound, reg_.RegOpenKeyA(kHkeyCurrentUser, kTestRoot, &gone))
            << "scratch key not removed";
        if (gone) reg_.RegCloseKey(gone);
    }
    RegistryPort& port() override { return reg_; }
    RegHandle scratch() override { return scratch_; }

private:
    win32::Win32Registry reg_;
    RegHandle scratch_ = 0;
};

std::unique_ptr<RegistryTarget> makeWin32() { return std::make_unique<Win32Target>(); }

INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract, ::testing::Values(&makeWin32));

}  // namespace
}  // namespace vantora::contract
