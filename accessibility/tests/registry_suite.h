#pragma once
// The Registry class's behaviour, as one set of cases that runs against the
// in-memory registry and, in the Win32 builds, against the real one. A registry
// joins by providing a RegistryUnderTest and instantiating RegistryTest with its
// factory.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "accessibility/registry_access.h"
#include "common/ports/registry.h"

namespace vantora::accessibility::registry_suite {

using Bytes = std::vector<std::uint8_t>;

// Every case works below this key of each root, which the registry under test
// hands over absent or empty and removes again after the case.
inline constexpr const char* kScratch = "VantoraRegistryTest";

// The predefined roots the cases write below, HKEY_DYN_DATA included: whether it
// exists is the registry's business, and the class must follow either way.
inline constexpr RegHandle kRoots[] = {kHkeyCurrentUser, kHkeyLocalMachine, kHkeyClassesRoot,
                                       kHkeyUsers,       kHkeyCurrentConfig, kHkeyDynData};

// path below the scratch key, e.g. "VantoraRegistryTest\Software\Vantora".
std::string scratch(std::string_view path);

class RegistryUnderTest {
public:
    virtual ~RegistryUnderTest() = default;
    virtual RegistryPort& port() = 0;
    // Handles opened through port() and not yet closed.
    virtual int openHandleCount() const = 0;
    // RegSetValueExA and RegSetValueA calls made through port(), failed ones included.
    virtual int valueWriteCount() const = 0;
};

using RegistryFactory = std::unique_ptr<RegistryUnderTest> (*)();

struct Raw {
    std::uint32_t type = kRegNone;
    Bytes data;
    bool operator==(const Raw&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Raw& raw);

Bytes text(std::string_view s, bool terminated = true);
std::string describe(const RegistryVariant& v);

// Reads and writes behind the class's back, straight through the port.
std::optional<Raw> rawValue(RegistryPort& port, RegHandle root, const std::string& path, const std::string& name);
// Stores exactly raw.data: the real registry would count a terminator the caller
// left out of a string when the byte after the data happens to be zero.
void putRaw(RegistryPort& port, RegHandle root, const std::string& path, const std::string& name, const Raw& raw);
// Opens and closes root\path through the port.
bool keyExists(RegistryPort& port, RegHandle root, const std::string& path);
// What the port itself answers to creating root\path (the key is closed again).
long createThroughPort(RegistryPort& port, RegHandle root, const std::string& path);

class RegistryTest : public ::testing::TestWithParam<RegistryFactory> {
protected:
    void SetUp() override;
    // Every case destroys its Registry objects before this runs.
    void TearDown() override;

    RegistryPort& port() { return target_->port(); }
    int openHandleCount() const { return target_->openHandleCount(); }
    int valueWriteCount() const { return target_->valueWriteCount(); }
    bool keyExists(RegHandle root, const std::string& path) { return registry_suite::keyExists(port(), root, path); }
    std::optional<Raw> rawValue(RegHandle root, const std::string& path, const std::string& name) {
        return registry_suite::rawValue(port(), root, path, name);
    }
    void putRaw(RegHandle root, const std::string& path, const std::string& name, const Raw& raw) {
        registry_suite::putRaw(port(), root, path, name, raw);
    }

private:
    std::unique_ptr<RegistryUnderTest> target_;
};

}  // namespace vantora::accessibility::registry_suite
