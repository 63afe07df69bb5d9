#include "sha256.h"

static const uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

static uint32_t rotr(uint32_t x, unsigned n) { return (x >> n) | (x << (32 - n)); }

static void compress(uint32_t h[8], const uint8_t block[SHA256_BLOCK_SIZE]) {
    uint32_t w[64];
    uint32_t v[8];
    unsigned i;
    for (i = 0; i < 16; ++i)
        w[i] = (uint32_t)block[4 * i] << 24 | (uint32_t)block[4 * i + 1] << 16 | (uint32_t)block[4 * i + 2] << 8 |
               (uint32_t)block[4 * i + 3];
    for (i = 16; i < 64; ++i) {
        const uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    for (i = 0; i < 8; ++i) v[i] = h[i];
    for (i = 0; i < 64; ++i) {
        const uint32_t s1 = rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25);
        const uint32_t ch = (v[4] & v[5]) ^ (~v[4] & v[6]);
        const uint32_t t1 = v[7] + s1 + ch + kRound[i] + w[i];
        const uint32_t s0 = rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22);
        const uint32_t maj = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
        v[7] = v[6];
        v[6] = v[5];
        v[5] = v[4];
        v[4] = v[3] + t1;
        v[3] = v[2];
        v[2] = v[1];
        v[1] = v[0];
        v[0] = t1 + s0 + maj;
    }
    for (i = 0; i < 8; ++i) h[i] += v[i];
    /* The schedule is derived from the message, which may be a password. */
    for (i = 0; i < 64; ++i) ((volatile uint32_t*)w)[i] = 0;
}

void sha256_init(Sha256* ctx) {
    static const uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    unsigned i;
    for (i = 0; i < 8; ++i) ctx->h[i] = kInitial[i];
    ctx->length = 0;
    ctx->used = 0;
}

void sha256_update(Sha256* ctx, const uint8_t* data, size_t size) {
    size_t i;
    for (i = 0; i < size; ++i) {
        ctx->block[ctx->used++] = data[i];
        if (ctx->used == SHA256_BLOCK_SIZE) {
            compress(ctx->h, ctx->block);
            ctx->used = 0;
        }
    }
    ctx->length += size;
}

void sha256_final(Sha256* ctx, uint8_t digest[SHA256_DIGEST_SIZE]) {
    const uint64_t bits = ctx->length * 8;
    unsigned i;
    ctx->block[ctx->used++] = 0x80;
    if (ctx->used > SHA256_BLOCK_SIZE - 8) {
        while (ctx->used < SHA256_BLOCK_SIZE) ctx->block[ctx->used++] = 0;
        compress(ctx->h, ctx->block);
        ctx->used = 0;
    }
    while (ctx->used < SHA256_BLOCK_SIZE - 8) ctx->block[ctx->used++] = 0;
    for (i = 0; i < 8; ++i) ctx->block[SHA256_BLOCK_SIZE - 1 - i] = (uint8_t)(bits >> (8 * i));
    compress(ctx->h, ctx->block);
    for (i = 0; i < SHA256_DIGEST_SIZE; ++i) digest[i] = (uint8_t)(ctx->h[i / 4] >> (24 - 8 * (i % 4)));
    for (i = 0; i < sizeof(*ctx); ++i) ((volatile uint8_t*)ctx)[i] = 0;
}

static void wipe_bytes(void* p, size_t n) {
    size_t i;
    for (i = 0; i < n; ++i) ((volatile uint8_t*)p)[i] = 0;
}

/* The contexts after the padded key's block, so that each iteration costs two
 * compressions instead of four: the whole point of the count is the cost per guess,
 * and it should be spent on iterations, not on rehashing the key. */
static void hmac_keyed(const uint8_t* key, size_t key_size, Sha256* inner, Sha256* outer) {
    uint8_t pad[SHA256_BLOCK_SIZE];
    size_t i;
    for (i = 0; i < SHA256_BLOCK_SIZE; ++i) pad[i] = (uint8_t)((i < key_size ? key[i] : 0) ^ 0x36);
    sha256_init(inner);
    sha256_update(inner, pad, SHA256_BLOCK_SIZE);
    for (i = 0; i < SHA256_BLOCK_SIZE; ++i) pad[i] ^= 0x36 ^ 0x5c;
    sha256_init(outer);
    sha256_update(outer, pad, SHA256_BLOCK_SIZE);
    wipe_bytes(pad, sizeof(pad));
}

static void hmac_finish(const Sha256* keyed_inner, const Sha256* keyed_outer, const uint8_t* data, size_t size,
                        const uint8_t* more, size_t more_size, uint8_t mac[SHA256_DIGEST_SIZE]) {
    Sha256 ctx = *keyed_inner;
    uint8_t inner[SHA256_DIGEST_SIZE];
    sha256_update(&ctx, data, size);
    sha256_update(&ctx, more, more_size);
    sha256_final(&ctx, inner);
    ctx = *keyed_outer;
    sha256_update(&ctx, inner, sizeof(inner));
    sha256_final(&ctx, mac);
    wipe_bytes(inner, sizeof(inner));
}

int pbkdf2_sha256(const uint8_t* password, size_t password_size, const uint8_t* salt, size_t salt_size,
                  uint32_t iterations, uint8_t key[SHA256_DIGEST_SIZE]) {
    static const uint8_t kFirstBlock[4] = {0, 0, 0, 1};
    Sha256 inner;
    Sha256 outer;
    uint8_t u[SHA256_DIGEST_SIZE];
    uint32_t n;
    size_t i;
    if (password_size > SHA256_BLOCK_SIZE) return -1;
    hmac_keyed(password, password_size, &inner, &outer);
    hmac_finish(&inner, &outer, salt, salt_size, kFirstBlock, sizeof(kFirstBlock), u);
    for (i = 0; i < SHA256_DIGEST_SIZE; ++i) key[i] = u[i];
    for (n = 1; n < iterations; ++n) {
        hmac_finish(&inner, &outer, u, sizeof(u), u, 0, u);
        for (i = 0; i < SHA256_DIGEST_SIZE; ++i) key[i] ^= u[i];
    }
    wipe_bytes(&inner, sizeof(inner));
    wipe_bytes(&outer, sizeof(outer));
    wipe_bytes(u, sizeof(u));
    return 0;
}
