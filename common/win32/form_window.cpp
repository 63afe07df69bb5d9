#include "common/win32/form_window.h"

#include <commctrl.h>

#include <algorithm>

#include "common/win32/desktop_win32.h"
#include "common/win32/system_functions.h"

namespace vantora::win32 {

namespace {

constexpr int kMaxArrayIndex = 32767;  // the highest index a control array may reach

COLORREF colorOf(ui::Color c) {
    return ui::isSystemColor(c) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c);
}

RECT rectOf(const ui::Rect& r) { return {r.left, r.top, r.left + r.width, r.top + r.height}; }

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

void FormWindow::setMenus(std::vector<MenuBinding> items, std::vector<PopupMenuBinding> popups) {
    menuItems_ = std::move(items);
    popupMenus_ = std::move(popups);
}

void FormWindow::setWindowlessLabels(WindowlessLabels labels) {
    labelSpec_ = std::move(labels);
    labels_.assign(labelSpec_.names.size(), Label{});
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
    case WM_PAINT:
        if (labels_.empty() && !picture_ && lines_.empty()) return std::nullopt;
        paint();
        return 0;
    case WM_SIZE:
        raise(formName_, ui::Event::Resize);
        return std::nullopt;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MOUSEMOVE: {
        // The labels' tips wait for the mouse: the window shows without them sooner.
        if (m == WM_MOUSEMOVE && !tooltip_ && !labels_.empty()) createToolTips();
        // A disabled window takes no mouse input, also none posted to it from outside:
        // behind a modal dialog a click must not start a second one.
        if (!IsWindowEnabled(hwnd_)) return std::nullopt;
        const int i = labelAt(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
        if (i < 0) return std::nullopt;
        const std::string& name = labelSpec_.names[static_cast<std::size_t>(i)];
        if (m == WM_MOUSEMOVE)
            raise(name, ui::Event::MouseMove, (w & MK_LBUTTON) ? ui::kMouseLeft : (w & MK_RBUTTON) ? ui::kMouseRight : 0);
        else
            raise(name, ui::Event::MouseDown, m == WM_LBUTTONDOWN ? ui::kMouseLeft : ui::kMouseRight);
        return 0;
    }
    case WM_COMMAND:
        // Menu items and accelerators; controls are the dialog's business.
        if (l == 0) {
            const std::string name = menuName(LOWORD(w));
            if (!name.empty()) {
                raise(name, ui::Event::Click);
                return 0;
            }
        }
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
        int context = 0;
        if (info && info->iContextType == HELPINFO_MENUITEM) {
            const auto it = menuHelpContexts_.find(info->iCtrlId);
            if (it != menuHelpContexts_.end()) context = static_cast<int>(it->second);
        }
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

// --- windowless labels

FormWindow::Label* FormWindow::label(std::string_view name) {
    for (std::size_t i = 0; i < labels_.size(); ++i)
        if (labelSpec_.names[i] == name) return &labels_[i];
    return nullptr;
}

const FormWindow::Label* FormWindow::label(std::string_view name) const {
    return const_cast<FormWindow*>(this)->label(name);
}

int FormWindow::labelAt(int x, int y) const {
    std::vector<ui::Rect> rects;
    rects.reserve(labels_.size());
    for (const Label& l : labels_) rects.push_back(l.bounds);
    return ui::topmostAt(rects, x, y);
}

void FormWindow::invalidate(const Label& l) {
    // A hidden window is painted whole when it is shown; until then there is nothing to
    // mark, and each mark is a call to the window manager.
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    const RECT r = rectOf(l.bounds);
    InvalidateRect(hwnd_, &r, FALSE);
}

void FormWindow::createToolTips() {
    initCommonControls();
    tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                   hwnd_, nullptr, instance_, nullptr));
    for (const Label& l : labels_) updateTool(l);
}

void FormWindow::updateTool(const Label& l) {
    if (!tooltip_) return;
    const auto i = static_cast<std::size_t>(&l - labels_.data());
    const std::string& text = toolTips_[labelSpec_.names[i]];
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = hwnd_;
    ti.uId = i + 1;
    ti.rect = rectOf(l.bounds);
    ti.lpszText = const_cast<char*>(text.c_str());
    // Re-adding the tool takes both a new rectangle and a new text; a label without a
    // tip has no tool at all, so nothing pops up over it.
    SendMessageA(tooltip_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    ti.uFlags = TTF_SUBCLASS;
    if (!text.empty()) SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void FormWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (picture_) {
        UniqueMemoryDc memory(CreateCompatibleDC(dc));
        SelectScope selected(memory.get(), picture_.get());
        BitBlt(dc, 0, 0, pictureWidth_, pictureHeight_, memory.get(), 0, 0, SRCCOPY);
    }
    for (const Line& l : lines_) {
        UniquePen pen(CreatePen(PS_SOLID, 1, colorOf(l.color)));
        SelectScope selected(dc, pen.get());
        MoveToEx(dc, l.x1, l.y1, nullptr);
        LineTo(dc, l.x2, l.y2);
        SetPixel(dc, l.x2, l.y2, colorOf(l.color));  // LineTo leaves out the end point
    }
    SetBkMode(dc, TRANSPARENT);
    for (const Label& l : labels_) {
        UniqueFont& font = labelFonts_[l.fontSize];
        if (!font)
            font.reset(CreateFontA(-MulDiv(l.fontSize, dpi_, 72), 0, 0, 0, labelSpec_.bold ? FW_BOLD : FW_NORMAL, 0,
                                   0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, labelSpec_.fontFace.c_str()));
        SelectScope selected(dc, font.get());
        SetTextColor(dc, colorOf(l.color));
        RECT r = rectOf(l.bounds);
        DrawTextA(dc, l.caption.c_str(), -1, &r, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    EndPaint(hwnd_, &ps);
}

void FormWindow::cls() {
    lines_.clear();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void FormWindow::line(int x1, int y1, int x2, int y2, ui::Color c) {
    lines_.push_back({x1, y1, x2, y2, c});
    const RECT r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
    if (hwnd_) InvalidateRect(hwnd_, &r, FALSE);
}

void FormWindow::setPicture(const ui::Picture* p) {
    picture_.reset();
    pictureWidth_ = pictureHeight_ = 0;
    if (p && p->width > 0 && p->height > 0 && p->pixels.size() == static_cast<std::size_t>(p->width) * p->height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), p->width, -p->height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        picture_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (picture_ && bits) {
            const int stride = (p->width * 3 + 3) & ~3;
            auto* out = static_cast<BYTE*>(bits);
            for (int y = 0; y < p->height; ++y)
                for (int x = 0; x < p->width; ++x) {
                    const ui::Color c = p->at(x, y);
                    BYTE* px = out + y * stride + x * 3;
                    px[0] = BYTE(c >> 16), px[1] = BYTE(c >> 8), px[2] = BYTE(c);
                }
            pictureWidth_ = p->width, pictureHeight_ = p->height;
        } else {
            picture_.reset();
        }
    }
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

// --- menus

std::optional<int> FormWindow::menuId(std::string_view name) const {
    for (const MenuBinding& b : menuItems_)
        if (b.name == name) return b.id;
    const ui::ElementName e = ui::parseElement(name);
    if (e.index <= 0) return std::nullopt;
    const std::string first = ui::indexed(e.array, 0);
    for (const MenuBinding& b : menuItems_)
        if (b.name == first) return b.id + e.index;
    return std::nullopt;
}

std::string FormWindow::menuName(int id) const {
    for (const MenuBinding& b : menuItems_) {
        if (b.id == id) return b.name;
        const ui::ElementName e = ui::parseElement(b.name);
        if (e.index == 0 && id > b.id && id <= b.id + kMaxArrayIndex) {
            std::string element = ui::indexed(e.array, id - b.id);
            if (arrays_.isLoaded(element)) return element;
        }
    }
    return {};
}

bool FormWindow::isMenuItem(std::string_view name) const { return menuId(name).has_value(); }

void FormWindow::setHelpContext(std::string_view menuItem, std::uint32_t id) {
    if (const auto command = menuId(menuItem)) menuHelpContexts_[*command] = id;
}

void FormWindow::applyMenuState(HMENU menu, int id, const MenuItem& state) {
    if (state.caption) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<char*>(state.caption->c_str());
        SetMenuItemInfoA(menu, static_cast<UINT>(id), FALSE, &info);
    }
    if (state.checked)
        CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (*state.checked ? MF_CHECKED : MF_UNCHECKED));
    if (!state.enabled) EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | MF_GRAYED);
}

void FormWindow::setChecked(std::string_view m, bool on) {
    const auto id = menuId(m);
    if (!id) return;
    MenuItem& state = menuState_[std::string(m)];
    state.checked = on;
    if (HMENU bar = hwnd_ ? GetMenu(hwnd_) : nullptr) applyMenuState(bar, *id, {std::nullopt, on, true});
}

bool FormWindow::checked(std::string_view m) const {
    if (auto it = menuState_.find(m); it != menuState_.end() && it->second.checked) return *it->second.checked;
    const auto id = menuId(m);
    HMENU bar = hwnd_ ? GetMenu(hwnd_) : nullptr;
    if (!id || !bar) return false;
    const UINT state = GetMenuState(bar, static_cast<UINT>(*id), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

// A popup menu is built anew from its resource each time it shows, with the captions,
// check marks and hidden items the logic set, and the loaded elements of a control
// array placed after their element 0.
void FormWindow::fillPopup(HMENU menu) {
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        const int id = static_cast<int>(GetMenuItemID(menu, position));
        if (id <= 0) continue;
        const std::string name = menuName(id);
        const ui::ElementName e = ui::parseElement(name);
        if (e.index == 0) {
            int at = position + 1;
            for (int j : arrays_.loadedBeyondZero(e.array)) {
                const std::string element = ui::indexed(e.array, j);
                const MenuItem& state = menuState_[element];
                if (!state.visible) continue;
                InsertMenuA(menu, static_cast<UINT>(at++), MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(id + j),
                            state.caption.value_or("").c_str());
                applyMenuState(menu, id + j, state);
            }
        }
        auto it = menuState_.find(name);
        if (it == menuState_.end()) continue;
        if (!it->second.visible)
            RemoveMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        else
            applyMenuState(menu, id, it->second);
    }
}

void FormWindow::popupMenu(std::string_view name, std::uint32_t flags) {
    if (!hwnd_) return;
    auto binding = std::find_if(popupMenus_.begin(), popupMenus_.end(),
                                [&](const PopupMenuBinding& b) { return b.name == name; });
    if (binding == popupMenus_.end()) return;
    UniqueMenu bar(LoadMenuA(instance_, MAKEINTRESOURCEA(binding->resourceId)));
    HMENU menu = bar ? GetSubMenu(bar.get(), 0) : nullptr;
    if (!menu) return;
    fillPopup(menu);
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if its window is in front. A
    // window of ours that is in front already (a dialog the logic just raised) keeps its
    // place and owns the menu.
    HWND front = GetForegroundWindow();
    HWND owner = front && GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId() ? front : hwnd_;
    SetForegroundWindow(owner);
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    if (chosen > 0) {
        const std::string item = menuName(chosen);
        if (!item.empty()) raise(item, ui::Event::Click);
    }
}

bool FormWindow::isLoaded(std::string_view element) const { return isMenuItem(element) && arrays_.isLoaded(element); }

void FormWindow::load(std::string_view element) {
    if (isMenuItem(ui::indexed(ui::parseElement(element).array, 0))) arrays_.load(element);
}

void FormWindow::unload(std::string_view element) {
    if (!arrays_.unload(element)) return;
    if (auto it = menuState_.find(element); it != menuState_.end()) menuState_.erase(it);
}

// --- properties of labels, menu items and the form

void FormWindow::setCaption(std::string_view c, std::string_view text) {
    if (isForm(c)) {
        if (hwnd_) SetWindowTextA(hwnd_, std::string(text).c_str());
    } else if (Label* l = label(c)) {
        l->caption = text;
        invalidate(*l);
    } else if (const auto id = menuId(c)) {
        MenuItem& state = menuState_[std::string(c)];
        state.caption = std::string(text);
        // Only an item the bar holds is redrawn there: a popup list's items are captioned
        // one by one each time it shows, and under Wine every redraw of the bar is a trip
        // to the X server of a few milliseconds.
        HMENU bar = hwnd_ ? GetMenu(hwnd_) : nullptr;
        if (bar && GetMenuState(bar, static_cast<UINT>(*id), MF_BYCOMMAND) != static_cast<UINT>(-1)) {
            applyMenuState(bar, *id, {state.caption, std::nullopt, true});
            DrawMenuBar(hwnd_);
        }
    }
}

std::string FormWindow::caption(std::string_view c) const {
    if (isForm(c)) {
        if (!hwnd_) return {};
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(hwnd_)) + 1, '\0');
        text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    if (const Label* l = label(c)) return l->caption;
    if (auto it = menuState_.find(c); it != menuState_.end() && it->second.caption) return *it->second.caption;
    const auto id = menuId(c);
    HMENU bar = hwnd_ ? GetMenu(hwnd_) : nullptr;
    if (!id || !bar) return {};
    char text[256] = {};
    GetMenuStringA(bar, static_cast<UINT>(*id), text, sizeof text, MF_BYCOMMAND);
    return text;
}

void FormWindow::setVisible(std::string_view c, bool on) {
    if (isMenuItem(c)) menuState_[std::string(c)].visible = on;
}

bool FormWindow::isVisible(std::string_view c) const {
    auto it = menuState_.find(c);
    return it == menuState_.end() || it->second.visible;
}

// Only the items of popup menus, which are built anew from this state each time they show.
void FormWindow::setEnabled(std::string_view c, bool on) {
    if (isMenuItem(c)) menuState_[std::string(c)].enabled = on;
}

bool FormWindow::enabled(std::string_view c) const {
    auto it = menuState_.find(c);
    return it == menuState_.end() || it->second.enabled;
}

void FormWindow::setForeColor(std::string_view c, ui::Color color) {
    if (Label* l = label(c)) l->color = color, invalidate(*l);
}
ui::Color FormWindow::foreColor(std::string_view c) const {
    const Label* l = label(c);
    return l ? l->color : 0;
}

void FormWindow::setFontSize(std::string_view c, int points) {
    if (Label* l = label(c)) l->fontSize = points, invalidate(*l);
}
int FormWindow::fontSize(std::string_view c) const {
    const Label* l = label(c);
    return l ? l->fontSize : 0;
}

void FormWindow::setBounds(std::string_view c, ui::Rect r) {
    if (Label* l = label(c)) {
        invalidate(*l);
        l->bounds = r;
        invalidate(*l);
        updateTool(*l);
    }
}
ui::Rect FormWindow::bounds(std::string_view c) const {
    if (isForm(c)) return formBounds();
    const Label* l = label(c);
    return l ? l->bounds : ui::Rect{};
}

void FormWindow::setTag(std::string_view c, std::string_view t) { tags_[std::string(c)] = t; }
std::string FormWindow::tag(std::string_view c) const {
    auto it = tags_.find(c);
    return it == tags_.end() ? "" : it->second;
}

// Windowed controls show no tooltip windows; the text is kept for the logic that reads it back.
void FormWindow::setToolTip(std::string_view c, std::string_view t) {
    toolTips_[std::string(c)] = t;
    if (const Label* l = label(c)) updateTool(*l);
}
std::string FormWindow::toolTip(std::string_view c) const {
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
