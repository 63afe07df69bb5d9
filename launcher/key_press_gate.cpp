#include "launcher/key_press_gate.h"

namespace vantora::launcher {

bool KeyPressGate::admit(int index) {
    if (index < 0 || index >= kKeyCount) return false;
    Key& key = keys_[index];
    if (key.underWay) return false;
    const std::uint32_t at = timing_.messageTime();
    if (key.launched && (timeBefore(at, key.ended) || at - key.pressed < timing_.keyRepeatIntervalMs())) return false;
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
