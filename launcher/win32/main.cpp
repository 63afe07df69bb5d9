// Keyloom: the Win32 host of the launcher's main window.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/win32/desktop_win32.h"
#include "common/win32/dialog_window.h"
#include "common/win32/shell_win32.h"
#include "common/win32/win32_registry.h"
#include "launcher/form1.h"
#include "launcher/form3.h"
#include "launcher/launching.h"
#include "launcher/keyboard_picture.h"
#include "launcher/win32/resource.h"

namespace {

using namespace vantora;
using namespace vantora::launcher;

constexpr char kClassName[] = "Vantora.Keyloom.Form1";
constexpr char kSingleCopyMutex[] = "Vantora.Keyloom.SingleCopy";

// Labels are windowless, as the design's labels are: the window paints them over the
// picture and hit-tests the mouse against their rectangles.
struct Label {
    std::string caption, tag, toolTip;
    ui::Color color = kWhite;
    int fontSize = 12;
    ui::Rect bounds;
};

// The items of the popup-list menu, built into a menu only when it pops up.
struct DynamicMenuItem {
    std::string caption;
    bool visible = true, checked = false;
};

bool isDynamicMenuItem(std::string_view name) {
    return name == "mDynFnKey" || name.substr(0, 10) == "mPopupCmd(";
}

class MainWindow final : public ui::View, public MainWindowHost {
public:
    explicit MainWindow(HINSTANCE instance) : instance_(instance) {}
    ~MainWindow() override {
        for (auto& [size, font] : fonts_)
            if (font) DeleteObject(font);
    }
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND hwnd = nullptr;
    Form1* form = nullptr;
    std::vector<Label> labels = std::vector<Label>(kKeyCount);
    std::map<std::string, UINT, std::less<>> menuIds{{"mTop", IDM_TOP},         {"mPopups", IDM_POPUPS},
                                                     {"mMinimize", IDM_MINIMIZE}, {"mHints", IDM_HINTS},
                                                     {"mConfirm", IDM_CONFIRM}};

    // --- ui::View
    std::uint32_t windowHandle() const override { return win32::fromHwnd(hwnd); }
    Label* label(std::string_view name) {
        for (int i = 0; i < kKeyCount; ++i)
            if (name == labelName(i)) return &labels[i];
        return nullptr;
    }
    const Label* label(std::string_view name) const { return const_cast<MainWindow*>(this)->label(name); }
    DynamicMenuItem* menuItem(std::string_view name) {
        auto it = dynamicMenu_.find(name);
        return it == dynamicMenu_.end() ? nullptr : &it->second;
    }
    void setCaption(std::string_view c, std::string_view t) override {
        if (auto* l = label(c)) l->caption = t, invalidate(*l);
        if (auto* m = menuItem(c)) m->caption = t;
    }
    std::string caption(std::string_view c) const override {
        if (auto it = dynamicMenu_.find(c); it != dynamicMenu_.end()) return it->second.caption;
        return label(c) ? label(c)->caption : "";
    }
    void setVisible(std::string_view c, bool on) override {
        if (auto* m = menuItem(c)) m->visible = on;
    }
    bool isVisible(std::string_view c) const override {
        auto it = dynamicMenu_.find(c);
        return it == dynamicMenu_.end() || it->second.visible;
    }
    void setForeColor(std::string_view c, ui::Color color) override {
        if (auto* l = label(c)) l->color = color, invalidate(*l);
    }
    ui::Color foreColor(std::string_view c) const override { return label(c) ? label(c)->color : 0; }
    void setFontSize(std::string_view c, int points) override {
        if (auto* l = label(c)) l->fontSize = points, invalidate(*l);
    }
    int fontSize(std::string_view c) const override { return label(c) ? label(c)->fontSize : 0; }
    void setBounds(std::string_view c, ui::Rect r) override {
        if (auto* l = label(c)) invalidate(*l), l->bounds = r, invalidate(*l), updateTool(*l);
    }
    ui::Rect bounds(std::string_view c) const override { return label(c) ? label(c)->bounds : ui::Rect{}; }
    void setTag(std::string_view c, std::string_view t) override {
        if (auto* l = label(c)) l->tag = t;
    }
    std::string tag(std::string_view c) const override { return label(c) ? label(c)->tag : ""; }
    void setToolTip(std::string_view c, std::string_view t) override {
        if (auto* l = label(c)) l->toolTip = t, updateTool(*l);
    }
    std::string toolTip(std::string_view c) const override { return label(c) ? label(c)->toolTip : ""; }
    void setChecked(std::string_view m, bool on) override {
        if (auto* item = menuItem(m)) item->checked = on;
        if (auto it = menuIds.find(m); it != menuIds.end())
            CheckMenuItem(GetMenu(hwnd), it->second, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    }
    bool checked(std::string_view m) const override {
        if (auto d = dynamicMenu_.find(m); d != dynamicMenu_.end()) return d->second.checked;
        auto it = menuIds.find(m);
        return it != menuIds.end() && (GetMenuState(GetMenu(hwnd), it->second, MF_BYCOMMAND) & MF_CHECKED);
    }
    ui::WindowState windowState() const override {
        if (IsIconic(hwnd)) return ui::WindowState::Minimized;
        if (IsZoomed(hwnd)) return ui::WindowState::Maximized;
        return ui::WindowState::Normal;
    }
    void setWindowState(ui::WindowState s) override {
        ShowWindow(hwnd, s == ui::WindowState::Minimized ? SW_MINIMIZE
                         : s == ui::WindowState::Maximized ? SW_MAXIMIZE : SW_RESTORE);
    }
    void show() override { ShowWindow(hwnd, SW_SHOW); }
    void hide() override { ShowWindow(hwnd, SW_HIDE); }
    bool visible() const override { return IsWindowVisible(hwnd) != 0; }
    ui::Rect formBounds() const override {
        RECT r{};
        GetWindowRect(hwnd, &r);
        const int tx = twipsPerPixelX(), ty = twipsPerPixelY();
        return {r.left * tx, r.top * ty, (r.right - r.left) * tx, (r.bottom - r.top) * ty};
    }
    void moveForm(int left, int top) override {
        SetWindowPos(hwnd, nullptr, left / twipsPerPixelX(), top / twipsPerPixelY(), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void resizeForm(int width, int height) override {
        SetWindowPos(hwnd, nullptr, 0, 0, width / twipsPerPixelX(), height / twipsPerPixelY(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    int twipsPerPixelX() const override { return 1440 / std::max(1, dpi_); }
    int twipsPerPixelY() const override { return 1440 / std::max(1, dpi_); }
    void cls() override {
        lines_.clear();
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    void line(int x1, int y1, int x2, int y2, ui::Color c) override {
        lines_.push_back({x1, y1, x2, y2, c});
        RECT r{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1};
        InvalidateRect(hwnd, &r, FALSE);
    }

    // --- MainWindowHost
    void showPicture() override {
        const Picture p = drawKeyboardPicture();
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        picture_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!picture_ || !bits) return;
        const int stride = (p.width * 3 + 3) & ~3;
        auto* out = static_cast<BYTE*>(bits);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const ui::Color c = p.at(x, y);
                BYTE* px = out + y * stride + x * 3;
                px[0] = BYTE(c >> 16), px[1] = BYTE(c >> 8), px[2] = BYTE(c);
            }
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    bool menuItemExists(std::string_view item) override { return dynamicMenu_.count(item) != 0; }
    void loadMenuItem(std::string_view item) override {
        if (isDynamicMenuItem(item)) dynamicMenu_.try_emplace(std::string(item));
    }
    void unloadMenuItem(std::string_view item) override {
        if (item != "mPopupCmd(0)" && item != "mDynFnKey")
            if (auto it = dynamicMenu_.find(item); it != dynamicMenu_.end()) dynamicMenu_.erase(it);
    }
    void popupMenu(std::string_view menu, std::uint32_t flags) override {
        if (menu == "mDynamics") {
            popupDynamics(flags);
            return;
        }
        if (menu != "umTray") return;
        HMENU bar = LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_TRAYMENU));
        POINT pt{};
        GetCursorPos(&pt);
        SetForegroundWindow(hwnd);
        TrackPopupMenu(GetSubMenu(bar, 0), flags, pt.x, pt.y, 0, hwnd, nullptr);
        PostMessageA(hwnd, WM_NULL, 0, 0);
        DestroyMenu(bar);
    }
    void replaceWindowProc() override {
        previous_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&subclassProc)));
    }
    void restoreWindowProc() override {
        if (previous_) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        previous_ = nullptr;
    }
    long callPreviousWindowProc(WindowHandle w, std::uint32_t m, std::uint32_t wp, std::uint32_t lp) override {
        return previous_ ? CallWindowProcA(previous_, win32::toHwnd(w), m, wp, lp) : 0;
    }
    WindowHandle activeFormWindow() override {
        HWND active = GetActiveWindow();
        return win32::fromHwnd(active ? active : hwnd);
    }
    std::string programFolder() override {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string s(path);
        return s.substr(0, s.rfind('\\'));
    }
    void unloadForm5() override {
        if (picture_) DeleteObject(picture_);
        picture_ = nullptr;
    }

    void popupDynamics(std::uint32_t flags);
    void create(int showCommand);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK hostProc(HWND h, UINT m, WPARAM w, LPARAM l);
    static LRESULT CALLBACK subclassProc(HWND h, UINT m, WPARAM w, LPARAM l);

private:
    struct Line { int x1, y1, x2, y2; ui::Color color; };
    void invalidate(const Label& l) {
        if (!hwnd) return;
        RECT r{l.bounds.left, l.bounds.top, l.bounds.left + l.bounds.width, l.bounds.top + l.bounds.height};
        InvalidateRect(hwnd, &r, FALSE);
    }
    void updateTool(const Label& l);
    void paint();
    int labelAt(int x, int y) const {
        for (int i = kKeyCount - 1; i >= 0; --i) {
            const ui::Rect& b = labels[i].bounds;
            if (x >= b.left && x < b.left + b.width && y >= b.top && y < b.top + b.height) return i;
        }
        return -1;
    }

    HINSTANCE instance_;
    HBITMAP picture_ = nullptr;
    WNDPROC previous_ = nullptr;
    HWND tooltip_ = nullptr;
    int dpi_ = 96;
    std::vector<Line> lines_;
    std::map<int, HFONT> fonts_;
    std::map<std::string, DynamicMenuItem, std::less<>> dynamicMenu_{{"mDynFnKey", {}}, {"mPopupCmd(0)", {}}};
};

MainWindow* g_main = nullptr;
UINT g_taskbarCreated = 0;

void MainWindow::updateTool(const Label& l) {
    if (!tooltip_) return;
    const int i = static_cast<int>(&l - labels.data());
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = hwnd;
    ti.uId = static_cast<UINT_PTR>(i + 1);
    ti.rect = {l.bounds.left, l.bounds.top, l.bounds.left + l.bounds.width, l.bounds.top + l.bounds.height};
    ti.lpszText = const_cast<char*>(l.toolTip.c_str());
    // Re-adding the tool takes both a new rectangle and a new text; a label without a
    // tip has no tool at all, so nothing pops up over it.
    SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    ti.uFlags = TTF_SUBCLASS;
    if (!l.toolTip.empty()) SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void MainWindow::popupDynamics(std::uint32_t flags) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    const DynamicMenuItem& key = dynamicMenu_["mDynFnKey"];
    AppendMenuA(menu, MF_STRING | (key.checked ? MF_CHECKED : 0), IDM_DYNFNKEY, key.caption.c_str());
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    for (int j = 0; j <= kMaxPopupEntries; ++j) {
        auto it = dynamicMenu_.find(ui::indexed("mPopupCmd", j));
        if (it == dynamicMenu_.end()) break;
        if (it->second.visible)
            AppendMenuA(menu, MF_STRING | MF_BYCOMMAND, IDM_POPUPCMD0 + j, it->second.caption.c_str());
    }
    POINT pt{};
    GetCursorPos(&pt);
    SetForegroundWindow(hwnd);
    const int chosen = TrackPopupMenu(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, pt.x, pt.y, 0, hwnd, nullptr);
    PostMessageA(hwnd, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen >= IDM_POPUPCMD0 && form) form->mPopupCmd_Click(chosen - IDM_POPUPCMD0);
}

void MainWindow::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (picture_) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, picture_);
        BitBlt(dc, 0, 0, kPictureWidth, kPictureHeight, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    for (const Line& l : lines_) {
        HPEN pen = CreatePen(PS_SOLID, 1, l.color);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, l.x1, l.y1, nullptr);
        LineTo(dc, l.x2, l.y2);
        SetPixel(dc, l.x2, l.y2, l.color);  // LineTo leaves out the end point
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    SetBkMode(dc, TRANSPARENT);
    for (const Label& l : labels) {
        HFONT& font = fonts_[l.fontSize];
        if (!font)
            font = CreateFontA(-MulDiv(l.fontSize, dpi_, 72), 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0,
                               NONANTIALIASED_QUALITY, 0, "MS Sans Serif");
        HGDIOBJ old = SelectObject(dc, font);
        SetTextColor(dc, l.color);
        RECT r{l.bounds.left, l.bounds.top, l.bounds.left + l.bounds.width, l.bounds.top + l.bounds.height};
        DrawTextA(dc, l.caption.c_str(), -1, &r, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    }
    EndPaint(hwnd, &ps);
}

LRESULT MainWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    try {
        switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
            return 1;
        }
        case WM_PAINT: paint(); return 0;
        case WM_SIZE:
            if (form) form->Form_Resize();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            if (const int i = labelAt(LOWORD(lp), HIWORD(lp)); i >= 0 && form)
                form->Label1_MouseDown(i, msg == WM_LBUTTONDOWN ? kMouseLeft : kMouseRight, 0,
                                       LOWORD(lp) - labels[i].bounds.left, HIWORD(lp) - labels[i].bounds.top);
            return 0;
        case WM_MOUSEMOVE:
            if (const int i = labelAt(LOWORD(lp), HIWORD(lp)); i >= 0 && form) form->Label1_MouseMove(i, 0, 0, 0, 0);
            return 0;
        case WM_COMMAND:
            if (!form) break;
            switch (LOWORD(wp)) {
            case IDM_ASSIGNMENTS: form->mAssignments_Click(); return 0;
            case IDM_TOP: form->mTop_Click(); return 0;
            case IDM_POPUPS: form->mPopups_Click(); return 0;
            case IDM_MINIMIZE: form->mMinimize_Click(); return 0;
            case IDM_HINTS: form->mHints_Click(); return 0;
            case IDM_CONFIRM: form->mConfirm_Click(); return 0;
            case IDM_INDEX: form->mIndex_Click(); return 0;
            case IDM_ABOUT: form->mAbout_Click(); return 0;
            case IDM_UMLAUNCH: form->umLaunch_Click(); return 0;
            case IDM_UMHELP: form->umHelp_Click(); return 0;
            }
            break;
        case WM_CLOSE:
            if (form) form->Form_Unload();
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            if (msg == g_taskbarCreated && g_taskbarCreated && form) {
                form->addTrayIcon();
                return 0;
            }
        }
    } catch (...) {
        // Nothing may unwind through the system's dispatcher; the event is dropped.
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT CALLBACK MainWindow::hostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (g_main && (g_main->hwnd == h || !g_main->hwnd)) {
        g_main->hwnd = h;
        return g_main->handle(m, w, l);
    }
    return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK MainWindow::subclassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    try {
        if (g_main && g_main->form)
            return g_main->form->MainWindowProc(win32::fromHwnd(h), m, static_cast<std::uint32_t>(w),
                                                static_cast<std::uint32_t>(l));
    } catch (...) {
    }
    return g_main ? g_main->callPreviousWindowProc(win32::fromHwnd(h), m, w, l) : DefWindowProcA(h, m, w, l);
}

void MainWindow::create(int) {
    HDC screen = GetDC(nullptr);
    dpi_ = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    WNDCLASSA wc{};
    wc.lpfnWndProc = &MainWindow::hostProc;
    wc.hInstance = instance_;
    wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_KEYLOOM));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    hwnd = CreateWindowExA(0, kClassName, "Keyloom", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           CW_USEDEFAULT, CW_USEDEFAULT, kPictureWidth, kPictureHeight, nullptr,
                           LoadMenuA(instance_, MAKEINTRESOURCEA(IDR_MAINMENU)), instance_, nullptr);
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, hwnd,
                               nullptr, instance_, nullptr);
    for (const auto& k : kKeyTable) labels[k.index].caption = std::string(k.caption);
}

class MutexInstances : public SingleCopyPort {
public:
    bool anotherCopyRunning() override {
        mutex_ = CreateMutexA(nullptr, FALSE, kSingleCopyMutex);
        return GetLastError() == ERROR_ALREADY_EXISTS;
    }
    ~MutexInstances() override {
        if (mutex_) CloseHandle(mutex_);
    }

private:
    HANDLE mutex_ = nullptr;
};

// Form3 on its dialog template; one at a time, kept until the next one opens.
class AssignmentTypeDialog {
public:
    AssignmentTypeDialog(HINSTANCE instance, LauncherState& state, Store& store, MainWindow& main,
                         WindowManagerPort& windows, HelpPort& help, std::string helpFile)
        : view_(instance, IDD_FORM3, "Form3",
                {{"Label1", IDC_FORM3_LABEL1, "Label"},
                 {"Check1", IDC_FORM3_CHECK1, "CheckBox"},
                 {"Command4", IDC_FORM3_COMMAND4, "CommandButton"},
                 {"Command5", IDC_FORM3_COMMAND5, "CommandButton"}}),
          form_(state, store, view_, main, {windows, help}, std::move(helpFile)) {
        view_.onLoad = [this] { form_.Form_Load(); };
    }
    void showModal(HWND owner) { view_.showModal(owner); }
    void showModeless() {
        if (!view_.createModeless(nullptr)) return;
        view_.show();
        SetForegroundWindow(view_.hwnd());
    }

private:
    win32::DialogWindow view_;
    Form3 form_;
};

bool queryWin98OrMe() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    const bool ok = GetVersionExA(&v) != 0;
    return IsWin98OrMe(ok, v.dwMajorVersion, v.dwMinorVersion, v.dwPlatformId);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    win32::restrictDllSearch();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");

    Win32Registry registry;
    Store store(registry);
    LauncherState state;
    MutexInstances instances;
    win32::Win32Windows windows;
    win32::Win32Screen screen;

    win32::Win32Shell shell;
    win32::Win32Processes processes;

    MainWindow window(instance);
    g_main = &window;
    std::unique_ptr<win32::Win32Tray> tray;
    std::unique_ptr<win32::Win32Help> help;
    std::unique_ptr<Form1> form;
    std::unique_ptr<LaunchContext> launching;
    std::unique_ptr<AssignmentTypeDialog> form3;
    auto showForm3 = [&](bool modal) {
        form3 = std::make_unique<AssignmentTypeDialog>(instance, state, store, window, windows, *help,
                                                       form->helpFile());
        if (modal)
            form3->showModal(window.hwnd);
        else
            form3->showModeless();
    };

    const bool first = StartUp(state, store, instances, windows, queryWin98OrMe(), [&] {
        window.create(showCommand);
        tray = std::make_unique<win32::Win32Tray>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_KEYLOOM)));
        help = std::make_unique<win32::Win32Help>(window.hwnd);
        form = std::make_unique<Form1>(state, store, window, window, Form1Ports{screen, windows, *tray, *help, shell},
                                       Form1Actions{[&] { LaunchCurrentKey(*launching); },
                                                    [&] { showForm3(true); }, {}, {}});
        launching = std::make_unique<LaunchContext>(
            LaunchContext{state, store, *form, window, window, windows, shell, processes, showForm3});
        window.form = form.get();
        form->Form_Load();
        ShowWindow(window.hwnd, SW_SHOWNORMAL);
        UpdateWindow(window.hwnd);
    });
    if (!first) return 0;

    win32::DialogWindow::runMessageLoop();
    if (form) form->Form_Terminate();
    window.form = nullptr;
    g_main = nullptr;
    return 0;
}
