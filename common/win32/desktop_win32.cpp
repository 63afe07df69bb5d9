#include "common/win32/desktop_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace vantora::win32 {

bool Win32Tray::call(DWORD what, const TrayIconRecord& r) {
    NOTIFYICONDATAA data{};
    // The first-generation record: 88 bytes, a 64-character tip.
    data.cbSize = std::min<DWORD>(r.size, NOTIFYICONDATAA_V1_SIZE);
    data.hWnd = toHwnd(r.window);
    data.uID = r.id;
    data.uFlags = r.flags;
    data.uCallbackMessage = r.callbackMessage;
    data.hIcon = icon_;
    std::strncpy(data.szTip, r.tip.c_str(), 63);
    return ::Shell_NotifyIconA(what, &data) != 0;
}

void restrictDllSearch() {
    ::SetDllDirectoryA("");
    using SetDefault = BOOL(WINAPI*)(DWORD);
    if (HMODULE k = ::GetModuleHandleA("kernel32.dll")) {
        if (auto f = reinterpret_cast<SetDefault>(reinterpret_cast<void*>(::GetProcAddress(k, "SetDefaultDllDirectories"))))
            f(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */ | 0x00000200 /* APPLICATION_DIR */);
    }
}

}  // namespace vantora::win32
