#include "common/win32/form_window.h"

#include <algorithm>
#include <set>

#include "common/win32/desktop_win32.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

namespace {

// WM_NOTIFY and WM_HELP are only ever sent; one that was posted comes from some other
// process, and its parameter points into that process (Windows lets WM_NOTIFY be posted
// across processes, and so does Wine). Posted messages reach our windows through any
// thread's message loop, the system's modal ones included: a hook sees them all first.
LRESULT CALLBACK dropPostedPointerMessages(int code, WPARAM removal, LPARAM l) {
    if (code == HC_ACTION) {
        auto* message = reinterpret_cast<MSG*>(l);
        if (message->message == WM_NOTIFY || message->message == WM_HELP) message->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removal, l);
}

// Seen by a debugger, and by any program that reads the system's debug output (the
// end-to-end tests do): a misspelt name shows however the program is built.
void reportUnknownName(const std::string& form, std::string_view name) {
    static std::set<std::string, std::less<>> reported;
    std::string key = form + '.' + std::string(name);
    if (!reported.insert(std::move(key)).second) return;
    const std::string text = "Vantora: form \"" + form + "\" has no control named \"" + std::string(name) + "\"\n";
    OutputDebugStringA(text.c_str());
#ifndef NDEBUG
    if (IsDebuggerPresent()) DebugBreak();
#endif
}

void guardThreadQueue() {
    thread_local const HHOOK hook =
        SetWindowsHookExA(WH_GETMESSAGE, dropPostedPointerMessages, nullptr, GetCurrentThreadId());
    (void)hook;
}

}  // namespace

FormWindow::FormWindow(HINSTANCE instance, std::string formName)
    : instance_(instance), formName_(std::move(formName)) {}

FormWindow::~FormWindow() {
    onClosed = nullptr;  // whoever listens may be gone already
    if (hwnd_ && GetWindowLongPtrA(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        restoreWindowProc();
        HWND w = hwnd_;
        detach();
        DestroyWindow(w);
    }
}

std::vector<HWND>& FormWindow::modelessDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

int FormWindow::runMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        const auto& dialogs = modelessDialogs();
        const bool taken = std::any_of(dialogs.begin(), dialogs.end(),
                                       [&](HWND d) { return IsDialogMessageA(d, &msg) != 0; });
        if (taken) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

bool FormWindow::createWindow(const WindowClassSpec& windowClass) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance_, windowClass.className, &wc)) {
        wc = {};
        wc.lpfnWndProc = &FormWindow::windowProc;
        wc.hInstance = instance_;
        wc.hIcon = windowClass.iconId ? LoadIconA(instance_, MAKEINTRESOURCEA(windowClass.iconId)) : nullptr;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = windowClass.background;
        wc.lpszClassName = windowClass.className;
        if (!RegisterClassA(&wc)) return false;
    }
    UniqueMenu bar(windowClass.menuId ? LoadMenuA(instance_, MAKEINTRESOURCEA(windowClass.menuId)) : nullptr);
    HWND w = CreateWindowExA(0, windowClass.className, windowClass.caption.c_str(), windowClass.style, CW_USEDEFAULT, CW_USEDEFAULT,
                             windowClass.width, windowClass.height, nullptr, bar.get(), instance_, this);
    if (!w) return false;
    bar.release();  // the window owns its menu bar now and destroys it with itself
    created_ = true;
    return true;
}

void FormWindow::attach(HWND window) {
    guardThreadQueue();
    hwnd_ = window;
    dpi_ = screenDpi();
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void FormWindow::detach() {
    if (hwnd_) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    created_ = false;
}

FormWindow* FormWindow::of(HWND h) { return reinterpret_cast<FormWindow*>(GetWindowLongPtrA(h, GWLP_USERDATA)); }

LRESULT CALLBACK FormWindow::windowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCCREATE) {
        auto* self = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
        if (self) self->attach(h);
    }
    FormWindow* self = of(h);
    if (!self) return DefWindowProcA(h, m, w, l);
    if (m == WM_NCDESTROY) {
        self->detach();
        try {
            if (self->onClosed) self->onClosed();
        } catch (...) {
            // The window is gone either way; nothing may unwind through the dispatcher.
        }
        return DefWindowProcA(h, m, w, l);
    }
    try {
        if (self->created_)
            if (const auto result = self->handleFormMessage(m, w, l)) return *result;
    } catch (...) {
        // Nothing may unwind through the system's dispatcher; the event is dropped.
    }
    return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK FormWindow::subclassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    FormWindow* self = of(h);
    if (!self) return DefWindowProcA(h, m, w, l);
    const WNDPROC previous = self->previous_;
    if (self->procedure_) {
        try {
            return self->procedure_(fromHwnd(h), m, w, l);
        } catch (...) {
        }
    }
    return previous ? CallWindowProcA(previous, h, m, w, l) : DefWindowProcA(h, m, w, l);
}

void FormWindow::replaceWindowProc(Procedure procedure) {
    if (!hwnd_ || previous_) return;
    procedure_ = std::move(procedure);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FormWindow::subclassProc)));
}

void FormWindow::restoreWindowProc() {
    if (hwnd_ && previous_) SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    previous_ = nullptr;
    procedure_ = nullptr;
}

ui::MessageResult FormWindow::callPreviousWindowProc(std::uint32_t window, std::uint32_t message,
                                                     ui::MessageParam wParam, ui::MessageParam lParam) {
    HWND w = toHwnd(window);
    if (previous_) return CallWindowProcA(previous_, w, message, wParam, static_cast<LPARAM>(lParam));
    return DefWindowProcA(w, message, wParam, static_cast<LPARAM>(lParam));
}

std::optional<LRESULT> FormWindow::handleFormMessage(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_SIZE:
        raise(formName_, ui::Event::Resize);
        return std::nullopt;
    case WM_CLOSE:
        close();
        return 0;
    case WM_ENDSESSION:
        // The session ends: the program will not get to its message loop again, so the
        // form closes now, as a user's close would, with everything it saves on the way.
        if (w) close();
        return 0;
    case WM_HELP: {
        if (sentFromAnotherThread()) return TRUE;
        // F1 in a window without controls of its own: the form's help; on a highlighted
        // menu item, that item's topic where it has one.
        const auto* info = reinterpret_cast<const HELPINFO*>(l);
        if (info && info->iContextType == HELPINFO_WINDOW && info->hItemHandle != hwnd_) return std::nullopt;
        const int context =
            info && info->iContextType == HELPINFO_MENUITEM ? static_cast<int>(menuHelpContext(info->iCtrlId)) : 0;
        raise(formName_, ui::Event::Help, context);
        return TRUE;
    }
    default:
        return std::nullopt;
    }
}

void FormWindow::close() {
    if (!hwnd_ || closing_) return;
    closing_ = true;
    raise(formName_, ui::Event::Unload);
    if (hwnd_) DestroyWindow(hwnd_);
    closing_ = false;
}

void FormWindow::checkName(std::string_view name) const {
    if (!isForm(name) && !hasControl(name)) reportUnknownName(formName_, name);
}

// --- properties of the form; a form host without controls of its own has nothing else

void FormWindow::setCaption(std::string_view c, std::string_view text) {
    checkName(c);
    if (isForm(c) && hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
}

std::string FormWindow::caption(std::string_view c) const {
    checkName(c);
    if (!isForm(c) || !hwnd_) return {};
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd_)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()))));
    return text;
}

void FormWindow::setChecked(std::string_view c, bool) { checkName(c); }
bool FormWindow::checked(std::string_view c) const { return checkName(c), false; }
void FormWindow::setHelpContext(std::string_view c, std::uint32_t) { checkName(c); }
void FormWindow::setVisible(std::string_view c, bool) { checkName(c); }
bool FormWindow::isVisible(std::string_view c) const { return checkName(c), true; }
void FormWindow::setEnabled(std::string_view c, bool) { checkName(c); }
bool FormWindow::enabled(std::string_view c) const { return checkName(c), true; }
void FormWindow::setForeColor(std::string_view c, ui::Color) { checkName(c); }
ui::Color FormWindow::foreColor(std::string_view c) const { return checkName(c), 0; }
void FormWindow::setFontSize(std::string_view c, int) { checkName(c); }
int FormWindow::fontSize(std::string_view c) const { return checkName(c), 0; }
void FormWindow::setBounds(std::string_view c, ui::Rect) { checkName(c); }
ui::Rect FormWindow::bounds(std::string_view c) const { return checkName(c), isForm(c) ? formBounds() : ui::Rect{}; }

void FormWindow::setTag(std::string_view c, std::string_view t) {
    checkName(c);
    tags_[std::string(c)] = t;
}
std::string FormWindow::tag(std::string_view c) const {
    checkName(c);
    auto it = tags_.find(c);
    return it == tags_.end() ? "" : it->second;
}

// Windowed controls show no tooltip windows; the text is kept for the logic that reads it back.
void FormWindow::setToolTip(std::string_view c, std::string_view t) {
    checkName(c);
    toolTips_[std::string(c)] = t;
}
std::string FormWindow::toolTip(std::string_view c) const {
    checkName(c);
    auto it = toolTips_.find(c);
    return it == toolTips_.end() ? "" : it->second;
}

int FormWindow::messageBox(std::string_view text, std::string_view caption, std::uint32_t flags) {
    return MessageBoxA(hwnd_, std::string(text).c_str(), std::string(caption).c_str(), flags);
}

std::uint32_t FormWindow::windowHandle() const { return fromHwnd(hwnd_); }

ui::WindowState FormWindow::windowState() const {
    if (hwnd_ && IsIconic(hwnd_)) return ui::WindowState::Minimized;
    if (hwnd_ && IsZoomed(hwnd_)) return ui::WindowState::Maximized;
    return ui::WindowState::Normal;
}

void FormWindow::setWindowState(ui::WindowState s) {
    if (!hwnd_) return;
    ShowWindow(hwnd_, s == ui::WindowState::Minimized   ? SW_MINIMIZE
                      : s == ui::WindowState::Maximized ? SW_MAXIMIZE
                                                        : SW_RESTORE);
}

void FormWindow::show() {
    if (hwnd_) ShowWindow(hwnd_, SW_SHOW);
}
void FormWindow::hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}
bool FormWindow::visible() const { return hwnd_ && IsWindowVisible(hwnd_); }

ui::Rect FormWindow::formBounds() const {
    RECT r{};
    if (hwnd_) GetWindowRect(hwnd_, &r);
    const int tx = twipsPerPixelX(), ty = twipsPerPixelY();
    return {r.left * tx, r.top * ty, (r.right - r.left) * tx, (r.bottom - r.top) * ty};
}

void FormWindow::moveForm(int left, int top) {
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, left / twipsPerPixelX(), top / twipsPerPixelY(), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::resizeForm(int width, int height) {
    if (hwnd_)
        SetWindowPos(hwnd_, nullptr, 0, 0, width / twipsPerPixelX(), height / twipsPerPixelY(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int FormWindow::twipsPerPixelX() const { return 1440 / std::max(1, dpi_); }
int FormWindow::twipsPerPixelY() const { return 1440 / std::max(1, dpi_); }

}  // namespace vantora::win32