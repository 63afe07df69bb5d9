// A dialog's list and combo boxes, which answer the same questions with messages of
// their own.
#include "common/win32/dialog_window.h"

namespace vantora::win32 {

void DialogWindow::clearList(std::string_view c) {
    const ControlBinding* b = binding(c);
    if (HWND w = item(c); w && isList(b)) SendMessageA(w, isComboBox(b) ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

void DialogWindow::addItem(std::string_view c, std::string_view text) {
    const ControlBinding* b = binding(c);
    const std::string s(text);
    if (HWND w = item(c); w && isList(b))
        SendMessageA(w, isComboBox(b) ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

int DialogWindow::listCount(std::string_view c) const {
    const ControlBinding* b = binding(c);
    HWND w = item(c);
    if (!w || !isList(b)) return 0;
    const LRESULT n = SendMessageA(w, isComboBox(b) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<int>(n);
}

std::string DialogWindow::listItem(std::string_view c, int index) const {
    const ControlBinding* b = binding(c);
    HWND w = item(c);
    if (!w || !isList(b)) return {};
    const bool combo = isComboBox(b);
    const LRESULT length = SendMessageA(w, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(w, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

int DialogWindow::listIndex(std::string_view c) const {
    const ControlBinding* b = binding(c);
    HWND w = item(c);
    if (!w || !isList(b)) return -1;
    return static_cast<int>(SendMessageA(w, isComboBox(b) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

void DialogWindow::storeListIndex(std::string_view c, int index) {
    const ControlBinding* b = binding(c);
    if (HWND w = item(c); w && isList(b))
        SendMessageA(w, isComboBox(b) ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

}  // namespace vantora::win32
