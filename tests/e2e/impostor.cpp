// A program that passes for one of ours by its file name alone: copied under the name of
// BASTIONE.exe, MERIDALE.exe or Keyloom.exe, it takes that program's single-copy token
// as the program itself takes it and publishes a window where the program publishes its
// own (the common module, or the launcher's registry value), as a user's malware could.
// It stays until its window is closed.
#include <windows.h>

#include <string>

#include "common/win32/single_copy_win32.h"

namespace {

using vantora::win32::SingleCopyBoundary;

struct Imitated {
    const char* program;
    const char* token;
    SingleCopyBoundary boundary;
    const char* windowClass;
    const char* caption;
    const char* registration;  // the common module's export; none: the registry value
};

constexpr Imitated kImitated[] = {
    {"BASTIONE.exe", "Vantora.BASTIONE.SingleCopy", SingleCopyBoundary::Administrators, "#32770",
     "Supervisor Password Utility", "RegSupervisorPwd"},
    {"MERIDALE.exe", "Vantora.MERIDALE.SingleCopy", SingleCopyBoundary::Administrators, "#32770",
     "VANTORA Accessibility", "RegAccessibility"},
    {"Keyloom.exe", "Vantora.Keyloom.SingleCopy", SingleCopyBoundary::User, "Vantora.Keyloom.Form1", "Keyloom",
     nullptr},
};

LRESULT CALLBACK quitOnClose(HWND w, UINT m, WPARAM wParam, LPARAM lParam) {
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(w, m, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string self(path), folder = self.substr(0, self.rfind('\\')), name = self.substr(self.rfind('\\') + 1);
    const Imitated* imitated = nullptr;
    for (const Imitated& i : kImitated)
        if (lstrcmpiA(i.program, name.c_str()) == 0) imitated = &i;
    if (!imitated) return 2;

    vantora::win32::Win32SingleCopy token(imitated->token, imitated->boundary);
    if (token.anotherCopyRunning()) return 3;
    // And the bare name, as a squatter that guesses rather than knows would take it.
    const vantora::win32::UniqueHandle bare(CreateMutexA(nullptr, FALSE, imitated->token));

    WNDCLASSA wc{};
    wc.lpfnWndProc = quitOnClose;
    wc.hInstance = instance;
    wc.lpszClassName = imitated->windowClass;
    if (imitated->registration == nullptr && !RegisterClassA(&wc)) return 4;
    const HWND window = CreateWindowExA(0, imitated->windowClass, imitated->caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        100, 100, 300, 200, nullptr, nullptr, instance, nullptr);
    if (!window) return 5;
    // The dialog class's own procedure does not end the program with its window.
    if (imitated->registration) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(quitOnClose));
    const DWORD handle = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(window));

    if (imitated->registration) {
        const HMODULE corelink = LoadLibraryA((folder + "\\CORELINK.dll").c_str());
        using Register = LONG(WINAPI*)(DWORD);
        const auto reg = corelink ? reinterpret_cast<Register>(reinterpret_cast<void (*)()>(
                                        GetProcAddress(corelink, imitated->registration)))
                                  : nullptr;
        if (!reg) return 6;
        reg(handle);
    } else {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Vantora", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return 7;
        RegSetValueExA(key, "Keyloom", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&handle), sizeof handle);
        RegCloseKey(key);
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
