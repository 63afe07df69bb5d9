#include "common/win32/dialog_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/win32/desktop_win32.h"
#include "common/win32/controls_win32.h"
#include "common/win32/system_functions.h"
#include "common/win32/window_icons.h"

namespace vantora::win32 {

DialogWindow::DialogWindow(HINSTANCE instance, int templateId, std::string formName,
                           std::vector<ControlBinding> controls)
    : FormWindow(instance, std::move(formName)), templateId_(templateId), controls_(std::move(controls)) {}

DialogWindow::~DialogWindow() {
    onClosed = nullptr;  // whoever listens may be gone already
    if (hwnd_) destroyNow();
}

int DialogWindow::showModal(HWND owner) {
    modal_ = true;
    closing_ = false;
    result_ = 0;
    initCommonControls();
    DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId_), owner, &dialogProc, reinterpret_cast<LPARAM>(this));
    hwnd_ = nullptr;
    return result_;
}

void DialogWindow::endDialog(int result) {
    if (hwnd_ && !closing_) result_ = result;
    close();
}

namespace {
// The table exists from the first use; a window that was never opened has no kinds in it.
ControlTable& made(std::unique_ptr<ControlTable>& table) {
    if (!table) table = std::make_unique<ControlTable>();
    return *table;
}
}  // namespace

ui::TextBox& DialogWindow::textBox(std::string_view name) { return checkName(name), made(kinds_).textBox(name); }
ui::ListView& DialogWindow::listView(std::string_view name) { return checkName(name), made(kinds_).listView(name); }
ui::TreeView& DialogWindow::treeView(std::string_view name) { return checkName(name), made(kinds_).treeView(name); }
ui::ImageList& DialogWindow::imageList(std::string_view name) { return checkName(name), made(kinds_).imageList(name); }
ui::ImageControl& DialogWindow::image(std::string_view name) { return checkName(name), made(kinds_).image(name); }
ui::Font& DialogWindow::font(std::string_view name) { return checkName(name), made(kinds_).font(name); }

bool DialogWindow::createModeless(HWND owner) {
    modal_ = false;
    closing_ = closeAfterLoad_ = false;
    initCommonControls();
    CreateDialogParamA(instance_, MAKEINTRESOURCEA(templateId_), owner, &dialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd_ && closeAfterLoad_) destroyNow();
    if (hwnd_) modelessDialogs().push_back(hwnd_);
    return hwnd_ != nullptr;
}

void DialogWindow::destroyNow() {
    HWND w = hwnd_;
    detach();
    auto& dialogs = modelessDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), w), dialogs.end());
    if (modal_)
        EndDialog(w, 0);
    else
        DestroyWindow(w);
    if (onClosed) onClosed();
}

void DialogWindow::close() {
    if (!hwnd_ || closing_) return;
    closing_ = true;
    raise(formName_, ui::Event::Unload);
    if (loading_ && !modal_) {
        closeAfterLoad_ = true;  // CreateDialogParam is still running; destroy when it returns
        return;
    }
    destroyNow();
}

INT_PTR CALLBACK DialogWindow::dialogProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_INITDIALOG) {
        SetWindowLongPtrA(h, DWLP_USER, l);
        reinterpret_cast<DialogWindow*>(l)->attach(h);
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(h, DWLP_USER));
    if (!self) return FALSE;
    if (self->hwnd_ != h) return FALSE;  // messages after close
    try {
        return self->handle(m, w, l);
    } catch (...) {
        return FALSE;  // no exception leaves a window procedure
    }
}

INT_PTR DialogWindow::handle(UINT m, WPARAM w, LPARAM l) {
    if (whatsThis_.handle(hwnd_, m, w, l)) return TRUE;
    switch (m) {
    case WM_INITDIALOG:
        return initDialog();
    case WM_COMMAND:
        command(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
        return TRUE;
    case WM_NOTIFY: {
        if (sentFromAnotherThread()) return FALSE;
        const auto* nm = reinterpret_cast<const NMHDR*>(l);
        if (const auto reply = made(kinds_).notify(*nm)) {
            SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, *reply);
            return TRUE;
        }
        if (const ControlBinding* b = bindingOf(static_cast<int>(nm->idFrom))) {
            if (nm->code == static_cast<UINT>(NM_CLICK)) raise(b->name, ui::Event::Click);
            if (nm->code == static_cast<UINT>(NM_DBLCLK)) raise(b->name, ui::Event::DblClick);
        }
        return FALSE;
    }
    case WM_HELP: {
        if (sentFromAnotherThread()) return TRUE;
        const auto* info = reinterpret_cast<const HELPINFO*>(l);
        const ControlBinding* b = info->iContextType == HELPINFO_WINDOW ? bindingOf(info->iCtrlId) : nullptr;
        const std::string name = b ? b->name : formName_;
        auto it = helpContexts_.find(name);
        const int context = it == helpContexts_.end() ? 0 : static_cast<int>(it->second);
        if (!raise(name, ui::Event::Help, context)) raise(formName_, ui::Event::Help, context);
        return TRUE;
    }
    case WM_CLOSE:
        close();
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return controlColor(reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
    default:
        if (const auto result = handleFormMessage(m, w, l)) {
            SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, *result);
            return TRUE;
        }
        return FALSE;
    }
}

INT_PTR DialogWindow::initDialog() {
    made(kinds_).reset(instance_, *this);
    for (const ControlBinding& b : controls_) kinds_->add(b.name, GetDlgItem(hwnd_, b.id), b.designClass);
    if (designBaseX_ > 0 && designBaseY_ > 0) fitToDesignBaseUnits();
    if (iconId_) setIcons(instance_, hwnd_, iconId_);
    loading_ = true;
    showAfterLoad_ = false;
    if (onLoad) onLoad();
    loading_ = false;
    if (std::exchange(showAfterLoad_, false) && hwnd_ && !closeAfterLoad_) FormWindow::show();
    return TRUE;
}

void DialogWindow::show() {
    if (loading_)
        showAfterLoad_ = true;
    else
        FormWindow::show();
}

void DialogWindow::hide() {
    showAfterLoad_ = false;
    FormWindow::hide();
}

bool DialogWindow::visible() const { return (loading_ && showAfterLoad_) || FormWindow::visible(); }

int DialogWindow::messageBox(std::string_view text, std::string_view caption, std::uint32_t flags) {
    if (loading_ && std::exchange(showAfterLoad_, false)) FormWindow::show();
    return FormWindow::messageBox(text, caption, flags);
}

void DialogWindow::command(int id, int code, HWND from) {
    // Esc arrives as IDCANCEL from no control: the form sees the key first.
    if (id == IDCANCEL && from == nullptr) {
        raise(formName_, ui::Event::KeyPress, ui::kKeyEscape);
        return;
    }
    const ControlBinding* b = bindingOf(id);
    if (!b) return;
    if (isList(b)) {
        if (code == LBN_SELCHANGE) raise(b->name, ui::Event::Click);  // CBN_SELCHANGE has the same value
        if (code == LBN_DBLCLK && !isComboBox(b)) raise(b->name, ui::Event::DblClick);
        if (code == CBN_EDITCHANGE && isComboBox(b)) raise(b->name, ui::Event::Change);
    } else if (b->designClass == "TextBox") {
        if (code == EN_CHANGE) raise(b->name, ui::Event::Change);
    } else if (code == BN_CLICKED) {
        raise(b->name, ui::Event::Click);
    } else if (code == BN_DOUBLECLICKED) {
        raise(b->name, ui::Event::DblClick);
    }
}

COLORREF DialogWindow::resolve(ui::Color c) {
    return ui::isSystemColor(c) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c);
}

INT_PTR DialogWindow::controlColor(HDC dc, HWND control) {
    // A combo box's drop-down list is a window of its own; its colours are the combo's.
    HWND owner = control;
    if (GetParent(control) != hwnd_) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        for (const ControlBinding& b : controls_)
            if (isComboBox(&b) && GetComboBoxInfo(GetDlgItem(hwnd_, b.id), &info) && info.hwndList == control)
                owner = GetDlgItem(hwnd_, b.id);
    }
    const ControlBinding* b = bindingOf(GetDlgCtrlID(owner));
    if (!b) return FALSE;
    auto it = colors_.find(b->name);
    if (it == colors_.end()) return FALSE;
    Colors& c = it->second;
    if (c.hasFore) SetTextColor(dc, resolve(c.fore));
    if (!c.hasBack) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }
    SetBkColor(dc, resolve(c.back));
    if (!c.brush) c.brush.reset(CreateSolidBrush(resolve(c.back)));
    return reinterpret_cast<INT_PTR>(c.brush.get());
}

const ControlBinding* DialogWindow::find(std::string_view name) const {
    for (const ControlBinding& b : controls_)
        if (b.name == name) return &b;
    return nullptr;
}

const ControlBinding* DialogWindow::binding(std::string_view name) const {
    const ControlBinding* b = find(name);
    if (!b) checkName(name);
    return b;
}

const ControlBinding* DialogWindow::bindingOf(int id) const {
    for (const ControlBinding& b : controls_)
        if (b.id == id) return &b;
    return nullptr;
}

HWND DialogWindow::item(std::string_view name) const {
    if (!hwnd_) return nullptr;
    if (isForm(name)) return hwnd_;
    const ControlBinding* b = binding(name);
    return b ? GetDlgItem(hwnd_, b->id) : nullptr;
}

bool DialogWindow::isList(const ControlBinding* b) const {
    return b && (b->designClass == "ComboBox" || b->designClass == "ListBox");
}

void DialogWindow::setCaption(std::string_view c, std::string_view text) {
    // A text the control shows already is not set again (each setting redraws it).
    if (HWND w = item(c)) {
        if (caption(c) != text) SetWindowTextA(w, std::string(text).c_str());
    } else
        FormWindow::setCaption(c, text);
}

std::string DialogWindow::caption(std::string_view c) const {
    HWND w = item(c);
    if (!w) return FormWindow::caption(c);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(w)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

void DialogWindow::setForeColor(std::string_view c, ui::Color color) {
    Colors& k = colors_[std::string(c)];
    k.fore = color, k.hasFore = true;
    if (HWND w = item(c)) InvalidateRect(w, nullptr, TRUE);
}

ui::Color DialogWindow::foreColor(std::string_view c) const {
    checkName(c);
    auto it = colors_.find(c);
    return it != colors_.end() && it->second.hasFore ? it->second.fore : ui::kColorBtnText;
}

void DialogWindow::setBackColor(std::string_view c, ui::Color color) {
    Colors& k = colors_[std::string(c)];
    if (!k.hasBack || k.back != color) k.brush.reset();
    k.back = color, k.hasBack = true;
    if (HWND w = item(c)) InvalidateRect(w, nullptr, TRUE);
}

ui::Color DialogWindow::backColor(std::string_view c) const {
    checkName(c);
    auto it = colors_.find(c);
    return it != colors_.end() && it->second.hasBack ? it->second.back : ui::systemColor(COLOR_BTNFACE);
}

void DialogWindow::setFontSize(std::string_view c, int points) {
    if (binding(c)) return font(c).setSize(points);  // a control has one font, whichever road changes it
    HWND w = item(c);
    if (!w || points <= 0) return;
    LOGFONTA face{};
    if (HFONT current = reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)))
        GetObjectA(current, sizeof(face), &face);
    face.lfHeight = -MulDiv(points, screenDpi(), 72);
    UniqueFont font(CreateFontIndirectA(&face));
    if (!font) return;
    SendMessageA(w, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    fonts_[std::string(c)] = std::move(font);
    fontSizes_[std::string(c)] = points;
}

int DialogWindow::fontSize(std::string_view c) const {
    checkName(c);
    auto it = fontSizes_.find(c);
    if (it != fontSizes_.end()) return it->second;
    HWND w = item(c);
    LOGFONTA face{};
    HFONT font = w ? reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)) : nullptr;
    if (!font || !GetObjectA(font, sizeof(face), &face)) return 0;
    return MulDiv(face.lfHeight < 0 ? -face.lfHeight : face.lfHeight, 72, screenDpi());
}

void DialogWindow::setEnabled(std::string_view c, bool on) {
    if (HWND w = item(c); w && (IsWindowEnabled(w) != FALSE) != on) EnableWindow(w, on ? TRUE : FALSE);
}
bool DialogWindow::enabled(std::string_view c) const {
    HWND w = item(c);
    return w && IsWindowEnabled(w);
}

void DialogWindow::setVisible(std::string_view c, bool on) {
    if (HWND w = item(c)) ShowWindow(w, on ? SW_SHOW : SW_HIDE);
}
bool DialogWindow::isVisible(std::string_view c) const {
    HWND w = item(c);
    return w && (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE);
}

int DialogWindow::value(std::string_view c) const {
    HWND w = item(c);
    return w ? static_cast<int>(SendMessageA(w, BM_GETCHECK, 0, 0)) : 0;
}

void DialogWindow::storeValue(std::string_view c, int v) {
    HWND w = item(c);
    if (!w) return;
    SendMessageA(w, BM_SETCHECK, static_cast<WPARAM>(v), 0);
    const ControlBinding* b = binding(c);
    if (v == ui::kChecked && b && b->designClass == "OptionButton") clearOtherOptions(w);
}

void DialogWindow::setFocus(std::string_view c) {
    if (HWND w = item(c)) SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w), TRUE);
}

void DialogWindow::setHelpContext(std::string_view c, std::uint32_t id) {
    checkName(c);
    helpContexts_[std::string(c)] = id;
    if (HWND w = item(c); w && GetWindowContextHelpId(w) != id) SetWindowContextHelpId(w, id);
}

std::vector<std::string> DialogWindow::controlNames() const {
    std::vector<std::string> names;
    for (const ControlBinding& b : controls_) names.push_back(b.name);
    return names;
}

std::string DialogWindow::className(std::string_view c) const {
    const ControlBinding* b = binding(c);
    return b ? b->designClass : (isForm(c) ? "Form" : "");
}

}  // namespace vantora::win32
