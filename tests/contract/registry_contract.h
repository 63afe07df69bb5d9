#pragma once
// The behaviour the programs rely on from RegistryPort, as one set of cases that
// runs against every implementation. A new implementation joins by providing a
// target and instantiating RegistryContract with its factory.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "common/ports/registry.h"

namespace vantora::contract {

class RegistryTarget {
public:
    virtual ~RegistryTarget() = default;
    virtual RegistryPort& port() = 0;
    // An open key, empty when the case starts, that the case may fill freely.
    virtual RegHandle scratch() = 0;
    // Handles currently open, where the implementation can tell.
    virtual std::optional<int> openHandles() const { return std::nullopt; }
};

using RegistryTargetFactory = std::unique_ptr<RegistryTarget> (*)();

class RegistryContract : public ::testing::TestWithParam<RegistryTargetFactory> {
protected:
    void SetUp() override;
    void TearDown() override;

    RegistryPort& reg() { return target_->port(); }
    RegHandle scratch() { return target_->scratch(); }

private:
    std::unique_ptr<RegistryTarget> target_;
    std::optional<int> handlesAtStart_;
};

}  // namespace vantora::contract
