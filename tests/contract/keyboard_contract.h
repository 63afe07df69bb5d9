#pragma once
// The behaviour the password utility relies on from KeyboardPort on a US layout, the
// one Wine reports, as one set of cases for the fake and for user32.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "common/ports/keyboard.h"

namespace vantora::contract {

class KeyboardTarget {
public:
    virtual ~KeyboardTarget() = default;
    virtual KeyboardPort& port() = 0;
    // Puts these bytes on the clipboard as text (they may hold a zero byte), or
    // empties it; false when the clipboard could not be set.
    virtual bool putClipboard(const std::optional<std::string>& bytes) = 0;
};

using KeyboardTargetFactory = std::unique_ptr<KeyboardTarget> (*)();

class KeyboardContract : public ::testing::TestWithParam<KeyboardTargetFactory> {
protected:
    void SetUp() override { target_ = GetParam()(); }
    KeyboardPort& keyboard() { return target_->port(); }
    bool putClipboard(const std::optional<std::string>& bytes) { return target_->putClipboard(bytes); }

private:
    std::unique_ptr<KeyboardTarget> target_;
};

}  // namespace vantora::contract
