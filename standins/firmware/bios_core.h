#ifndef VANTORA_BIOS_CORE_H
#define VANTORA_BIOS_CORE_H
/*
 * The simulated BIOS behind the firmware-extension driver. Freestanding C: no heap,
 * no C library, so that the kernel driver and the native tests run the same code.
 *
 * One call takes a 33-byte request (byte 0 the function, 1..32 parameters) and fills
 * a 32-byte reply. For the password functions reply byte 0 is a result code:
 */
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    BIOS_OK = 0,
    BIOS_WRONG_PASSWORD = 1,  /* check or delete with keys that do not match */
    BIOS_ALREADY_SET = 2,     /* a supervisor password is registered already */
    BIOS_NOT_SET = 3,         /* check or delete while no password is registered */
    BIOS_EMPTY_PASSWORD = 4,  /* register with no keys: would look like "no password" */
    /* A supervisor check or delete after three wrong ones in a row. The keys are not
     * looked at: the run ends only with a power cycle (a restart of the driver), so
     * guessing through the device directly gets no further than through the program.
     * Not zero, so that no reader takes it for a match. */
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
    BIOS_HASH_SIZE = 32,      /* SHA-256 of the salt and the ten key bytes */
    BIOS_CHECK_TRIES = 3      /* wrong supervisor checks in a row before BIOS_LOCKED */
};

/* A password is kept only as a salted hash, so that the saved state (readable by
 * administrators in the registry) does not give the keys away. */
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
} BiosCoreState;

/* What the machine holds only while it is powered: a restart of the driver begins
 * with a zeroed session. */
typedef struct BiosCoreSession {
    uint8_t owner_cursor; /* next owner block a write fills */
    uint8_t wrong_checks; /* wrong supervisor checks in a row */
    /* The salt of the next password registered. The host puts fresh bytes here before
     * a request that registers one; the core has no source of its own. */
    uint8_t salt[BIOS_SALT_SIZE];
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
 * (and only then). When the save fails, state and session are put back as they were,
 * the reply is all zero and the result is BIOS_SAVE_FAILED, so that the caller sees a
 * failed request rather than a change that a restart would lose. `before` is scratch
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

#ifdef __cplusplus
}
#endif

#endif
