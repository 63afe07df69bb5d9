// Where a dialog's controls lie: the template fitted to the font it was laid out for,
// and bounds in twips relative to the frame a control lies in.
#include "common/win32/dialog_window.h"

#include <algorithm>

#include "common/win32/system_functions.h"

namespace vantora::win32 {

void DialogWindow::fitToDesignBaseUnits() {
    RECT units{0, 0, 4, 8};
    if (!MapDialogRect(hwnd_, &units) || units.right <= 0 || units.bottom <= 0) return;
    const int dpi = screenDpi();
    const int wantX = MulDiv(designBaseX_, dpi, 96), wantY = MulDiv(designBaseY_, dpi, 96);
    if (units.right == wantX && units.bottom == wantY) return;
    const auto x = [&](LONG v) { return MulDiv(v, wantX, units.right); };
    const auto y = [&](LONG v) { return MulDiv(v, wantY, units.bottom); };
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        const LONG screenTop = r.top;
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        // A drop-down list's template height includes its list; its window is only the closed box.
        // Its dropped rectangle is in screen coordinates. Wine answers 0 for success and
        // leaves the closed box out of the height, so the list comes out one box shorter there.
        RECT dropped{};
        GetWindowRect(child, &dropped);
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "ComboBox") == 0) {
            SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            r.bottom = std::max(r.bottom, r.top + (dropped.bottom - screenTop));
        }
        // Nothing is drawn yet and no control needs to be asked: a third cheaper under Wine.
        SetWindowPos(child, nullptr, x(r.left), y(r.top), x(r.right - r.left), y(r.bottom - r.top),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOSENDCHANGING | SWP_NOCOPYBITS);
    }
    RECT client{};
    GetClientRect(hwnd_, &client);
    RECT outer{0, 0, x(client.right), y(client.bottom)};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT DialogWindow::clientRect(HWND control) const {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT DialogWindow::containerOrigin(const ControlBinding* b) const {
    HWND frame = b && !b->container.empty() ? item(b->container) : nullptr;
    if (!frame) return {0, 0};
    const RECT r = clientRect(frame);
    return {r.left, r.top};
}

void DialogWindow::moveContents(std::string_view frame, int dx, int dy) {
    for (const ControlBinding& b : controls_) {
        if (b.container != frame) continue;
        if (HWND w = GetDlgItem(hwnd_, b.id)) {
            const RECT r = clientRect(w);
            MoveWindow(w, r.left + dx, r.top + dy, r.right - r.left, r.bottom - r.top, TRUE);
        }
        moveContents(b.name, dx, dy);
    }
}

void DialogWindow::setBounds(std::string_view c, ui::Rect r) {
    HWND w = item(c);
    if (!w || w == hwnd_) return;
    const int tx = twipsPerPixelX(), ty = twipsPerPixelY();
    const POINT origin = containerOrigin(binding(c));
    const RECT before = clientRect(w);
    const int x = origin.x + r.left / tx, y = origin.y + r.top / ty;
    MoveWindow(w, x, y, r.width / tx, r.height / ty, TRUE);
    if (x != before.left || y != before.top) moveContents(c, x - before.left, y - before.top);
}

ui::Rect DialogWindow::bounds(std::string_view c) const {
    HWND w = item(c);
    if (!w) return {};
    if (w == hwnd_) return formBounds();
    const RECT r = clientRect(w);
    const POINT origin = containerOrigin(binding(c));
    const int tx = twipsPerPixelX(), ty = twipsPerPixelY();
    return {(r.left - origin.x) * tx, (r.top - origin.y) * ty, (r.right - r.left) * tx, (r.bottom - r.top) * ty};
}

}  // namespace vantora::win32
