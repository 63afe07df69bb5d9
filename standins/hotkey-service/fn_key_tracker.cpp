#include "standins/hotkey-service/fn_key_tracker.h"

#include "standins/hotkey-service/hotkey_service_protocol.h"

namespace vantora::hotkey {

std::uint32_t idleReleaseMs(const FnSettings& s) {
    if (!(s.stickyKey & kIdleRelease)) return 0;
    const std::uint32_t units = s.idleTime <= 4 ? s.idleTime + 1 : 1;
    return units * s.idleUnitMs;
}

void FnKeyTracker::configure(const FnSettings& settings) {
    settings_ = settings;
    // Turning sticky off must not leave a press armed under the old rules.
    if (!(settings_.stickyKey & kStickyOn)) armed_ = false;
}

bool FnKeyTracker::expired(std::uint32_t timeMs) const {
    const std::uint32_t limit = idleReleaseMs(settings_);
    // Unsigned difference: the hook's millisecond clock wraps after 49 days.
    return limit != 0 && timeMs - armedAt_ >= limit;
}

KeyVerdict FnKeyTracker::onKey(std::uint32_t vk, std::uint32_t scan, bool down, std::uint32_t timeMs) {
    if (settings_.fnKey == 0) return {};
    if (vk == settings_.fnKey) {
        if (down) {
            if (!fnHeld_) usedWhileHeld_ = false;  // not on auto-repeat
            fnHeld_ = true;
        } else {
            fnHeld_ = false;
            if ((settings_.stickyKey & kStickyOn) && !usedWhileHeld_) {
                armed_ = true;
                armedAt_ = timeMs;
            }
        }
        return {true, std::nullopt};
    }
    if (!down) return {taken_.erase(vk) > 0, std::nullopt};
    // A held key repeats its down event; it was one press.
    if (taken_.count(vk)) return {true, std::nullopt};
    if (armed_ && expired(timeMs)) armed_ = false;
    if (!fnHeld_ && !armed_) return {};
    armed_ = false;
    usedWhileHeld_ = fnHeld_;
    taken_.insert(vk);
    return {true, scan};
}

}  // namespace vantora::hotkey
