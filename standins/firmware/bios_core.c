#include "bios_core.h"

#include "sha256.h"

/* VBC1 kept the password keys as they were typed; such a state is not taken up. */
static const uint8_t kMagic[4] = {'V', 'B', 'C', '2'};
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
    Sha256 ctx;
    sha256_init(&ctx);
    sha256_update(&ctx, salt, BIOS_SALT_SIZE);
    sha256_update(&ctx, keys, BIOS_PASSWORD_KEYS);
    sha256_final(&ctx, hash);
}

static int password_matches(const BiosPassword* stored, const uint8_t* request) {
    uint8_t offered[BIOS_HASH_SIZE];
    uint8_t diff = 0;
    size_t i;
    hash_keys(stored->salt, request + 1, offered);
    /* Every byte compared, so that the time taken tells nothing about the keys. */
    for (i = 0; i < BIOS_HASH_SIZE; ++i) diff |= (uint8_t)(stored->hash[i] ^ offered[i]);
    for (i = 0; i < BIOS_HASH_SIZE; ++i) ((volatile uint8_t*)offered)[i] = 0;
    return diff == 0;
}

static uint8_t check_password(const BiosPassword* stored, const uint8_t* request) {
    if (!stored->set) return BIOS_NOT_SET;
    return password_matches(stored, request) ? BIOS_OK : BIOS_WRONG_PASSWORD;
}

static uint8_t clear_password(BiosPassword* stored, const uint8_t* request) {
    uint8_t code = check_password(stored, request);
    if (code == BIOS_OK) fill((uint8_t*)stored, sizeof(*stored), 0);
    return code;
}

static uint8_t register_password(BiosPassword* stored, const BiosCoreSession* session, const uint8_t* request) {
    if (keys_empty(request + 1)) return BIOS_EMPTY_PASSWORD;
    copy(stored->salt, session->salt, BIOS_SALT_SIZE);
    hash_keys(stored->salt, request + 1, stored->hash);
    stored->set = 1;
    return BIOS_OK;
}

/* Both supervisor functions that take keys count towards the lock, deleting included:
 * otherwise a delete with guessed keys would be a check without a limit. */
static uint8_t supervisor_attempt(BiosCoreState* state, BiosCoreSession* session, const uint8_t* request,
                                  int clear) {
    uint8_t code;
    if (session->wrong_checks >= BIOS_CHECK_TRIES) return BIOS_LOCKED;
    code = clear ? clear_password(&state->supervisor_pwd, request) : check_password(&state->supervisor_pwd, request);
    if (code == BIOS_WRONG_PASSWORD) session->wrong_checks++;
    if (code == BIOS_OK) session->wrong_checks = 0;
    return code;
}

/* Owner-string writes carry no block number: blocks arrive in order, and a block
 * holding a zero byte ends the text. Any other request in between starts the next
 * write from block 0 again, so a write that failed half-way cannot shift the next. */
static void write_owner_block(BiosCoreState* state, BiosCoreSession* session, const uint8_t* request) {
    size_t i;
    int ends = 0;
    uint8_t* block;
    if (session->owner_cursor >= BIOS_OWNER_BLOCKS) session->owner_cursor = 0;
    block = state->owner + (size_t)session->owner_cursor * BIOS_OWNER_BLOCK_SIZE;
    copy(block, request + 1, BIOS_OWNER_BLOCK_SIZE);
    for (i = 0; i < BIOS_OWNER_BLOCK_SIZE; ++i)
        if (block[i] == 0) ends = 1;
    session->owner_cursor++;
    if (ends) {
        fill(state->owner + (size_t)session->owner_cursor * BIOS_OWNER_BLOCK_SIZE,
             (size_t)(BIOS_OWNER_BLOCKS - session->owner_cursor) * BIOS_OWNER_BLOCK_SIZE, 0);
        session->owner_cursor = 0;
    }
    if (session->owner_cursor >= BIOS_OWNER_BLOCKS) session->owner_cursor = 0;
}

int bios_core_handle(BiosCoreState* state, BiosCoreSession* session, const uint8_t request[BIOS_REQUEST_SIZE],
                     uint8_t reply[BIOS_REPLY_SIZE]) {
    size_t i;
    const uint8_t function = request[0];
    fill(reply, BIOS_REPLY_SIZE, 0);
    if (function != 0x88) session->owner_cursor = 0;

    switch (function) {
    case 0x80:
        copy(reply, state->version, BIOS_VERSION_SIZE);
        return 0;
    case 0x82:
        reply[0] = state->user_pwd.set;
        return 0;
    case 0x83:
        reply[0] = register_password(&state->user_pwd, session, request);
        return 0;
    case 0x84:
        reply[0] = clear_password(&state->user_pwd, request);
        return 0;
    case 0x85:
        reply[0] = state->supervisor_pwd.set;
        return 0;
    case 0x86:
        reply[0] = state->supervisor_pwd.set ? (uint8_t)BIOS_ALREADY_SET
                                             : register_password(&state->supervisor_pwd, session, request);
        return 0;
    case 0x87:
        reply[0] = supervisor_attempt(state, session, request, 1);
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
        reply[0] = check_password(&state->user_pwd, request);
        return 0;
    case 0xAF:
        reply[0] = supervisor_attempt(state, session, request, 0);
        return 0;
    case 0xCF:
        copy(reply, state->machine_info, BIOS_MACHINE_INFO_SIZE);
        return 0;
    default:
        return -1;
    }
}

int bios_core_handle_saved(BiosCoreState* state, BiosCoreSession* session, BiosCoreState* before,
                           const uint8_t request[BIOS_REQUEST_SIZE], uint8_t reply[BIOS_REPLY_SIZE],
                           BiosCoreSave save, void* context) {
    const BiosCoreSession session_before = *session;
    size_t i;
    int handled;
    uint8_t diff = 0;
    copy((uint8_t*)before, (const uint8_t*)state, sizeof(*state));
    handled = bios_core_handle(state, session, request, reply);
    for (i = 0; i < sizeof(*state); ++i) diff |= (uint8_t)(((const uint8_t*)state)[i] ^ ((const uint8_t*)before)[i]);
    if (handled == 0 && diff != 0 && save(context, state) != 0) {
        copy((uint8_t*)state, (const uint8_t*)before, sizeof(*state));
        *session = session_before;
        fill(reply, BIOS_REPLY_SIZE, 0);
        handled = BIOS_SAVE_FAILED;
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
    if (saved->supervisor_pwd.set > 1 || saved->user_pwd.set > 1) return 0;
    copy((uint8_t*)state, buffer, sizeof(*state));
    return 1;
}
