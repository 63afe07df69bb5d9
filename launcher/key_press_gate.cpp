#include "launcher/key_press_gate.h"

namespace vantora::launcher {

namespace {
// Times on a clock that wraps: `a` lies before `b` when the way from b back to a is short.
bool before(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) < 0; }
}  // namespace

bool KeyPressGate::admit(int index) {
    if (index < 0 || index >= kKeyCount) return false;
    Key& key = keys_[index];
    if (key.underWay) return false;
    const std::uint32_t at = timing_.messageTime();
    if (key.launched && (before(at, key.ended) || at - key.pressed < timing_.keyRepeatIntervalMs())) return false;
    key.underWay = key.launched = true;
    key.pressed = at;
    return true;
}

void KeyPressGate::done(int index) {
    if (index < 0 || index >= kKeyCount) return;
    keys_[index].underWay = false;
    keys_[index].ended = timing_.tickCount();
}

}  // namespace vantora::launcher
