#pragma once
// A clock that moves only when a test moves it.
#include <cstdint>

#include "common/ports/input_timing.h"

namespace vantora::testing {

struct FakeInputTiming : InputTimingPort {
    std::uint32_t now = 1000;
    // Unset: the message is taken as sent now.
    std::uint32_t posted = 0;
    bool hasPosted = false;
    std::uint32_t repeatMs = 33;

    std::uint32_t tickCount() override { return now; }
    std::uint32_t messageTime() override { return hasPosted ? posted : now; }
    std::uint32_t keyRepeatIntervalMs() override { return repeatMs; }
    void postedAt(std::uint32_t t) {
        posted = t;
        hasPosted = true;
    }
};

}  // namespace vantora::testing
