// The Registry cases against the real registry. Each case gets the scratch key of
// every root absent and leaves it removed; the port the class sees counts handles,
// so that a handle the class forgets to close fails the case here as on the fake.
#include <iomanip>
#include <set>

#include "accessibility/tests/registry_suite.h"
#include "common/fakes/registry_tree.h"
#include "common/win32/registry_win32.h"

namespace vantora::accessibility::registry_suite {
namespace {

// Passes every call on and keeps the handles opened through it. An open with an
// empty subkey hands back the handle it was given, which is no new handle; closing
// a predefined key, or one not opened here, takes nothing away.
class CountingRegistry : public RegistryPort {
public:
    explicit CountingRegistry(RegistryPort& inner) : inner_(inner) {}

    int openHandleCount() const { return static_cast<int>(open_.size()); }
    int valueWriteCount() const { return valueWrites_; }

    long RegOpenKeyA(RegHandle key, const char* subKey, RegHandle* result) override {
        return opened(key, result, inner_.RegOpenKeyA(key, subKey, result));
    }
    long RegCreateKeyA(RegHandle key, const char* subKey, RegHandle* result) override {
        return opened(key, result, inner_.RegCreateKeyA(key, subKey, result));
    }
    long RegCloseKey(RegHandle key) override {
        const long rc = inner_.RegCloseKey(key);
        if (rc == kErrorSuccess) open_.erase(key);
        return rc;
    }
    long RegQueryValueExA(RegHandle key, const char* valueName, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* dataSize) override {
        return inner_.RegQueryValueExA(key, valueName, type, data, dataSize);
    }
    long RegSetValueExA(RegHandle key, const char* valueName, std::uint32_t type, const std::uint8_t* data,
                        std::uint32_t dataSize) override {
        ++valueWrites_;
        return inner_.RegSetValueExA(key, valueName, type, data, dataSize);
    }
    long RegQueryValueA(RegHandle key, const char* subKey, char* data, std::int32_t* dataSize) override {
        return inner_.RegQueryValueA(key, subKey, data, dataSize);
    }
    long RegSetValueA(RegHandle key, const char* subKey, std::uint32_t type, const char* data,
                      std::uint32_t dataSize) override {
        ++valueWrites_;
        return inner_.RegSetValueA(key, subKey, type, data, dataSize);
    }
    long RegEnumKeyA(RegHandle key, std::uint32_t index, char* name, std::uint32_t nameSize) override {
        return inner_.RegEnumKeyA(key, index, name, nameSize);
    }
    long RegEnumValueA(RegHandle key, std::uint32_t index, char* name, std::uint32_t* nameSize,
                       std::uint32_t* type, std::uint8_t* data, std::uint32_t* dataSize) override {
        return inner_.RegEnumValueA(key, index, name, nameSize, type, data, dataSize);
    }
    long RegQueryInfoKeyA(RegHandle key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen,
                          std::uint32_t* values, std::uint32_t* maxValueNameLen,
                          std::uint32_t* maxValueLen) override {
        return inner_.RegQueryInfoKeyA(key, subKeys, maxSubKeyLen, values, maxValueNameLen, maxValueLen);
    }
    long RegDeleteKeyA(RegHandle key, const char* subKey) override { return inner_.RegDeleteKeyA(key, subKey); }
    long RegDeleteValueA(RegHandle key, const char* valueName) override {
        return inner_.RegDeleteValueA(key, valueName);
    }

private:
    long opened(RegHandle from, const RegHandle* result, long rc) {
        if (rc == kErrorSuccess && result && *result != from) {
            // The registry cannot hand out a handle that is still open.
            EXPECT_TRUE(open_.insert(*result).second) << "handle 0x" << std::hex << *result << " given out twice";
        }
        return rc;
    }

    RegistryPort& inner_;
    std::set<RegHandle> open_;
    int valueWrites_ = 0;
};

class Win32UnderTest : public RegistryUnderTest {
public:
    Win32UnderTest() { removeScratch(); }  // left over from an interrupted run
    ~Win32UnderTest() override {
        removeScratch();
        for (RegHandle root : kRoots) {
            EXPECT_FALSE(keyExists(real_, root, kScratch)) << "scratch key not removed below 0x" << std::hex << root;
        }
    }
    RegistryPort& port() override { return counting_; }
    int openHandleCount() const override { return counting_.openHandleCount(); }
    int valueWriteCount() const override { return counting_.valueWriteCount(); }

private:
    void removeScratch() {
        for (RegHandle root : kRoots) deleteKeyTree(real_, root, kScratch);
    }

    win32::Win32Registry real_;
    CountingRegistry counting_{real_};
};

std::unique_ptr<RegistryUnderTest> makeWin32() { return std::make_unique<Win32UnderTest>(); }

INSTANTIATE_TEST_SUITE_P(Win32, RegistryTest, ::testing::Values(&makeWin32));

}  // namespace
}  // namespace vantora::accessibility::registry_suite
