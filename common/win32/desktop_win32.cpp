#include "common/win32/desktop_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "common/win32/system_functions.h"

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
    return later::Shell_NotifyIconA(what, &data) != 0;
}

bool Win32Tray::add(const TrayIconRecord& r) {
    if (!held_) return call(NIM_ADD, r);
    waiting_.push_back(r);
    return true;
}

bool Win32Tray::remove(const TrayIconRecord& r) {
    const auto before = waiting_.size();
    std::erase_if(waiting_, [&](const TrayIconRecord& w) { return w.window == r.window && w.id == r.id; });
    return waiting_.size() != before || call(NIM_DELETE, r);
}

void Win32Tray::release() {
    held_ = false;
    for (const TrayIconRecord& r : waiting_) call(NIM_ADD, r);
    waiting_.clear();
}

bool Win32Windows::ShowWindow(WindowHandle w, int cmd) {
    const HWND window = toHwnd(w);
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) return ::ShowWindow(window, cmd) != 0;
    return ::ShowWindowAsync(window, cmd) != 0;
}

namespace {

// An entry of kernel32 that older systems lack; null where it is missing.
template <class Fn>
Fn kernel32Entry(const char* name) {
    const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
    return kernel32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(kernel32, name))) : nullptr;
}

}  // namespace

// Both calls are looked up, not imported: a system without them must still start the
// programs, which then search as that system always does.
void restrictDllSearch() {
    if (auto setDirectory = kernel32Entry<BOOL(WINAPI*)(LPCSTR)>("SetDllDirectoryA")) setDirectory("");
    if (auto setDefault = kernel32Entry<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories"))
        setDefault(0x00000800 /* LOAD_LIBRARY_SEARCH_SYSTEM32 */ | 0x00000200 /* APPLICATION_DIR */);
}

void Win32Help::showContextPopup(const std::string& file, std::uint32_t context) {
    // Wine's help viewer takes popup requests without showing anything: there the
    // topic opens in the help window instead, so that the user still gets its text.
    static const bool viewerHasPopups = !GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
    ::WinHelpA(owner_, file.c_str(), viewerHasPopups ? HELP_CONTEXTPOPUP : HELP_CONTEXT, context);
}

}  // namespace vantora::win32
