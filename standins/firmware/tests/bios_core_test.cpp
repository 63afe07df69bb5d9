// The simulated BIOS on its own: reply codes, "unchanged" markers, owner blocks, saved state.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <initializer_list>
#include <vector>

#include "standins/firmware/bios_core.h"

namespace {

using Request = std::array<std::uint8_t, BIOS_REQUEST_SIZE>;

Request req(int function, std::initializer_list<int> params, int rest = 0) {
    Request r;
    r.fill(static_cast<std::uint8_t>(rest));
    r[0] = static_cast<std::uint8_t>(function);
    int i = 1;
    for (int p : params) r[i++] = static_cast<std::uint8_t>(p);
    return r;
}

struct Core {
    Core() { bios_core_init(&state); }
    // Reply byte 0, with the reply pre-filled so that a missing write shows.
    int call(const Request& r) {
        reply.fill(0xCD);
        handled = bios_core_handle(&state, r.data(), reply.data());
        return reply[0];
    }
    BiosCoreState state;
    std::array<std::uint8_t, BIOS_REPLY_SIZE> reply{};
    int handled = 0;
};

TEST(BiosCore, PasswordReplyCodes) {
    struct Step {
        const char* name;
        Request request;
        int expected;
    };
    const Step steps[] = {
        {"check, none set", req(0xAF, {30}), BIOS_NOT_SET},
        {"delete, none set", req(0x87, {30}), BIOS_NOT_SET},
        {"register empty", req(0x86, {}), BIOS_EMPTY_PASSWORD},
        {"state before", req(0x85, {}), 0},
        {"register", req(0x86, {30, 31}), BIOS_OK},
        {"state after", req(0x85, {}), 1},
        {"register again", req(0x86, {40}), BIOS_ALREADY_SET},
        {"check right", req(0xAF, {30, 31}), BIOS_OK},
        {"check wrong", req(0xAF, {40}), BIOS_WRONG_PASSWORD},
        {"check prefix", req(0xAF, {30}), BIOS_WRONG_PASSWORD},
        {"keys past ten ignored", req(0xAF, {30, 31, 0, 0, 0, 0, 0, 0, 0, 0, 99}), BIOS_OK},
        {"delete wrong", req(0x87, {40}), BIOS_WRONG_PASSWORD},
        {"still set", req(0x85, {}), 1},
        {"user check, none set", req(0xAE, {30, 31}), BIOS_NOT_SET},
        {"user register", req(0x83, {5}), BIOS_OK},
        {"user state", req(0x82, {}), 1},
        {"user replaces", req(0x83, {6}), BIOS_OK},
        {"user check old", req(0xAE, {5}), BIOS_WRONG_PASSWORD},
        {"user delete", req(0x84, {6}), BIOS_OK},
        {"user state after", req(0x82, {}), 0},
        {"delete right", req(0x87, {30, 31}), BIOS_OK},
        {"state at end", req(0x85, {}), 0},
    };
    Core core;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(s.expected, core.call(s.request));
        EXPECT_EQ(0, core.handled);
    }
}

TEST(BiosCore, FFLeavesScuItemsAndBootDevicesUnchanged) {
    Core core;
    core.call(req(0x8B, {0xFF, 1, 0xFF, 3}, 0xFF));
    core.call(req(0x8B, {}, 0xFF));
    core.call(req(0x8A, {}));
    EXPECT_EQ((std::vector<int>{0, 1, 0, 3, 0}), std::vector<int>(core.reply.begin(), core.reply.begin() + 5));

    core.call(req(0x93, {5, 0xFF, 4, 0xFF, 0xFF, 0}, 0xFF));
    core.call(req(0x92, {}));
    EXPECT_EQ((std::vector<int>{5, 1, 4, 3, 4, 0}), std::vector<int>(core.reply.begin(), core.reply.begin() + 6));

    core.call(req(0x91, {0, 0xFF, 2}));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 0, 0, 0, 0, 0}),
              std::vector<int>(core.state.io_dev, core.state.io_dev + BIOS_IO_DEVICES));
}

TEST(BiosCore, OwnerBlocks_WriteInOrderAndEndAtZero) {
    Core core;
    for (int b = 0; b < 16; ++b) core.call(req(0x88, {}, 'a' + b));  // full text, 16 blocks
    core.call(req(0x88, {}, 'Q'));                                    // a new write starts at block 0
    core.call(req(0x88, {'e', 'n', 'd', 0}));
    const int expectedFirst[] = {'Q', 'e', 0};
    for (int b = 0; b < 3; ++b) {
        SCOPED_TRACE(b);
        core.call(req(0x89, {}, b));
        EXPECT_EQ(expectedFirst[b], core.reply[0]);
    }
    core.call(req(0x89, {}, 16));
    EXPECT_EQ(std::vector<int>(32, 0), std::vector<int>(core.reply.begin(), core.reply.end()));

    // Another request between blocks ends the sequence: the next block is block 0 again.
    core.call(req(0x88, {}, 'x'));
    core.call(req(0x85, {}));
    core.call(req(0x88, {'y', 0}));
    core.call(req(0x89, {}, 0));
    EXPECT_EQ('y', core.reply[0]);
}

TEST(BiosCore, SimpleValuesAndUnknownFunction) {
    Core core;
    core.call(req(0x98, {2}));
    core.call(req(0x9A, {1}));
    EXPECT_EQ(2, core.call(req(0x97, {})));
    EXPECT_EQ(1, core.call(req(0x99, {})));
    core.call(req(0x80, {}));
    EXPECT_EQ(std::string("VANTORA BIOS 1.00"), std::string(reinterpret_cast<const char*>(core.reply.data())));
    EXPECT_EQ(0, core.reply[31]);
    core.call(req(0x42, {}));
    EXPECT_EQ(-1, core.handled);
    EXPECT_EQ(std::vector<int>(32, 0), std::vector<int>(core.reply.begin(), core.reply.end()));
}

TEST(BiosCore, SavedStateRoundTrips_AndForeignBytesAreRefused) {
    Core core;
    core.call(req(0x86, {30, 31}));
    core.call(req(0x8B, {}, 0xFF));
    core.call(req(0x88, {'o', 0}));
    std::vector<std::uint8_t> saved(sizeof(BiosCoreState) + 8, 0xCD);
    ASSERT_EQ(0u, bios_core_save(&core.state, saved.data(), sizeof(BiosCoreState) - 1));
    ASSERT_EQ(sizeof(BiosCoreState), bios_core_save(&core.state, saved.data(), saved.size()));
    EXPECT_EQ(0xCD, saved[sizeof(BiosCoreState)]) << "save wrote past the state";

    Core restored;
    ASSERT_EQ(1, bios_core_load(&restored.state, saved.data(), sizeof(BiosCoreState)));
    EXPECT_EQ(BIOS_OK, restored.call(req(0xAF, {30, 31})));
    restored.call(req(0x89, {}, 0));
    EXPECT_EQ('o', restored.reply[0]);

    Core fresh;
    const BiosCoreState before = fresh.state;
    std::vector<std::uint8_t> bad = saved;
    bad[0] ^= 1;
    EXPECT_EQ(0, bios_core_load(&fresh.state, bad.data(), sizeof(BiosCoreState)));
    EXPECT_EQ(0, bios_core_load(&fresh.state, saved.data(), sizeof(BiosCoreState) - 1));
    bad = saved;
    bad[offsetof(BiosCoreState, owner_cursor)] = 16;
    EXPECT_EQ(0, bios_core_load(&fresh.state, bad.data(), sizeof(BiosCoreState)));
    EXPECT_EQ(0, std::memcmp(&before, &fresh.state, sizeof(before))) << "a refused load changed the state";
}

}  // namespace
