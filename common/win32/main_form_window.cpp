#include "common/win32/main_form_window.h"

#include <commctrl.h>

#include <algorithm>

#include "common/win32/system_functions.h"

namespace vantora::win32 {

namespace {

COLORREF colorOf(ui::Color c) {
    return ui::isSystemColor(c) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c);
}

RECT rectOf(const ui::Rect& r) { return {r.left, r.top, r.left + r.width, r.top + r.height}; }

}  // namespace

void MainFormWindow::setWindowlessLabels(WindowlessLabels labels) {
    labelSpec_ = std::move(labels);
    labels_.assign(labelSpec_.names.size(), Label{});
}

std::optional<LRESULT> MainFormWindow::handleFormMessage(UINT m, WPARAM w, LPARAM l) {
    switch (m) {
    case WM_PAINT:
        if (labels_.empty() && !picture_ && lines_.empty()) return std::nullopt;
        paint();
        return 0;
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
    default:
        return FormWindow::handleFormMessage(m, w, l);
    }
}

// --- windowless labels

MainFormWindow::~MainFormWindow() = default;

MainFormWindow::Label* MainFormWindow::label(std::string_view name) {
    for (std::size_t i = 0; i < labels_.size(); ++i)
        if (labelSpec_.names[i] == name) return &labels_[i];
    return nullptr;
}

const MainFormWindow::Label* MainFormWindow::label(std::string_view name) const {
    return const_cast<MainFormWindow*>(this)->label(name);
}

int MainFormWindow::labelAt(int x, int y) const {
    std::vector<ui::Rect> rects;
    rects.reserve(labels_.size());
    for (const Label& l : labels_) rects.push_back(l.bounds);
    return ui::topmostAt(rects, x, y);
}

void MainFormWindow::invalidate(const Label& l) {
    // A hidden window is painted whole when it is shown; until then there is nothing to
    // mark, and each mark is a call to the window manager.
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    const RECT r = rectOf(l.bounds);
    InvalidateRect(hwnd_, &r, FALSE);
}

void MainFormWindow::createToolTips() {
    initCommonControls();
    tooltip_.reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                   hwnd_, nullptr, instance_, nullptr));
    for (const Label& l : labels_) updateTool(l);
}

void MainFormWindow::updateTool(const Label& l) {
    if (!tooltip_) return;
    const auto i = static_cast<std::size_t>(&l - labels_.data());
    const std::string text = toolTip(labelSpec_.names[i]);
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

void MainFormWindow::paint() {
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
            font.reset(CreateFontA(-MulDiv(l.fontSize, dpi(), 72), 0, 0, 0, labelSpec_.bold ? FW_BOLD : FW_NORMAL, 0,
                                   0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, labelSpec_.fontFace.c_str()));
        SelectScope selected(dc, font.get());
        SetTextColor(dc, colorOf(l.color));
        RECT r = rectOf(l.bounds);
        DrawTextA(dc, l.caption.c_str(), -1, &r, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    EndPaint(hwnd_, &ps);
}

void MainFormWindow::cls() {
    lines_.clear();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void MainFormWindow::line(int x1, int y1, int x2, int y2, ui::Color c) {
    lines_.push_back({x1, y1, x2, y2, c});
    const RECT r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
    if (hwnd_) InvalidateRect(hwnd_, &r, FALSE);
}

void MainFormWindow::setPicture(const ui::Picture* p) {
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

// --- properties of labels, menu items and the form

void MainFormWindow::setCaption(std::string_view c, std::string_view text) {
    checkName(c);
    if (isForm(c)) {
        FormWindow::setCaption(c, text);
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

std::string MainFormWindow::caption(std::string_view c) const {
    checkName(c);
    if (isForm(c)) return FormWindow::caption(c);
    if (const Label* l = label(c)) return l->caption;
    if (auto it = menuState_.find(c); it != menuState_.end() && it->second.caption) return *it->second.caption;
    const auto id = menuId(c);
    HMENU bar = hwnd_ ? GetMenu(hwnd_) : nullptr;
    if (!id || !bar) return {};
    char text[256] = {};
    GetMenuStringA(bar, static_cast<UINT>(*id), text, sizeof text, MF_BYCOMMAND);
    return text;
}

void MainFormWindow::setVisible(std::string_view c, bool on) {
    checkName(c);
    if (isMenuItem(c)) menuState_[std::string(c)].visible = on;
}

bool MainFormWindow::isVisible(std::string_view c) const {
    checkName(c);
    auto it = menuState_.find(c);
    return it == menuState_.end() || it->second.visible;
}

// Only the items of popup menus, which are built anew from this state each time they show.
void MainFormWindow::setEnabled(std::string_view c, bool on) {
    checkName(c);
    if (isMenuItem(c)) menuState_[std::string(c)].enabled = on;
}

bool MainFormWindow::enabled(std::string_view c) const {
    checkName(c);
    auto it = menuState_.find(c);
    return it == menuState_.end() || it->second.enabled;
}

void MainFormWindow::setForeColor(std::string_view c, ui::Color color) {
    checkName(c);
    if (Label* l = label(c)) l->color = color, invalidate(*l);
}
ui::Color MainFormWindow::foreColor(std::string_view c) const {
    checkName(c);
    const Label* l = label(c);
    return l ? l->color : 0;
}

void MainFormWindow::setFontSize(std::string_view c, int points) {
    checkName(c);
    if (Label* l = label(c)) l->fontSize = points, invalidate(*l);
}
int MainFormWindow::fontSize(std::string_view c) const {
    checkName(c);
    const Label* l = label(c);
    return l ? l->fontSize : 0;
}

void MainFormWindow::setBounds(std::string_view c, ui::Rect r) {
    checkName(c);
    if (Label* l = label(c)) {
        invalidate(*l);
        l->bounds = r;
        invalidate(*l);
        updateTool(*l);
    }
}
ui::Rect MainFormWindow::bounds(std::string_view c) const {
    checkName(c);
    if (isForm(c)) return formBounds();
    const Label* l = label(c);
    return l ? l->bounds : ui::Rect{};
}

// Windowed controls show no tooltip windows; a label's tip shows over it.
void MainFormWindow::setToolTip(std::string_view c, std::string_view t) {
    FormWindow::setToolTip(c, t);
    if (const Label* l = label(c)) updateTool(*l);
}

}  // namespace vantora::win32
