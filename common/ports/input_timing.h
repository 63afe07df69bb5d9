#pragma once
// When a window message was sent, and how fast the keyboard repeats a held key: what
// tells a key press from a flood of messages that any process may post.
#include <cstdint>

namespace vantora {

class InputTimingPort {
public:
    virtual ~InputTimingPort() = default;
    // Now, in milliseconds on the clock that stamps posted messages, which wraps around
    // after about 49.7 days. (The system's tick count may run a few milliseconds ahead of
    // it: a message posted just after a tick count was taken may carry an earlier time.)
    virtual std::uint32_t tickCount() = 0;
    // On the same clock: when the message being handled was posted, or now for one sent.
    virtual std::uint32_t messageTime() = 0;
    // The time between two repeats of a held key, as the user set the keyboard.
    virtual std::uint32_t keyRepeatIntervalMs() = 0;
};

}  // namespace vantora
