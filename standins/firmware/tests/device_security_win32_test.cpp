// The device's descriptor as Windows reads it. Wine takes the descriptor the driver sets
// on \Device\KdaFwExt but reports an empty one for a handle to the device, so the bytes
// the driver sets are judged here by advapi32 itself: its SDDL form, and whom an access
// check lets in.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <vector>

#include "common/win32/owners.h"
#include "standins/firmware/driver/device_security.h"

namespace {

std::vector<BYTE> deviceSecurity() {
    std::vector<BYTE> sd(FWEXT_DEVICE_SECURITY_SIZE + 8, 0xCD);
    EXPECT_EQ(0u, fwext_device_security(sd.data(), FWEXT_DEVICE_SECURITY_SIZE - 1));
    EXPECT_EQ(std::vector<BYTE>(sd.size(), 0xCD), sd) << "a short buffer was written";
    EXPECT_EQ(size_t(FWEXT_DEVICE_SECURITY_SIZE), fwext_device_security(sd.data(), sd.size()));
    EXPECT_EQ(0xCD, sd[FWEXT_DEVICE_SECURITY_SIZE]) << "written past the descriptor";
    return sd;
}

// Whether the token may open the device for reading and writing, as the I/O manager asks.
// AccessCheck wants an owner and a group, which the driver leaves to the object manager.
bool mayOpen(HANDLE token, const std::vector<BYTE>& relative) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(const_cast<BYTE*>(relative.data()), &present, &dacl, &defaulted);
    BYTE admins[SECURITY_MAX_SID_SIZE];
    DWORD adminsSize = sizeof admins;
    CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &adminsSize);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, present, dacl, FALSE);
    SetSecurityDescriptorOwner(&sd, admins, FALSE);
    SetSecurityDescriptorGroup(&sd, admins, FALSE);
    GENERIC_MAPPING mapping{FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    DWORD wanted = GENERIC_READ | GENERIC_WRITE;
    MapGenericMask(&wanted, &mapping);
    PRIVILEGE_SET privileges;
    DWORD privilegesSize = sizeof privileges;
    DWORD granted = 0;
    BOOL allowed = FALSE;
    EXPECT_TRUE(AccessCheck(&sd, token, wanted, &mapping, &privileges, &privilegesSize, &granted, &allowed))
        << GetLastError();
    return allowed != FALSE;
}

HANDLE impersonation(HANDLE primary) {
    HANDLE token = nullptr;
    DuplicateToken(primary, SecurityImpersonation, &token);
    return token;
}

TEST(DeviceSecurity, ReadsBackAsSystemAndAdministratorsOnly_Protected) {
    std::vector<BYTE> key(FWEXT_KEY_SECURITY_SIZE + 8, 0xCD), wideKey(FWEXT_KEY_SECURITY_WITH_ADMINS_SIZE, 0xCD);
    EXPECT_EQ(0u, fwext_key_security(wideKey.data(), wideKey.size() - 1, 1));
    EXPECT_EQ(size_t(FWEXT_KEY_SECURITY_SIZE), fwext_key_security(key.data(), key.size(), 0));
    EXPECT_EQ(0xCD, key[FWEXT_KEY_SECURITY_SIZE]) << "written past the descriptor";
    EXPECT_EQ(size_t(FWEXT_KEY_SECURITY_WITH_ADMINS_SIZE), fwext_key_security(wideKey.data(), wideKey.size(), 1));
    const struct {
        const char* what;
        std::vector<BYTE> sd;
        DWORD size;
        const char* sddl;
    } cases[] = {
        {"device", deviceSecurity(), FWEXT_DEVICE_SECURITY_SIZE, "D:P(A;;FA;;;SY)(A;;FA;;;BA)"},
        {"state key", key, FWEXT_KEY_SECURITY_SIZE, "D:P(A;;KA;;;SY)"},
        {"state key, opened by its owner", wideKey, FWEXT_KEY_SECURITY_WITH_ADMINS_SIZE, "D:P(A;;KA;;;SY)(A;;KA;;;BA)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BYTE* sd = const_cast<BYTE*>(c.sd.data());
        ASSERT_TRUE(IsValidSecurityDescriptor(sd));
        EXPECT_EQ(c.size, GetSecurityDescriptorLength(sd));
        char* sddl = nullptr;
        ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                                         &sddl, nullptr));
        EXPECT_STREQ(c.sddl, sddl);
        LocalFree(sddl);
    }
}

// The test runs as an administrator; the same user with the Administrators group made
// deny-only stands for an ordinary user.
TEST(DeviceSecurity, AdministratorMayOpen_OrdinaryUserMayNot) {
    const std::vector<BYTE> sd = deviceSecurity();
    HANDLE opened = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &opened));
    const vantora::win32::UniqueHandle process(opened);
    BYTE admins[SECURITY_MAX_SID_SIZE];
    DWORD adminsSize = sizeof admins;
    ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &adminsSize));
    SID_AND_ATTRIBUTES denyAdmins{admins, 0};
    HANDLE made = nullptr;
    ASSERT_TRUE(CreateRestrictedToken(process.get(), 0, 1, &denyAdmins, 0, nullptr, 0, nullptr, &made))
        << GetLastError();
    const vantora::win32::UniqueHandle restricted(made);
    const struct {
        const char* who;
        vantora::win32::UniqueHandle token;
        bool allowed;
    } cases[] = {{"administrator", vantora::win32::UniqueHandle(impersonation(process.get())), true},
                 {"ordinary user", vantora::win32::UniqueHandle(impersonation(restricted.get())), false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(c.token) << c.who;
        EXPECT_EQ(c.allowed, mayOpen(c.token.get(), sd)) << c.who;
    }
}

}  // namespace
