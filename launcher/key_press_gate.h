#pragma once
// Any process may post the Fn-key message, and each one it admits may start a program
// and hold the window for a while. A key launches at most once per key-repeat interval
// (no keyboard repeats a key faster), and a message that arrives while that key's
// launch is under way, or that was posted meanwhile and waited in the queue, is dropped.
#include <array>
#include <cstdint>

#include "common/ports/input_timing.h"
#include "launcher/key_table.h"

namespace vantora::launcher {

// Times on the message clock, which wraps: `a` lies before `b` when the way from b back to
// a is short.
inline bool timeBefore(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) < 0; }

class KeyPressGate {
public:
    explicit KeyPressGate(InputTimingPort& timing) : timing_(timing) {}

    // True when the press of key `index` that is being handled is to launch; the caller
    // then launches and calls done() with the same index, also when the launch fails.
    bool admit(int index);
    void done(int index);

private:
    struct Key {
        bool underWay = false, launched = false;
        std::uint32_t pressed = 0, ended = 0;
    };
    InputTimingPort& timing_;
    std::array<Key, kKeyCount> keys_{};
};

}  // namespace vantora::launcher
