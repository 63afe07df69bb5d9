#include "common/win32/control_kinds_win32.h"

#include <algorithm>

namespace vantora::win32 {

namespace {

// The edit control's own procedure stays; a filter may stand in front of it.
constexpr char kFilterProperty[] = "Vantora.MessageFilter";

std::optional<ui::ControlMessage::Kind> kindOf(UINT m) {
    using K = ui::ControlMessage::Kind;
    switch (m) {
    case WM_KEYDOWN: return K::KeyDown;
    case WM_KEYUP: return K::KeyUp;
    case WM_SYSKEYDOWN: return K::SysKeyDown;
    case WM_SYSKEYUP: return K::SysKeyUp;
    case WM_CHAR: return K::Char;
    case WM_PASTE: return K::Paste;
    case WM_CUT: return K::Cut;
    case WM_COPY: return K::Copy;
    case WM_UNDO:
    case EM_UNDO: return K::Undo;
    case WM_CONTEXTMENU: return K::ContextMenu;
    case WM_LBUTTONDOWN: return K::LeftButtonDown;
    case WM_LBUTTONUP: return K::LeftButtonUp;
    case WM_LBUTTONDBLCLK: return K::LeftButtonDoubleClick;
    case WM_RBUTTONDOWN: return K::RightButtonDown;
    case WM_RBUTTONUP: return K::RightButtonUp;
    case EM_SETPASSWORDCHAR: return K::Unmask;
    default: return std::nullopt;
    }
}

class TextBoxKind final : public ui::TextBox {
public:
    explicit TextBoxKind(HWND w) : w_(w) {}
    ~TextBoxKind() override { unhook(); }
    TextBoxKind(const TextBoxKind&) = delete;
    TextBoxKind& operator=(const TextBoxKind&) = delete;

    void setText(std::string_view text) override { SetWindowTextA(w_, std::string(text).c_str()); }
    std::string text() const override { return windowText(w_); }
    void setMaxLength(int n) override {
        maxLength_ = std::max(n, 0);
        SendMessageA(w_, EM_SETLIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    }
    int maxLength() const override {
        return maxLength_ ? static_cast<int>(SendMessageA(w_, EM_GETLIMITTEXT, 0, 0)) : 0;
    }
    void setPasswordChar(char c) override {
        // Past our own filter, which refuses the message to everyone else.
        const WNDPROC own = previous_ ? previous_ : reinterpret_cast<WNDPROC>(GetWindowLongPtrA(w_, GWLP_WNDPROC));
        CallWindowProcA(own, w_, EM_SETPASSWORDCHAR, static_cast<unsigned char>(c), 0);
        InvalidateRect(w_, nullptr, TRUE);
    }
    char passwordChar() const override { return static_cast<char>(SendMessageA(w_, EM_GETPASSWORDCHAR, 0, 0)); }
    void setLocked(bool on) override { SendMessageA(w_, EM_SETREADONLY, on ? TRUE : FALSE, 0); }
    bool locked() const override { return (GetWindowLongA(w_, GWL_STYLE) & ES_READONLY) != 0; }
    void setSelection(int start, int length) override {
        const int n = GetWindowTextLengthA(w_);
        start = std::clamp(start, 0, n);
        length = std::clamp(length, 0, n - start);
        SendMessageA(w_, EM_SETSEL, static_cast<WPARAM>(start), start + length);
    }
    int selStart() const override { return selection().first; }
    int selLength() const override { return selection().second - selection().first; }
    bool hasFocus() const override { return w_ && GetFocus() == w_; }
    void setMessageFilter(ui::MessageFilter filter) override {
        filter_ = std::move(filter);
        if (filter_ && !previous_ && IsWindow(w_)) {
            SetPropA(w_, kFilterProperty, this);
            previous_ = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(w_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&filterProc)));
        } else if (!filter_) {
            unhook();
        }
    }

private:
    std::pair<int, int> selection() const {
        DWORD start = 0, end = 0;
        SendMessageA(w_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    void unhook() {
        if (!previous_) return;
        // Only when no one subclassed the box after us: their procedure would be lost.
        if (IsWindow(w_) && GetWindowLongPtrA(w_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&filterProc))
            SetWindowLongPtrA(w_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropA(w_, kFilterProperty);
        previous_ = nullptr;
    }
    static LRESULT CALLBACK filterProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        auto* box = static_cast<TextBoxKind*>(GetPropA(w, kFilterProperty));
        if (!box) return DefWindowProcA(w, m, wp, lp);
        const WNDPROC previous = box->previous_;
        if (m == WM_NCDESTROY) {
            box->unhook();
            return CallWindowProcA(previous, w, m, wp, lp);
        }
        if (const auto kind = kindOf(m); kind && box->filter_) {
            const ui::ControlMessage message{*kind, static_cast<int>(wp), static_cast<int>((lp >> 16) & 0xFF),
                                             ((lp >> 24) & 1) != 0};
            using K = ui::ControlMessage::Kind;
            const bool isKey = *kind == K::KeyDown || *kind == K::KeyUp || *kind == K::SysKeyDown ||
                               *kind == K::SysKeyUp || *kind == K::Char;
            try {
                if (!box->filter_(isKey ? message : ui::ControlMessage{*kind})) return 0;
            } catch (...) {
                return 0;  // no exception leaves a window procedure; a filter that failed passes nothing
            }
        }
        return CallWindowProcA(previous, w, m, wp, lp);
    }

    HWND w_;
    int maxLength_ = 0;
    ui::MessageFilter filter_;
    WNDPROC previous_ = nullptr;
};

}  // namespace

std::unique_ptr<ui::TextBox> makeTextBox(HWND control) { return std::make_unique<TextBoxKind>(control); }

}  // namespace vantora::win32
