// The simulated BIOS on its own: reply codes, "unchanged" markers, owner blocks, saved
// state, passwords as salted hashes, the three-strikes lock, saving only real changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <initializer_list>
#include <vector>

#include "standins/firmware/bios_core.h"
#include "standins/firmware/sha256.h"

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
    Core() {
        bios_core_init(&state);
        bios_core_session_init(&session);
    }
    // Reply byte 0, with the reply pre-filled so that a missing write shows.
    int call(const Request& r) {
        reply.fill(0xCD);
        handled = bios_core_handle(&state, &session, r.data(), reply.data());
        return reply[0];
    }
    BiosCoreState state;
    BiosCoreSession session;
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
        {"user replaces without the old one", req(0x83, {6}), BIOS_WRONG_PASSWORD},
        {"user replaces, wrong old one", req(0x83, {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}), BIOS_WRONG_PASSWORD},
        {"user replaces with the old one", req(0x83, {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}), BIOS_OK},
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
    bad[3] = '1';  // the earlier layout, which kept the keys themselves
    EXPECT_EQ(0, bios_core_load(&fresh.state, bad.data(), sizeof(BiosCoreState)));
    bad = saved;
    bad[offsetof(BiosCoreState, supervisor_pwd.set)] = 2;
    EXPECT_EQ(0, bios_core_load(&fresh.state, bad.data(), sizeof(BiosCoreState)));
    EXPECT_EQ(0, std::memcmp(&before, &fresh.state, sizeof(before))) << "a refused load changed the state";
}

std::string hex(const std::uint8_t* bytes, std::size_t size) {
    std::string s;
    for (std::size_t i = 0; i < size; ++i) s += "0123456789abcdef"[bytes[i] >> 4], s += "0123456789abcdef"[bytes[i] & 15];
    return s;
}

// FIPS 180-4 examples and the padding edges (55, 56 and 64 bytes), fed in pieces so that
// a piece ending inside a block is covered too.
TEST(Sha256, KnownVectors) {
    const struct {
        std::string message;
        std::size_t piece;
        const char* digest;
    } cases[] = {
        {"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 7,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(55, 'a'), 55, "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), 13, "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), 64, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {std::string(1000000, 'a'), 1000, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        Sha256 ctx;
        sha256_init(&ctx);
        for (std::size_t at = 0; at < c.message.size(); at += c.piece)
            sha256_update(&ctx, reinterpret_cast<const std::uint8_t*>(c.message.data()) + at,
                          std::min(c.piece, c.message.size() - at));
        std::uint8_t digest[SHA256_DIGEST_SIZE];
        sha256_final(&ctx, digest);
        EXPECT_EQ(c.digest, hex(digest, sizeof digest)) << c.message.size() << " bytes";
    }
}

// The published PBKDF2-HMAC-SHA256 vectors, and a password longer than it takes.
TEST(Pbkdf2Sha256, KnownVectors) {
    const struct {
        std::string password, salt;
        std::uint32_t iterations;
        const char* key;
    } cases[] = {
        {"password", "salt", 1, "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"},
        {"password", "salt", 2, "ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"},
        {"password", "salt", 4096, "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"},
        {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096,
         "348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1"},
        {std::string(65, 'k'), "salt", 3, nullptr},  // longer than the one block it supports
    };
    for (const auto& c : cases) {
        std::uint8_t key[SHA256_DIGEST_SIZE] = {};
        const int rc = pbkdf2_sha256(reinterpret_cast<const std::uint8_t*>(c.password.data()), c.password.size(),
                                     reinterpret_cast<const std::uint8_t*>(c.salt.data()), c.salt.size(), c.iterations, key);
        EXPECT_EQ(c.key ? 0 : -1, rc) << c.password.size() << "-byte password";
        EXPECT_EQ(c.key ? c.key : std::string(64, '0'), hex(key, sizeof key)) << c.password << ", " << c.iterations;
    }
}

// The saved form must not give the keys away, and equal passwords registered with
// different salts must not look alike in it.
TEST(BiosCore, PasswordsAreSavedAsSaltedHashes_NeverAsKeys) {
    const std::vector<std::uint8_t> keys = {0x1E, 0x30, 0x2E, 0x20};
    Core a, b;
    a.session.salt[0] = 1;
    b.session.salt[0] = 2;
    for (Core* core : {&a, &b}) {
        ASSERT_EQ(BIOS_OK, core->call(req(0x86, {0x1E, 0x30, 0x2E, 0x20})));
        ASSERT_EQ(BIOS_OK, core->call(req(0x83, {0x1E, 0x30, 0x2E, 0x20})));
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&core->state);
        EXPECT_EQ(bytes + sizeof(BiosCoreState),
                  std::search(bytes, bytes + sizeof(BiosCoreState), keys.begin(), keys.end()))
            << "the keys are in the saved state";
        EXPECT_EQ(0, std::memcmp(core->state.supervisor_pwd.salt, core->session.salt, BIOS_SALT_SIZE));
        std::uint8_t padded[BIOS_PASSWORD_KEYS] = {0x1E, 0x30, 0x2E, 0x20};
        std::uint8_t derived[BIOS_HASH_SIZE];
        ASSERT_EQ(0, pbkdf2_sha256(padded, sizeof padded, core->session.salt, BIOS_SALT_SIZE, BIOS_KDF_ITERATIONS, derived));
        EXPECT_EQ(hex(derived, sizeof derived), hex(core->state.supervisor_pwd.hash, BIOS_HASH_SIZE));
        EXPECT_EQ(BIOS_OK, core->call(req(0xAF, {0x1E, 0x30, 0x2E, 0x20})));
        EXPECT_EQ(BIOS_OK, core->call(req(0xAE, {0x1E, 0x30, 0x2E, 0x20})));
    }
    EXPECT_NE(0, std::memcmp(a.state.supervisor_pwd.hash, b.state.supervisor_pwd.hash, BIOS_HASH_SIZE));

    // Deleting leaves nothing of the password behind.
    a.call(req(0x87, {0x1E, 0x30, 0x2E, 0x20}));
    const BiosPassword none{};
    EXPECT_EQ(0, std::memcmp(&none, &a.state.supervisor_pwd, sizeof none));
}

// Wrong supervisor keys three times in a row (check or delete alike) lock both functions
// until a power cycle, right keys included; the user password is not involved.
TEST(BiosCore, ThreeWrongSupervisorChecksInARow_LockUntilPowerCycle) {
    struct Step {
        const char* name;
        Request request;
        int expected;
    };
    const Request right = req(0xAF, {30, 31});
    const Request wrong = req(0xAF, {30, 32});
    const Step steps[] = {
        {"wrong 1", wrong, BIOS_WRONG_PASSWORD},
        {"wrong 2", wrong, BIOS_WRONG_PASSWORD},
        {"right ends the run", right, BIOS_OK},
        {"wrong 1 again", wrong, BIOS_WRONG_PASSWORD},
        {"user check does not count", req(0xAE, {1}), BIOS_NOT_SET},
        {"wrong delete 2", req(0x87, {9}), BIOS_WRONG_PASSWORD},
        {"wrong 3", wrong, BIOS_WRONG_PASSWORD},
        {"right check refused", right, BIOS_LOCKED},
        {"right delete refused", req(0x87, {30, 31}), BIOS_LOCKED},
        {"still registered", req(0x85, {}), 1},
        {"user functions still work", req(0x83, {5}), BIOS_OK},
    };
    Core core;
    ASSERT_EQ(BIOS_OK, core.call(req(0x86, {30, 31})));
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(s.expected, core.call(s.request));
    }
    // The run is not in the saved state: after a power cycle the right keys pass.
    Core restarted;
    ASSERT_EQ(1, bios_core_load(&restarted.state, reinterpret_cast<const std::uint8_t*>(&core.state),
                                sizeof(BiosCoreState)));
    EXPECT_EQ(BIOS_OK, restarted.call(right));
}

std::string ownerText(Core& core);

struct Store {
    static int save(void* context, const BiosCoreState* state) {
        auto* store = static_cast<Store*>(context);
        ++store->saves;
        store->saved = *state;
        return store->fails ? -1 : 0;
    }
    int saves = 0;
    bool fails = false;
    BiosCoreState saved{};
};

TEST(BiosCore, HandleSaved_SavesOnlyChanges_AndUndoesAChangeThatWasNotSaved) {
    struct Case {
        const char* name;
        Request request;
        bool saveFails;
        int result;
        int saves;
    } cases[] = {
        {"write that changes", req(0x8B, {0xFF, 7}, 0xFF), false, 0, 1},
        {"write of the same values", req(0x8B, {}, 0xFF), false, 0, 0},
        {"read", req(0x85, {}), false, 0, 0},
        {"wrong check", req(0xAF, {40}), false, 0, 0},
        {"unknown function", req(0x42, {}), false, -1, 0},
        {"register, save fails", req(0x83, {5}), true, BIOS_SAVE_FAILED, 1},
        {"delete, save fails", req(0x87, {30, 31}), true, BIOS_SAVE_FAILED, 1},
        {"owner block that waits for the next", req(0x88, {}, 'x'), false, 0, 0},
        {"last owner block, save fails", req(0x88, {'x', 0}), true, BIOS_SAVE_FAILED, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Core core;
        core.call(req(0x86, {30, 31}));
        core.call(req(0xAF, {40}));  // a wrong check in the run, which a failed request must keep
        const BiosCoreState stateBefore = core.state;
        const BiosCoreSession sessionBefore = core.session;
        Store store;
        store.fails = c.saveFails;
        BiosCoreState scratch;
        core.reply.fill(0xCD);
        EXPECT_EQ(c.result, bios_core_handle_saved(&core.state, &core.session, &scratch, c.request.data(),
                                                   core.reply.data(), &Store::save, &store));
        EXPECT_EQ(c.saves, store.saves);
        if (c.saves == 1 && !c.saveFails) {
            EXPECT_EQ(0, std::memcmp(&store.saved, &core.state, sizeof store.saved)) << "saved is not the new state";
        }
        if (c.saveFails) {
            EXPECT_EQ(0, std::memcmp(&stateBefore, &core.state, sizeof stateBefore)) << "the change was kept";
            EXPECT_EQ(sessionBefore.wrong_checks, core.session.wrong_checks) << "the wrong-try run was lost";
            EXPECT_EQ(std::vector<int>(32, 0), std::vector<int>(core.reply.begin(), core.reply.end()));
        }
    }

    // A write whose last block failed is over: the caller's retry from its first block
    // stores the text whole, not shifted behind the blocks of the failed one.
    Core core;
    Store store;
    BiosCoreState scratch;
    for (bool fails : {true, false}) {
        store.fails = fails;
        for (const Request& r : {req(0x88, {}, 'a'), req(0x88, {'b', 0})})
            bios_core_handle_saved(&core.state, &core.session, &scratch, r.data(), core.reply.data(), &Store::save, &store);
    }
    EXPECT_EQ(std::string(32, 'a') + "b", ownerText(core));
}

}  // namespace

namespace {

std::vector<std::uint8_t> savedForm(const BiosCoreState& state) {
    std::vector<std::uint8_t> bytes(sizeof state);
    bios_core_save(&state, bytes.data(), bytes.size());
    return bytes;
}

// Bytes that fail validation must not start a machine without its passwords: it starts
// locked, and the locked state, saved over them, starts locked again.
TEST(BiosCore, Start_RefusedSavedBytes_LockEveryPasswordFunction) {
    Core withPassword;
    ASSERT_EQ(BIOS_OK, withPassword.call(req(0x86, {30, 31})));
    const std::vector<std::uint8_t> good = savedForm(withPassword.state);
    auto changed = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0);
    BiosCoreState relocked;
    BiosCoreSession ignored;
    bios_core_start(&relocked, &ignored, longer.data(), longer.size());

    const struct {
        const char* name;
        bool saved;
        std::vector<std::uint8_t> bytes;
        int started;
        bool locked;
    } cases[] = {
        {"nothing saved", false, {}, BIOS_START_FACTORY, false},
        {"valid", true, good, BIOS_START_SAVED, false},
        {"one byte short", true, std::vector<std::uint8_t>(good.begin(), good.end() - 1), BIOS_START_REFUSED, true},
        {"one byte long", true, longer, BIOS_START_REFUSED, true},
        {"empty", true, {}, BIOS_START_REFUSED, true},
        {"layout that kept the keys", true, changed(3, '1'), BIOS_START_REFUSED, true},
        {"layout with one SHA-256", true, changed(3, '2'), BIOS_START_REFUSED, true},
        {"lock flag out of range", true, changed(offsetof(BiosCoreState, locked), 2), BIOS_START_REFUSED, true},
        {"locked state saved over refused bytes", true, savedForm(relocked), BIOS_START_SAVED, true},
    };
    const Request passwordFunctions[] = {req(0x82, {}), req(0x83, {5}),     req(0x84, {5}),     req(0x85, {}),
                                         req(0x86, {5}), req(0x87, {30, 31}), req(0xAE, {5}), req(0xAF, {30, 31})};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Core core;
        const std::uint8_t none = 0;
        const std::uint8_t* bytes = !c.saved ? nullptr : c.bytes.empty() ? &none : c.bytes.data();
        EXPECT_EQ(c.started, bios_core_start(&core.state, &core.session, bytes, c.bytes.size()));
        core.call(req(BIOS_FN_STANDIN_STATUS, {}));
        EXPECT_EQ(c.started, core.reply[0]);
        EXPECT_EQ(c.locked ? 1 : 0, core.reply[1]);
        if (c.locked) {
            for (const Request& r : passwordFunctions) EXPECT_EQ(BIOS_LOCKED, core.call(r)) << std::hex << int(r[0]);
        } else {
            EXPECT_EQ(c.started == BIOS_START_SAVED ? BIOS_OK : BIOS_NOT_SET, core.call(req(0xAF, {30, 31})));
        }
        core.call(req(0x8B, {7}, 0xFF));
        EXPECT_EQ(7, core.call(req(0x8A, {}))) << "settings stay usable";
    }
}

// User-password guesses are limited like supervisor ones, each password on its own count.
TEST(BiosCore, ThreeWrongUserChecksInARow_LockUserFunctionsUntilPowerCycle) {
    auto withOld = [](int newKey, int oldKey) { return req(0x83, {newKey, 0, 0, 0, 0, 0, 0, 0, 0, 0, oldKey}); };
    const struct {
        const char* name;
        Request request;
        int expected;
    } steps[] = {
        {"wrong 1", req(0xAE, {6}), BIOS_WRONG_PASSWORD},
        {"wrong delete 2", req(0x84, {6}), BIOS_WRONG_PASSWORD},
        {"right ends the run", req(0xAE, {5}), BIOS_OK},
        {"wrong 1 again", req(0xAE, {6}), BIOS_WRONG_PASSWORD},
        {"no old keys is no guess", req(0x83, {9}), BIOS_WRONG_PASSWORD},
        {"wrong old keys 2", withOld(9, 6), BIOS_WRONG_PASSWORD},
        {"supervisor checks count apart", req(0xAF, {40}), BIOS_WRONG_PASSWORD},
        {"wrong 3", req(0xAE, {6}), BIOS_WRONG_PASSWORD},
        {"right check refused", req(0xAE, {5}), BIOS_LOCKED},
        {"right delete refused", req(0x84, {5}), BIOS_LOCKED},
        {"right old keys refused", withOld(9, 5), BIOS_LOCKED},
        {"supervisor still answers", req(0xAF, {30, 31}), BIOS_OK},
    };
    Core core;
    ASSERT_EQ(BIOS_OK, core.call(req(0x83, {5})));
    ASSERT_EQ(BIOS_OK, core.call(req(0x86, {30, 31})));
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(s.expected, core.call(s.request));
        EXPECT_LE(core.session.wrong_user_checks, BIOS_CHECK_TRIES);
    }
    Core restarted;
    restarted.state = core.state;
    EXPECT_EQ(BIOS_OK, restarted.call(req(0xAE, {5}))) << "a power cycle ends the lock";
}

std::string ownerText(Core& core) {
    std::string text;
    for (int b = 0; b < BIOS_OWNER_BLOCKS; ++b) {
        core.call(req(0x89, {}, b));
        for (std::uint8_t c : core.reply) {
            if (c == 0) return text;
            text += static_cast<char>(c);
        }
    }
    return text;
}

// Each opener's blocks add up to its own text, whatever others send in between, and the
// stored text changes only when a write's last block arrives.
TEST(BiosCore, OwnerWrites_ArePerOpener_AndStoredWhole) {
    Core core;
    auto send = [&](std::uint32_t opener, const Request& r, std::uint32_t atMs = 0) {
        core.session.opener = opener;
        core.session.now_ms = atMs;
        core.call(r);
    };
    const std::string first(32, 'a');
    send(1, req(0x88, {'o', 'l', 'd', 0}));
    send(1, req(0x88, {}, 'a'));
    send(2, req(0x85, {}));
    EXPECT_EQ("old", (core.session.opener = 2, ownerText(core))) << "half a write was stored";
    send(2, req(0x88, {'Z', 0}));
    send(1, req(0x88, {'b', 0}));
    core.session.opener = 1;
    EXPECT_EQ(first + "b", ownerText(core));

    // A write left unfinished past the limit is abandoned: the next block starts anew.
    send(3, req(0x88, {}, 'c'), 1000);
    send(3, req(0x88, {'d', 0}), 1000 + BIOS_OWNER_WRITE_TIMEOUT_MS + 1);
    core.session.opener = 3;
    EXPECT_EQ("d", ownerText(core));
}

}  // namespace
