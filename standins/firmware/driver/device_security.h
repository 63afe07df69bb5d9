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

#ifdef __cplusplus
}
#endif

#endif
