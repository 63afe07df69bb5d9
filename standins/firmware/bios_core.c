#include "bios_core.h"

#include "sha256.h"

/* VBC1 kept the password keys as they were typed, VBC2 a single salted SHA-256 of
 * them; neither is taken up. */
static const uint8_t kMagic[4] = {'V', 'B', 'C', '3'};
static const char kVersion[] = "VANTORA BIOS 1.00";

static void fill(uint8_t* p, size_t n, uint8_t v) {
    size_t i;
    for (i = 0; i < n; ++i) p[i] = v;
}

static void copy(uint8_t* dst, const uint8_t* src, size_t n) {
    size_t i;
    for (i = 0; i < n; ++i) dst[i] = src[i];
}

void bios_core_init(BiosCoreState* state) {
    size_t i;
    fill((uint8_t*)state, sizeof(*state), 0);
    copy(state->magic, kMagic, sizeof(kMagic));
    for (i = 0; i < BIOS_BOOT_DEVICES; ++i) state->boot[i] = (uint8_t)i;
    fill(state->io_dev, BIOS_IO_DEVICES, 1);
    for (i = 0; kVersion[i] != '\0'; ++i) state->version[i] = (uint8_t)kVersion[i];
    state->machine_info[1] = 0x05;
    state->machine_info[2] = 1;
    state->machine_info[3] = 1;
}

void bios_core_session_init(BiosCoreSession* session) { fill((uint8_t*)session, sizeof(*session), 0); }

/* A password travels as one scan code per key in request bytes 1..10; unused keys are 0. */
static int keys_empty(const uint8_t* keys) {
    size_t i;
    for (i = 0; i < BIOS_PASSWORD_KEYS; ++i)
        if (keys[i] != 0) return 0;
    return 1;
}

static void hash_keys(const uint8_t salt[BIOS_SALT_SIZE], const uint8_t* keys, uint8_t hash[BIOS_HASH_SIZE]) {
    pbkdf2_sha256(keys, BIOS_PASSWORD_KEYS, salt, BIOS_SALT_SIZE, BIOS_KDF_ITERATIONS, hash);
}

static int password_matches(const BiosPassword* stored, const uint8_t* keys) {
    uint8_t offered[BIOS_HASH_SIZE];
    uint8_t diff = 0;
    size_t i;
    hash_keys(stored->salt, keys, offered);
    /* Every byte compared, so that the time taken tells nothing about the keys. */
    for (i = 0; i < BIOS_HASH_SIZE; ++i) diff |= (uint8_t)(stored->hash[i] ^ offered[i]);
    for (i = 0; i < BIOS_HASH_SIZE; ++i) ((volatile uint8_t*)offered)[i] = 0;
    return diff == 0;
}

static uint8_t check_password(const BiosPassword* stored, const uint8_t* keys) {
    if (!stored->set) return BIOS_NOT_SET;
    return password_matches(stored, keys) ? BIOS_OK : BIOS_WRONG_PASSWORD;
}

static uint8_t register_password(BiosPassword* stored, const BiosCoreSession* session, const uint8_t* keys) {
    if (keys_empty(keys)) return BIOS_EMPTY_PASSWORD;
    copy(stored->salt, session->salt, BIOS_SALT_SIZE);
    hash_keys(stored->salt, keys, stored->hash);
    stored->set = 1;
    return BIOS_OK;
}

enum { kCheck, kClear };

/* Every function that compares keys counts towards its password's lock, deleting
 * included: otherwise a delete with guessed keys would be a check without a limit. */
static uint8_t attempt(BiosPassword* stored, uint8_t* wrong, const uint8_t* keys, int action) {
    uint8_t code;
    if (*wrong >= BIOS_CHECK_TRIES) return BIOS_LOCKED;
    code = check_password(stored, keys);
    if (code == BIOS_WRONG_PASSWORD) (*wrong)++;
    if (code == BIOS_OK) {
        *wrong = 0;
        if (action == kClear) fill((uint8_t*)stored, sizeof(*stored), 0);
    }
    return code;
}

/* Over a registered user password, while a supervisor password guards the machine, only
 * who knows the old one may set a new one. Offering no keys is not a guess (no password
 * is empty), so it is refused without counting. */
static uint8_t write_user_password(BiosCoreState* state, BiosCoreSession* session, const uint8_t* request) {
    const uint8_t* old_keys = request + 1 + BIOS_PASSWORD_KEYS;
    uint8_t code;
    if (state->supervisor_pwd.set && state->user_pwd.set) {
        if (session->wrong_user_checks < BIOS_CHECK_TRIES && keys_empty(old_keys)) return BIOS_WRONG_PASSWORD;
        code = attempt(&state->user_pwd, &session->wrong_user_checks, old_keys, kCheck);
        if (code != BIOS_OK) return code;
    }
    return register_password(&state->user_pwd, session, request + 1);
}

/* The opener's write in progress, or a free one for it. A write whose opener has not
 * sent a block for a while is abandoned: its process may have ended and its id been
 * reused. With every slot busy, the write that waited longest gives way. */
static BiosOwnerWrite* owner_write_of(BiosCoreSession* session) {
    BiosOwnerWrite* oldest = &session->owner_writes[0];
    size_t i;
    for (i = 0; i < BIOS_OWNER_WRITERS; ++i) {
        BiosOwnerWrite* w = &session->owner_writes[i];
        if (w->cursor != 0 && session->now_ms - w->last_ms > BIOS_OWNER_WRITE_TIMEOUT_MS) w->cursor = 0;
    }
    for (i = 0; i < BIOS_OWNER_WRITERS; ++i)
        if (session->owner_writes[i].cursor != 0 && session->owner_writes[i].opener == session->opener)
            return &session->owner_writes[i];
    for (i = 0; i < BIOS_OWNER_WRITERS; ++i) {
        BiosOwnerWrite* w = &session->owner_writes[i];
        if (w->cursor == 0) return w;
        if (session->now_ms - w->last_ms > session->now_ms - oldest->last_ms) oldest = w;
    }
    oldest->cursor = 0;
    return oldest;
}

/* Any other request from the same opener ends its write: blocks carry no number, so a
 * write that failed half-way must not shift the next one. Other openers' requests
 * leave it alone. */
static void end_owner_write(BiosCoreSession* session) {
    size_t i;
    for (i = 0; i < BIOS_OWNER_WRITERS; ++i)
        if (session->owner_writes[i].opener == session->opener) session->owner_writes[i].cursor = 0;
}

/* Owner-string blocks arrive in order; a block holding a zero byte, or the sixteenth,
 * ends the text. Only then does the text replace the stored one. */
static void write_owner_block(BiosCoreState* state, BiosCoreSession* session, const uint8_t* request) {
    BiosOwnerWrite* w = owner_write_of(session);
    uint8_t* block = w->blocks + (size_t)w->cursor * BIOS_OWNER_BLOCK_SIZE;
    size_t i;
    int ends = 0;
    size_t used;
    copy(block, request + 1, BIOS_OWNER_BLOCK_SIZE);
    for (i = 0; i < BIOS_OWNER_BLOCK_SIZE; ++i)
        if (block[i] == 0) ends = 1;
    w->opener = session->opener;
    w->last_ms = session->now_ms;
    w->cursor++;
    if (!ends && w->cursor < BIOS_OWNER_BLOCKS) return;
    used = (size_t)w->cursor * BIOS_OWNER_BLOCK_SIZE;
    copy(state->owner, w->blocks, used);
    fill(state->owner + used, sizeof(state->owner) - used, 0);
    w->cursor = 0;
}

static int is_password_function(uint8_t function) {
    return (function >= 0x82 && function <= 0x87) || function == 0xAE || function == 0xAF;
}

int bios_core_handle(BiosCoreState* state, BiosCoreSession* session, const uint8_t request[BIOS_REQUEST_SIZE],
                     uint8_t reply[BIOS_REPLY_SIZE]) {
    size_t i;
    const uint8_t function = request[0];
    fill(reply, BIOS_REPLY_SIZE, 0);
    if (function != 0x88) end_owner_write(session);
    if (state->locked && is_password_function(function)) {
        reply[0] = BIOS_LOCKED;
        return 0;
    }

    switch (function) {
    case 0x80:
        copy(reply, state->version, BIOS_VERSION_SIZE);
        return 0;
    case 0x82:
        reply[0] = state->user_pwd.set;
        return 0;
    case 0x83:
        reply[0] = write_user_password(state, session, request);
        return 0;
    case 0x84:
        reply[0] = attempt(&state->user_pwd, &session->wrong_user_checks, request + 1, kClear);
        return 0;
    case 0x85:
        reply[0] = state->supervisor_pwd.set;
        return 0;
    case 0x86:
        reply[0] = state->supervisor_pwd.set ? (uint8_t)BIOS_ALREADY_SET
                                             : register_password(&state->supervisor_pwd, session, request + 1);
        return 0;
    case 0x87:
        reply[0] = attempt(&state->supervisor_pwd, &session->wrong_checks, request + 1, kClear);
        return 0;
    case 0x88:
        write_owner_block(state, session, request);
        return 0;
    case 0x89:
        /* The block number fills every parameter byte; anything past the last block reads as empty. */
        if (request[1] < BIOS_OWNER_BLOCKS)
            copy(reply, state->owner + (size_t)request[1] * BIOS_OWNER_BLOCK_SIZE, BIOS_OWNER_BLOCK_SIZE);
        return 0;
    case 0x8A:
        copy(reply, state->scu, BIOS_SCU_ITEMS);
        return 0;
    case 0x8B:
        for (i = 0; i < BIOS_SCU_ITEMS; ++i)
            if (request[1 + i] != 0xFF) state->scu[i] = request[1 + i];
        return 0;
    case 0x91:
        for (i = 0; i < BIOS_IO_DEVICES; ++i)
            if (request[1 + i] != 0xFF) state->io_dev[i] = request[1 + i];
        return 0;
    case 0x92:
        copy(reply, state->boot, BIOS_BOOT_DEVICES);
        return 0;
    case 0x93:
        for (i = 0; i < BIOS_BOOT_DEVICES; ++i)
            if (request[1 + i] != 0xFF) state->boot[i] = request[1 + i];
        return 0;
    case 0x97:
        reply[0] = state->usb_charge_sleep;
        return 0;
    case 0x98:
        state->usb_charge_sleep = request[1];
        return 0;
    case 0x99:
        reply[0] = state->led_on_off;
        return 0;
    case 0x9A:
        state->led_on_off = request[1];
        return 0;
    case 0xAE:
        reply[0] = attempt(&state->user_pwd, &session->wrong_user_checks, request + 1, kCheck);
        return 0;
    case 0xAF:
        reply[0] = attempt(&state->supervisor_pwd, &session->wrong_checks, request + 1, kCheck);
        return 0;
    case 0xCF:
        copy(reply, state->machine_info, BIOS_MACHINE_INFO_SIZE);
        return 0;
    case BIOS_FN_STANDIN_STATUS:
        reply[0] = session->started;
        reply[1] = state->locked;
        copy(reply + 2, state->io_dev, BIOS_IO_DEVICES);
        return 0;
    default:
        return -1;
    }
}

int bios_core_handle_saved(BiosCoreState* state, BiosCoreSession* session, BiosCoreState* before,
                           const uint8_t request[BIOS_REQUEST_SIZE], uint8_t reply[BIOS_REPLY_SIZE],
                           BiosCoreSave save, void* context) {
    const uint8_t wrong_before = session->wrong_checks;
    const uint8_t wrong_user_before = session->wrong_user_checks;
    size_t i;
    int handled;
    uint8_t diff = 0;
    copy((uint8_t*)before, (const uint8_t*)state, sizeof(*state));
    handled = bios_core_handle(state, session, request, reply);
    for (i = 0; i < sizeof(*state); ++i) diff |= (uint8_t)(((const uint8_t*)state)[i] ^ ((const uint8_t*)before)[i]);
    if (handled == 0 && diff != 0 && save(context, state) != 0) {
        copy((uint8_t*)state, (const uint8_t*)before, sizeof(*state));
        session->wrong_checks = wrong_before;
        session->wrong_user_checks = wrong_user_before;
        fill(reply, BIOS_REPLY_SIZE, 0);
        handled = BIOS_SAVE_FAILED;
    } else if (handled == 0 && diff != 0) {
        session->started = BIOS_START_SAVED;
    }
    /* The copy may hold a password's hash. */
    for (i = 0; i < sizeof(*before); ++i) ((volatile uint8_t*)before)[i] = 0;
    return handled;
}

size_t bios_core_save(const BiosCoreState* state, uint8_t* buffer, size_t size) {
    if (size < sizeof(*state)) return 0;
    copy(buffer, (const uint8_t*)state, sizeof(*state));
    return sizeof(*state);
}

int bios_core_load(BiosCoreState* state, const uint8_t* buffer, size_t size) {
    size_t i;
    const BiosCoreState* saved = (const BiosCoreState*)buffer;
    if (size != sizeof(*state)) return 0;
    for (i = 0; i < sizeof(kMagic); ++i)
        if (saved->magic[i] != kMagic[i]) return 0;
    if (saved->supervisor_pwd.set > 1 || saved->user_pwd.set > 1 || saved->locked > 1) return 0;
    copy((uint8_t*)state, buffer, sizeof(*state));
    return 1;
}

int bios_core_start(BiosCoreState* state, BiosCoreSession* session, const uint8_t* saved, size_t size) {
    bios_core_init(state);
    bios_core_session_init(session);
    if (saved == NULL)
        session->started = BIOS_START_FACTORY;
    else if (bios_core_load(state, saved, size))
        session->started = BIOS_START_SAVED;
    else {
        state->locked = 1;
        session->started = BIOS_START_REFUSED;
    }
    return session->started;
}
