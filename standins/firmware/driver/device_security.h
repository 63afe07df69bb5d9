#ifndef VANTORA_DEVICE_SECURITY_H
#define VANTORA_DEVICE_SECURITY_H
/*
 * Who may open \\.\KdaFwExt: the system and administrators, with every file right, and
 * nothing inherited from above; in SDDL, D:P(A;;FA;;;SY)(A;;FA;;;BA). Written as bytes in
 * freestanding C, without the kernel's security routines, so that a Win32 test can hand
 * the very bytes the driver sets to Windows' own reader of descriptors: Wine accepts a
 * device's descriptor but neither enforces it nor reports it through a handle.
 */
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Header 20, ACL header 8, ACE for SY 20, ACE for BA 24. */
enum { FWEXT_DEVICE_SECURITY_SIZE = 72 };

/* Writes the descriptor in self-relative form; returns its size, or 0 (nothing written)
 * when the buffer is too small. */
size_t fwext_device_security(uint8_t* buffer, size_t size);

/* Who may open the registry key that holds the saved state: the system alone, with every
 * key right, D:P(A;;KA;;;SY), so that administrators cannot read the password hashes to
 * guess at them offline. With admins_too the administrators get the same rights,
 * D:P(A;;KA;;;SY)(A;;KA;;;BA): the driver sets that for a moment where it does not run
 * as the system (Wine), to open its own key, and narrows it again at once. */
enum { FWEXT_KEY_SECURITY_SIZE = 48, FWEXT_KEY_SECURITY_WITH_ADMINS_SIZE = 72 };
size_t fwext_key_security(uint8_t* buffer, size_t size, int admins_too);

#ifdef __cplusplus
}
#endif

#endif
