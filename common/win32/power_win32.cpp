#include "common/win32/power_win32.h"

#include <windows.h>

#include "common/win32/owners.h"

namespace vantora::win32 {

bool Win32Power::enablePrivilege(const char* privilege) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    const UniqueHandle owned(token);
    TOKEN_PRIVILEGES privileges{};
    if (!LookupPrivilegeValueA(nullptr, privilege, &privileges.Privileges[0].Luid)) return false;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // AdjustTokenPrivileges succeeds even when it could not assign the privilege; only
    // the last error tells.
    SetLastError(ERROR_SUCCESS);
    if (!AdjustTokenPrivileges(owned.get(), FALSE, &privileges, 0, nullptr, nullptr)) return false;
    return GetLastError() == ERROR_SUCCESS;
}

bool Win32Power::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
    return ::ExitWindowsEx(flags, reason) != 0;
}

}  // namespace vantora::win32
