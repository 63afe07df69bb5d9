#include "common/win32/whats_this.h"

#include <windowsx.h>

namespace vantora::win32 {

namespace {

bool isGroupBox(HWND w) {
    char name[16] = {};
    GetClassNameA(w, name, sizeof name);
    return lstrcmpiA(name, "Button") == 0 && (GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// The smallest visible control under the point: a frame only holds the controls that
// lie on it, so it never stands for them.
HWND controlAt(HWND dialog, POINT screen) {
    HWND best = nullptr;
    LONGLONG bestArea = 0;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        if (!IsWindowVisible(c) || isGroupBox(c) || !GetWindowRect(c, &r) || !PtInRect(&r, screen)) continue;
        const LONGLONG area = static_cast<LONGLONG>(r.right - r.left) * (r.bottom - r.top);
        if (!best || area < bestArea) best = c, bestArea = area;
    }
    return best;
}

}  // namespace

bool WhatsThisMode::handle(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_SYSCOMMAND && (w & 0xFFF0) == SC_CONTEXTHELP) {
        active_ = true;
        SetCapture(dialog);
        SetCursor(LoadCursorA(nullptr, IDC_HELP));
        return true;
    }
    if (!active_) return false;
    switch (message) {
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
        SetCursor(LoadCursorA(nullptr, IDC_HELP));
        return true;
    case WM_LBUTTONDOWN: {
        leave();
        POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        ClientToScreen(dialog, &at);
        RECT window;
        if (!GetWindowRect(dialog, &window) || !PtInRect(&window, at)) return true;
        HWND target = controlAt(dialog, at);
        if (!target) target = dialog;
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.iCtrlId = target == dialog ? 0 : GetDlgCtrlID(target);
        info.hItemHandle = target;
        info.dwContextId = GetWindowContextHelpId(target);
        info.MousePos = at;
        SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        if (message == WM_RBUTTONDOWN) leave();
        return true;
    case WM_COMMAND:
        // Esc, which the dialog would take for Cancel, only leaves the mode.
        if (LOWORD(w) != IDCANCEL) return false;
        leave();
        return true;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        active_ = false;
        return false;
    default:
        return false;
    }
}

void WhatsThisMode::leave() {
    active_ = false;
    if (GetCapture()) ReleaseCapture();
}

}  // namespace vantora::win32
