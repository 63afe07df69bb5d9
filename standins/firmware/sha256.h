#ifndef VANTORA_SHA256_H
#define VANTORA_SHA256_H
/*
 * SHA-256 (FIPS 180-4) in freestanding C for the simulated BIOS: no heap, no C library,
 * so that the kernel driver can hash passwords with the code the native tests check.
 */
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { SHA256_DIGEST_SIZE = 32, SHA256_BLOCK_SIZE = 64 };

typedef struct Sha256 {
    uint32_t h[8];
    uint64_t length; /* bytes taken so far */
    uint8_t block[SHA256_BLOCK_SIZE];
    size_t used;     /* bytes waiting in block */
} Sha256;

void sha256_init(Sha256* ctx);
void sha256_update(Sha256* ctx, const uint8_t* data, size_t size);
/* Writes the digest and wipes the context, which may have held a password. */
void sha256_final(Sha256* ctx, uint8_t digest[SHA256_DIGEST_SIZE]);

/* PBKDF2-HMAC-SHA256 (RFC 8018) giving one 32-byte block, all a password hash needs.
 * The password may be at most one SHA-256 block long (64 bytes): longer keys would first
 * be hashed, and no caller has them. Returns 0, or -1 (nothing written) for a longer one. */
int pbkdf2_sha256(const uint8_t* password, size_t password_size, const uint8_t* salt, size_t salt_size,
                  uint32_t iterations, uint8_t key[SHA256_DIGEST_SIZE]);

#ifdef __cplusplus
}
#endif

#endif
