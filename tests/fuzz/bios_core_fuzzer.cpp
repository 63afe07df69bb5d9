// The simulated BIOS fed what any process that opens the device can send it, and a
// saved state of any bytes, with saves that fail at random. What must hold whatever
// arrives: no access out of bounds, a failed request answers all zero, the wrong-try
// counts stop at their limit, a locked check never matches, what the device holds is
// always what it saved, and a saved state that is refused lowers no protection.
//
// Input: a mode byte (1: both passwords registered first; 2: a saved state loaded, made
// of 8: the input's bytes, else edits of the current state; 4: its size moved by a
// signed byte), then per request a flags byte (1: the keys last registered; 2: the
// save fails; 4: a power cycle first) and the 33 request bytes.
#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "standins/firmware/bios_core.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using vantora::fuzz::FuzzInput;
using Image = std::array<std::uint8_t, sizeof(BiosCoreState)>;

// The lasting copy, as the driver's registry value holds it.
struct Disk {
    Image image{};
    bool failNext = false;
    int saves = 0;
};

int saveTo(void* context, const BiosCoreState* state) {
    Disk& disk = *static_cast<Disk*>(context);
    ++disk.saves;
    if (disk.failNext) return -1;
    FUZZ_CHECK(bios_core_save(state, disk.image.data(), disk.image.size()) == sizeof(BiosCoreState));
    // What the core saves must start it again, or a restart would lose the change.
    BiosCoreState reloaded;
    FUZZ_CHECK(bios_core_load(&reloaded, disk.image.data(), disk.image.size()) == 1);
    FUZZ_CHECK(std::memcmp(&reloaded, state, sizeof reloaded) == 0);
    return 0;
}

bool same(const void* a, const void* b, std::size_t n) { return std::memcmp(a, b, n) == 0; }

bool samePasswords(const BiosCoreState& a, const BiosCoreState& b) {
    return same(&a.supervisor_pwd, &b.supervisor_pwd, sizeof a.supervisor_pwd) &&
           same(&a.user_pwd, &b.user_pwd, sizeof a.user_pwd);
}

void call(BiosCoreState& state, BiosCoreSession& session, std::initializer_list<std::uint8_t> request) {
    std::uint8_t r[BIOS_REQUEST_SIZE] = {}, reply[BIOS_REPLY_SIZE];
    std::copy(request.begin(), request.end(), r);
    bios_core_handle(&state, &session, r, reply);
}

// A saved state: the current one with bytes changed and its size moved, or bytes of
// the input alone.
std::vector<std::uint8_t> savedBlob(FuzzInput& in, const BiosCoreState& state, std::uint8_t mode) {
    const int sizeChange = (mode & 4) ? static_cast<std::int8_t>(in.byte()) : 0;
    std::vector<std::uint8_t> blob(sizeof(BiosCoreState) + sizeChange);
    if (mode & 8) {
        in.fill(blob.data(), blob.size());
        return blob;
    }
    std::memcpy(blob.data(), &state, std::min(blob.size(), sizeof state));
    for (int edits = in.byte() % 16; edits > 0; --edits) {
        const std::size_t at = in.word() % blob.size();
        blob[at] ^= in.byte();
    }
    return blob;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    BiosCoreState state, scratch;
    BiosCoreSession session;
    bios_core_init(&state);
    bios_core_session_init(&session);
    std::uint8_t registered[BIOS_REQUEST_SIZE] = {};  // the keys of the last password registered

    const std::uint8_t mode = in.byte();
    if (mode & 1) {
        call(state, session, {0x86, 30, 31});
        call(state, session, {0x83, 5});
        registered[1] = 30, registered[2] = 31;
    }
    if (mode & 2) {
        const BiosCoreState protectedState = state;
        const std::vector<std::uint8_t> blob = savedBlob(in, state, mode);
        if (!bios_core_load(&state, blob.data(), blob.size())) FUZZ_CHECK(samePasswords(state, protectedState));
    }
    Disk disk;
    bios_core_save(&state, disk.image.data(), disk.image.size());

    while (!in.empty()) {
        const std::uint8_t flags = in.byte();
        std::uint8_t request[BIOS_REQUEST_SIZE], reply[BIOS_REPLY_SIZE];
        in.fill(request, sizeof request);
        if (flags & 1) std::memcpy(request + 1, registered + 1, BIOS_PASSWORD_KEYS);
        disk.failNext = (flags & 2) != 0;
        if (flags & 4) {  // a power cycle: the session is gone, the state comes from the disk
            bios_core_session_init(&session);
            FUZZ_CHECK(bios_core_load(&state, disk.image.data(), disk.image.size()) == 1);
        }
        const BiosCoreState stateBefore = state;
        const BiosCoreSession sessionBefore = session;
        const int savesBefore = disk.saves;
        // A refused saved state locks every password; three wrong guesses lock their own.
        const bool locked = session.wrong_checks >= BIOS_CHECK_TRIES || state.locked;
        const bool userLocked = session.wrong_user_checks >= BIOS_CHECK_TRIES || state.locked;
        std::memset(reply, 0xCD, sizeof reply);

        const int handled = bios_core_handle_saved(&state, &session, &scratch, request, reply, saveTo, &disk);

        static const std::uint8_t kZeroReply[BIOS_REPLY_SIZE] = {};
        if (handled != 0) FUZZ_CHECK(same(reply, kZeroReply, sizeof reply));
        // A change that could not be saved is undone, and so is any guess it counted.
        if (handled == BIOS_SAVE_FAILED)
            FUZZ_CHECK(same(&state, &stateBefore, sizeof state) && session.wrong_checks == sessionBefore.wrong_checks &&
                       session.wrong_user_checks == sessionBefore.wrong_user_checks);
        FUZZ_CHECK(session.wrong_checks <= BIOS_CHECK_TRIES && session.wrong_user_checks <= BIOS_CHECK_TRIES);
        const std::uint8_t function = request[0];
        if ((locked && (function == 0xAF || function == 0x87)) || (userLocked && (function == 0xAE || function == 0x84))) {
            FUZZ_CHECK(handled != 0 || reply[0] != BIOS_OK);
            FUZZ_CHECK(samePasswords(state, stateBefore));
        }
        FUZZ_CHECK(same(&state, disk.image.data(), sizeof state));
        if (handled == 0 && disk.saves != savesBefore) FUZZ_CHECK(!same(&state, &stateBefore, sizeof state));
        if (handled == 0 && (request[0] == 0x86 || request[0] == 0x83) && reply[0] == BIOS_OK)
            std::memcpy(registered, request, sizeof registered);
    }
    return 0;
}
