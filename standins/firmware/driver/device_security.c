#include "device_security.h"

enum {
    kHeaderSize = 20,
    kAclHeaderSize = 8,
    kSelfRelativeProtectedDacl = 0x9004, /* SE_SELF_RELATIVE | SE_DACL_PROTECTED | SE_DACL_PRESENT */
    kFileAllAccess = 0x001F01FF,
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
static uint8_t* put_allow_ace(uint8_t* p, const uint32_t* rids, uint8_t count) {
    uint8_t i;
    *p++ = 0; /* ACCESS_ALLOWED_ACE_TYPE */
    *p++ = 0; /* not inherited, not inheritable */
    p = put16(p, 8u + 8u + 4u * count);
    p = put32(p, kFileAllAccess);
    *p++ = 1; /* SID revision */
    *p++ = count;
    for (i = 0; i < 5; ++i) *p++ = 0;
    *p++ = kNtAuthority;
    for (i = 0; i < count; ++i) p = put32(p, rids[i]);
    return p;
}

size_t fwext_device_security(uint8_t* buffer, size_t size) {
    static const uint32_t kSystem[] = {kLocalSystemRid};
    static const uint32_t kAdmins[] = {kBuiltinDomainRid, kAdminsAliasRid};
    uint8_t* p = buffer;
    if (size < FWEXT_DEVICE_SECURITY_SIZE) return 0;
    *p++ = 1; /* SECURITY_DESCRIPTOR_REVISION */
    *p++ = 0;
    p = put16(p, kSelfRelativeProtectedDacl);
    p = put32(p, 0); /* owner and group: the object manager's defaults */
    p = put32(p, 0);
    p = put32(p, 0); /* no SACL */
    p = put32(p, kHeaderSize);
    *p++ = 2; /* ACL_REVISION */
    *p++ = 0;
    p = put16(p, FWEXT_DEVICE_SECURITY_SIZE - kHeaderSize);
    p = put16(p, 2);
    p = put16(p, 0);
    p = put_allow_ace(p, kSystem, 1);
    p = put_allow_ace(p, kAdmins, 2);
    return (size_t)(p - buffer);
}
