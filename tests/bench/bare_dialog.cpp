// A program's main dialog with none of the program: its template, pictures and manifest,
// made and shown from WinMain, as a benchmark's second yardstick. What a program takes
// beyond this is its own start-up; what this takes beyond a minimal window program is the
// price of the dialog's controls. BARE_DIALOG names the template in the program's "resource.h".
#include <windows.h>
#include <commctrl.h>

#include "resource.h"

namespace {
INT_PTR CALLBACK bareProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_CLOSE) {
        DestroyWindow(dialog);
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(BARE_DIALOG), nullptr, bareProc, 0);
    if (!dialog) return 1;
    ShowWindow(dialog, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
