#include "device_security.h"

enum {
    kHeaderSize = 20,
    kAclHeaderSize = 8,
    kSelfRelativeProtectedDacl = 0x9004, /* SE_SELF_RELATIVE | SE_DACL_PROTECTED | SE_DACL_PRESENT */
    kFileAllAccess = 0x001F01FF,
    kKeyAllAccess = 0x000F003F,
    kNtAuthority = 5,
    kLocalSystemRid = 18,
    kBuiltinDomainRid = 32,
    kAdminsAliasRid = 544
};

static uint8_t* put16(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    return p + 2;
}

static uint8_t* put32(uint8_t* p, uint32_t v) {
    p = put16(p, v & 0xFFFF);
    return put16(p, v >> 16);
}

/* An access-allowed ACE for S-1-5-<rids...>. */
static uint8_t* put_allow_ace(uint8_t* p, uint32_t mask, const uint32_t* rids, uint8_t count) {
    uint8_t i;
    *p++ = 0; /* ACCESS_ALLOWED_ACE_TYPE */
    *p++ = 0; /* not inherited, not inheritable */
    p = put16(p, 8u + 8u + 4u * count);
    p = put32(p, mask);
    *p++ = 1; /* SID revision */
    *p++ = count;
    for (i = 0; i < 5; ++i) *p++ = 0;
    *p++ = kNtAuthority;
    for (i = 0; i < count; ++i) p = put32(p, rids[i]);
    return p;
}

static const uint32_t kSystem[] = {kLocalSystemRid};
static const uint32_t kAdmins[] = {kBuiltinDomainRid, kAdminsAliasRid};

/* SYSTEM, and the administrators when asked, with one access mask each. */
static size_t put_descriptor(uint8_t* buffer, size_t size, uint32_t mask, int admins_too) {
    const size_t total = admins_too ? FWEXT_DEVICE_SECURITY_SIZE : FWEXT_KEY_SECURITY_SIZE;
    uint8_t* p = buffer;
    if (size < total) return 0;
    *p++ = 1; /* SECURITY_DESCRIPTOR_REVISION */
    *p++ = 0;
    p = put16(p, kSelfRelativeProtectedDacl);
    p = put32(p, 0); /* owner and group: the object manager's defaults */
    p = put32(p, 0);
    p = put32(p, 0); /* no SACL */
    p = put32(p, kHeaderSize);
    *p++ = 2; /* ACL_REVISION */
    *p++ = 0;
    p = put16(p, (uint32_t)(total - kHeaderSize));
    p = put16(p, admins_too ? 2 : 1);
    p = put16(p, 0);
    p = put_allow_ace(p, mask, kSystem, 1);
    if (admins_too) p = put_allow_ace(p, mask, kAdmins, 2);
    return (size_t)(p - buffer);
}

size_t fwext_device_security(uint8_t* buffer, size_t size) {
    return put_descriptor(buffer, size, kFileAllAccess, 1);
}

size_t fwext_key_security(uint8_t* buffer, size_t size, int admins_too) {
    return put_descriptor(buffer, size, kKeyAllAccess, admins_too);
}
