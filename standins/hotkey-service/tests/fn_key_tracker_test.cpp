#include "standins/hotkey-service/fn_key_tracker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standins/hotkey-service/hotkey_service_protocol.h"

namespace vantora::hotkey {
namespace {

constexpr std::uint32_t kFn = kDefaultFnKey, kB = 'B', kC = 'C', kShift = 0x10;
constexpr std::uint32_t kScanB = 0x30, kScanC = 0x2E, kScanShift = 0x2A, kScanFn = 0x46;
constexpr int kNone = -1;

struct Event {
    std::uint32_t vk, scan;
    bool down;
    std::uint32_t time;
    bool swallow;
    int fnScan;  // kNone: no Fn press delivered
};

struct Sequence {
    const char* name;
    FnSettings settings;
    std::vector<Event> events;
};

FnSettings plain() { return {kFn, 0, 0, 1000}; }
FnSettings sticky(std::uint32_t bits = kStickyOn, std::uint32_t idle = 0) { return {kFn, bits, idle, 1000}; }

const Sequence kSequences[] = {
    {"held Fn turns one press into one Fn press, the key's repeats and release are swallowed",
     plain(),
     {{kFn, kScanFn, true, 0, true, kNone},
      {kB, kScanB, true, 10, true, kScanB},
      {kB, kScanB, true, 40, true, kNone},
      {kB, kScanB, false, 50, true, kNone},
      {kFn, kScanFn, false, 60, true, kNone}}},
    {"every key pressed while Fn is held counts",
     plain(),
     {{kFn, kScanFn, true, 0, true, kNone},
      {kB, kScanB, true, 10, true, kScanB},
      {kB, kScanB, false, 20, true, kNone},
      {kC, kScanC, true, 30, true, kScanC},
      {kC, kScanC, false, 40, true, kNone},
      {kFn, kScanFn, false, 50, true, kNone}}},
    {"without Fn keys pass, also after Fn was released",
     plain(),
     {{kB, kScanB, true, 0, false, kNone},
      {kB, kScanB, false, 10, false, kNone},
      {kFn, kScanFn, true, 20, true, kNone},
      {kFn, kScanFn, false, 30, true, kNone},
      {kC, kScanC, true, 40, false, kNone},
      {kC, kScanC, false, 50, false, kNone}}},
    {"a key already down when Fn comes keeps its release",
     plain(),
     {{kShift, kScanShift, true, 0, false, kNone},
      {kFn, kScanFn, true, 10, true, kNone},
      {kShift, kScanShift, false, 20, false, kNone},
      {kFn, kScanFn, false, 30, true, kNone}}},
    {"a key released after Fn still has its release swallowed",
     plain(),
     {{kFn, kScanFn, true, 0, true, kNone},
      {kB, kScanB, true, 10, true, kScanB},
      {kFn, kScanFn, false, 20, true, kNone},
      {kB, kScanB, false, 30, true, kNone},
      {kB, kScanB, true, 40, false, kNone}}},
    {"sticky: Fn tapped alone arms it for exactly the next key",
     sticky(),
     {{kFn, kScanFn, true, 0, true, kNone},
      {kFn, kScanFn, false, 10, true, kNone},
      {kB, kScanB, true, 5000000, true, kScanB},
      {kB, kScanB, false, 5000010, true, kNone},
      {kC, kScanC, true, 5000020, false, kNone}}},
    {"sticky: Fn held over a key does not arm it again",
     sticky(),
     {{kFn, kScanFn, true, 0, true, kNone},
      {kB, kScanB, true, 10, true, kScanB},
      {kB, kScanB, false, 20, true, kNone},
      {kFn, kScanFn, false, 30, true, kNone},
      {kC, kScanC, true, 40, false, kNone}}},
    {"sticky: Fn auto-repeat while held is one press",
     sticky(),
     {{kFn, kScanFn, true, 0, true, kNone},
      {kFn, kScanFn, true, 30, true, kNone},
      {kFn, kScanFn, true, 60, true, kNone},
      {kFn, kScanFn, false, 70, true, kNone},
      {kC, kScanC, true, 80, true, kScanC}}},
    {"sticky off: a tap arms nothing",
     sticky(0x02 | 0x04 | 0x08 | 0x20 | 0x40 | 0x80),
     {{kFn, kScanFn, true, 0, true, kNone},
      {kFn, kScanFn, false, 10, true, kNone},
      {kB, kScanB, true, 20, false, kNone}}},
    {"idle release with index 1: armed for two units, not one more millisecond",
     sticky(kStickyOn | kIdleRelease, 1),
     {{kFn, kScanFn, true, 0, true, kNone},
      {kFn, kScanFn, false, 100, true, kNone},
      {kB, kScanB, true, 2099, true, kScanB},
      {kB, kScanB, false, 2100, true, kNone},
      {kFn, kScanFn, true, 3000, true, kNone},
      {kFn, kScanFn, false, 3100, true, kNone},
      {kC, kScanC, true, 5100, false, kNone},
      {kC, kScanC, false, 5110, false, kNone}}},
    {"idle release across the millisecond clock's wrap",
     sticky(kStickyOn | kIdleRelease, 0),
     {{kFn, kScanFn, true, 0xFFFFFF00u, true, kNone},
      {kFn, kScanFn, false, 0xFFFFFF00u, true, kNone},
      {kB, kScanB, true, 0x100, true, kScanB}}},
    {"no Fn key configured: the hook lets everything pass",
     {0, kStickyOn, 0, 1000},
     {{kFn, kScanFn, true, 0, false, kNone},
      {kB, kScanB, true, 10, false, kNone},
      {kB, kScanB, false, 20, false, kNone},
      {kFn, kScanFn, false, 30, false, kNone}}},
};

TEST(FnKeyTracker, Sequences) {
    for (const auto& seq : kSequences) {
        FnKeyTracker tracker;
        tracker.configure(seq.settings);
        int step = 0;
        for (const auto& e : seq.events) {
            const KeyVerdict v = tracker.onKey(e.vk, e.scan, e.down, e.time);
            const int got = v.fnScan ? static_cast<int>(*v.fnScan) : kNone;
            EXPECT_EQ(e.swallow, v.swallow) << seq.name << ", event " << step;
            EXPECT_EQ(e.fnScan, got) << seq.name << ", event " << step;
            ++step;
        }
    }
}

TEST(FnKeyTracker, TurningStickyOff_DropsAnArmedFn) {
    FnKeyTracker tracker;
    tracker.configure(sticky());
    tracker.onKey(kFn, kScanFn, true, 0);
    tracker.onKey(kFn, kScanFn, false, 10);
    ASSERT_TRUE(tracker.armed());
    tracker.configure(plain());
    EXPECT_FALSE(tracker.armed());
    EXPECT_FALSE(tracker.onKey(kB, kScanB, true, 20).fnScan.has_value());
}

TEST(FnKeyTracker, IdleReleaseMs_FollowsTheIndexAndTheReleaseBit) {
    struct Case {
        std::uint32_t sticky, idle, expected;
    } cases[] = {
        {kStickyOn | kIdleRelease, 0, 60000},  {kStickyOn | kIdleRelease, 4, 300000},
        {kStickyOn | kIdleRelease, 5, 60000},  {kStickyOn | kIdleRelease, 0xFFFFFFFFu, 60000},
        {kStickyOn, 2, 0},                     {238, 0, 0},
        {0xFFFFFFFFu, 2, 180000},
    };
    for (const auto& c : cases) {
        const FnSettings s{kFn, c.sticky, c.idle, 60000};
        EXPECT_EQ(c.expected, idleReleaseMs(s)) << "StickyKey=" << c.sticky << " IdleTime=" << c.idle;
    }
}

}  // namespace
}  // namespace vantora::hotkey
