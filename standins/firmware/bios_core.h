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
    BIOS_EMPTY_PASSWORD = 4   /* register with no keys: would look like "no password" */
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
    BIOS_MACHINE_INFO_SIZE = 4
};

/* Only bytes, so the structure has no padding and its bytes are its saved form. */
typedef struct BiosCoreState {
    uint8_t magic[4];
    uint8_t supervisor_pwd[BIOS_PASSWORD_KEYS]; /* all zero: none registered */
    uint8_t user_pwd[BIOS_PASSWORD_KEYS];
    uint8_t scu[BIOS_SCU_ITEMS];
    uint8_t boot[BIOS_BOOT_DEVICES];
    uint8_t io_dev[BIOS_IO_DEVICES];
    uint8_t owner[BIOS_OWNER_BLOCKS * BIOS_OWNER_BLOCK_SIZE];
    uint8_t owner_cursor; /* next owner block a write fills */
    uint8_t usb_charge_sleep;
    uint8_t led_on_off;
    uint8_t version[BIOS_VERSION_SIZE];   /* zero-padded text */
    uint8_t machine_info[BIOS_MACHINE_INFO_SIZE];
} BiosCoreState;

/* A fresh machine: no passwords, boot order 0..5, every I/O device on (1),
 * "VANTORA BIOS 1.00" and machine info 0, LPT + 1394, CPU 1, display 1. */
void bios_core_init(BiosCoreState* state);

/* Returns 0 when the function is known (reply filled), -1 otherwise (reply all zero),
 * so that the driver can fail the request instead of inventing an answer. */
int bios_core_handle(BiosCoreState* state, const uint8_t request[BIOS_REQUEST_SIZE],
                     uint8_t reply[BIOS_REPLY_SIZE]);

/* The saved form: exactly sizeof(BiosCoreState) bytes. save returns the bytes written
 * or 0 when the buffer is too small; load returns 0 and leaves the state untouched
 * when the bytes are not a state this code wrote (wrong size, magic or cursor). */
size_t bios_core_save(const BiosCoreState* state, uint8_t* buffer, size_t size);
int bios_core_load(BiosCoreState* state, const uint8_t* buffer, size_t size);

#ifdef __cplusplus
}
#endif

#endif
