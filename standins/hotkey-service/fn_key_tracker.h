#pragma once
// Turns the key events a low-level keyboard hook sees into Fn+key presses, with one
// ordinary key playing Fn. Portable: the hook feeds it events and carries out the
// verdicts, so every rule here is tested without a keyboard.
#include <cstdint>
#include <optional>
#include <set>

namespace vantora::hotkey {

struct FnSettings {
    std::uint32_t fnKey = 0;      // virtual-key code playing Fn; 0: none
    std::uint32_t stickyKey = 0;  // the StickyKey bit field
    std::uint32_t idleTime = 0;   // the IdleTime index
    std::uint32_t idleUnitMs = 60000;
};

// How long an armed sticky Fn lasts without a key, in ms; 0 when it never expires.
std::uint32_t idleReleaseMs(const FnSettings& settings);

struct KeyVerdict {
    bool swallow = false;                 // keep the event from every program
    std::optional<std::uint32_t> fnScan;  // an Fn+key press to deliver: the key's scan code
};

class FnKeyTracker {
public:
    void configure(const FnSettings& settings);
    KeyVerdict onKey(std::uint32_t vk, std::uint32_t scan, bool down, std::uint32_t timeMs);
    bool armed() const { return armed_; }

private:
    bool expired(std::uint32_t timeMs) const;

    FnSettings settings_;
    bool fnHeld_ = false;
    bool usedWhileHeld_ = false;
    bool armed_ = false;
    std::uint32_t armedAt_ = 0;
    std::set<std::uint32_t> taken_;  // keys turned into Fn presses, until they come up
};

}  // namespace vantora::hotkey
