#ifndef VANTORA_BIOS_CORE_H
#define VANTORA_BIOS_CORE_H
/*
 * The simulated BIOS behind the firmware-extension driver. Freestanding C: no heap,
 * no C library, so that the kernel driver and the native tests run the same code.
 *
 * One call takes a 33-byte request (byte 0 the function, 1..32 parameters) and fills
 * a 32-byte reply. For the password functions reply byte 0 is a result code (below).
 *
 * Writing the user password (0x83) over one that is registered while a supervisor
 * password is registered takes the old user password's keys in request bytes 11..20,
 * as firmware setup asks for the old one; a wrong one counts as a wrong user check.
 */
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Cost of one password check: PBKDF2-HMAC-SHA256 iterations. The native unit tests
 * build the core with fewer, since they check hundreds of passwords under sanitizers;
 * the driver refuses to build with fewer than this. */
#ifndef BIOS_KDF_ITERATIONS
#define BIOS_KDF_ITERATIONS 100000
#endif
enum { BIOS_KDF_MIN_ITERATIONS = 100000 };

enum {
    BIOS_OK = 0,
    BIOS_WRONG_PASSWORD = 1,  /* check or delete with keys that do not match */
    BIOS_ALREADY_SET = 2,     /* a supervisor password is registered already */
    BIOS_NOT_SET = 3,         /* check or delete while no password is registered */
    BIOS_EMPTY_PASSWORD = 4,  /* register with no keys: would look like "no password" */
    /* A check or delete after three wrong ones in a row (supervisor and user counted
     * apart). The keys are not looked at: the run ends only with a power cycle (a
     * restart of the driver), so guessing through the device directly gets no further
     * than through the program. Also every password function while the machine runs
     * locked because its saved state was refused (the state reads included, so that a
     * reader sees "registered" rather than "none"). Not zero, so that no reader takes
     * it for a match. */
    BIOS_LOCKED = 5
};

enum {
    BIOS_REQUEST_SIZE = 33,
    BIOS_REPLY_SIZE = 32,
    BIOS_PASSWORD_KEYS = 10,
    BIOS_SCU_ITEMS = 15,     /* items 0..14, written through request bytes 1..15 */
    BIOS_BOOT_DEVICES = 6,
    BIOS_IO_DEVICES = 8,     /* request positions beyond these are ignored */
    BIOS_OWNER_BLOCKS = 16,
    BIOS_OWNER_BLOCK_SIZE = 32,
    BIOS_VERSION_SIZE = 32,
    BIOS_MACHINE_INFO_SIZE = 4,
    BIOS_SALT_SIZE = 16,
    BIOS_HASH_SIZE = 32,      /* PBKDF2-HMAC-SHA256 of the ten key bytes with the salt */
    BIOS_CHECK_TRIES = 3,     /* wrong checks in a row before BIOS_LOCKED */
    /* Owner-string writes in progress at once (one per opener), and how long one may
     * wait for its next block before a new write from the same opener starts over. */
    BIOS_OWNER_WRITERS = 4,
    BIOS_OWNER_WRITE_TIMEOUT_MS = 10000
};

/* Functions of this stand-in only, outside the maker's table. 0xF0 reads what backs the
 * running state: reply byte 0 a BIOS_START_* value (BIOS_START_SAVED also once a change
 * was saved), byte 1 nonzero while it runs
 * locked, bytes 2..9 the I/O devices (which the maker's table only writes), so that the
 * state tool asks the device rather than the registry. */
enum { BIOS_FN_STANDIN_STATUS = 0xF0 };

enum {
    BIOS_START_FACTORY = 0, /* nothing was saved */
    BIOS_START_SAVED = 1,   /* the saved state was taken up */
    BIOS_START_REFUSED = 2  /* the saved bytes failed validation: factory settings, locked */
};

/* A password is kept only as a salted, deliberately slow hash, so that the saved state
 * does not give the keys away and guessing them offline costs a check's work per guess. */
typedef struct BiosPassword {
    uint8_t set; /* 0: none registered, 1: salt and hash are valid */
    uint8_t salt[BIOS_SALT_SIZE];
    uint8_t hash[BIOS_HASH_SIZE];
} BiosPassword;

/* Only bytes, so the structure has no padding and its bytes are its saved form. */
typedef struct BiosCoreState {
    uint8_t magic[4];
    BiosPassword supervisor_pwd;
    BiosPassword user_pwd;
    uint8_t scu[BIOS_SCU_ITEMS];
    uint8_t boot[BIOS_BOOT_DEVICES];
    uint8_t io_dev[BIOS_IO_DEVICES];
    uint8_t owner[BIOS_OWNER_BLOCKS * BIOS_OWNER_BLOCK_SIZE];
    uint8_t usb_charge_sleep;
    uint8_t led_on_off;
    uint8_t version[BIOS_VERSION_SIZE];   /* zero-padded text */
    uint8_t machine_info[BIOS_MACHINE_INFO_SIZE];
    /* 1 after a refused saved state: every password function answers BIOS_LOCKED until
     * the state is reset. Saved, so that a restart does not end it. */
    uint8_t locked;
} BiosCoreState;

/* One opener's owner-string write: its blocks wait here until the last one arrives, so
 * that the saved text is never half old, half new. */
typedef struct BiosOwnerWrite {
    uint32_t opener;
    uint32_t last_ms; /* session->now_ms of its last block */
    uint8_t cursor;   /* blocks received; 0: no write in progress */
    uint8_t blocks[BIOS_OWNER_BLOCKS * BIOS_OWNER_BLOCK_SIZE];
} BiosOwnerWrite;

/* What the machine holds only while it is powered: a restart of the driver begins
 * with a zeroed session. */
typedef struct BiosCoreSession {
    /* Who sends the request and when: the host sets both before each request. The
     * opener is the process, since the maker's class opens the device anew for each
     * request, blocks of one owner string included. */
    uint32_t opener;
    uint32_t now_ms;
    uint8_t wrong_checks;      /* wrong supervisor checks in a row */
    uint8_t wrong_user_checks; /* wrong user checks in a row */
    uint8_t started;           /* BIOS_START_*, BIOS_START_SAVED after a saved change */
    /* The salt of the next password registered. The host puts fresh bytes here before
     * a request that registers one; the core has no source of its own. */
    uint8_t salt[BIOS_SALT_SIZE];
    BiosOwnerWrite owner_writes[BIOS_OWNER_WRITERS];
} BiosCoreSession;
/* A fresh machine: no passwords, boot order 0..5, every I/O device on (1),
 * "VANTORA BIOS 1.00" and machine info 0, LPT + 1394, CPU 1, display 1. */
void bios_core_init(BiosCoreState* state);
void bios_core_session_init(BiosCoreSession* session);

/* Returns 0 when the function is known (reply filled), -1 otherwise (reply all zero),
 * so that the driver can fail the request instead of inventing an answer. */
int bios_core_handle(BiosCoreState* state, BiosCoreSession* session, const uint8_t request[BIOS_REQUEST_SIZE],
                     uint8_t reply[BIOS_REPLY_SIZE]);

/* Stores the saved form somewhere lasting; returns 0 when it did. */
typedef int (*BiosCoreSave)(void* context, const BiosCoreState* state);

enum { BIOS_SAVE_FAILED = -2 };

/* One request as the device answers it: handled, and saved when the saved form changed
 * (and only then). When the save fails, the state and the wrong-try counts are put back
 * as they were, the reply is all zero and the result is BIOS_SAVE_FAILED, so that the caller sees a
 * failed request rather than a change that a restart would lose. An owner-string write
 * whose last block failed is over, not waiting again for that block: a caller's retry
 * starts from the first block. `before` is scratch
 * space for the old state, the caller's so that the core needs no large stack. */
int bios_core_handle_saved(BiosCoreState* state, BiosCoreSession* session, BiosCoreState* before,
                           const uint8_t request[BIOS_REQUEST_SIZE], uint8_t reply[BIOS_REPLY_SIZE],
                           BiosCoreSave save, void* context);

/* The saved form: exactly sizeof(BiosCoreState) bytes. save returns the bytes written
 * or 0 when the buffer is too small; load returns 0 and leaves the state untouched
 * when the bytes are not a state this code wrote (wrong size, magic or password flag),
 * which includes the earlier layout that kept the keys themselves. */
size_t bios_core_save(const BiosCoreState* state, uint8_t* buffer, size_t size);
int bios_core_load(BiosCoreState* state, const uint8_t* buffer, size_t size);

/* The state a machine starts from: the factory state when nothing was saved (saved is
 * NULL), the saved one when it passes bios_core_load, and otherwise the factory state
 * locked. A refused state may be an older layout that held the keys themselves, or a
 * damaged one that held a password: either way no password function may act as if
 * there were none. The caller must save the locked state over the refused bytes, which
 * both erases them and keeps the lock past the next start. Returns a BIOS_START_* value,
 * also kept in the session for the status function. */
int bios_core_start(BiosCoreState* state, BiosCoreSession* session, const uint8_t* saved, size_t size);

#ifdef __cplusplus
}
#endif

#endif
