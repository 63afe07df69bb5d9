#include "launcher/form1.h"

#include <algorithm>
#include <cmath>

#include "launcher/assignments.h"
#include "launcher/keyboard_picture.h"

namespace vantora::launcher {

namespace {
constexpr int kLabelTopShift = 28;
}

int scaledLabelFontSize(int dpi, int designSize) {
    if (dpi <= 0) return designSize;
    // nearbyint rounds halves to the even neighbour, as the size rule asks.
    if (dpi < 97) return static_cast<int>(std::nearbyint(96.0 / dpi * designSize));
    if (dpi >= 120) return static_cast<int>(std::nearbyint(designSize / (dpi / 96.0)));
    return designSize;
}

Form1::Form1(LauncherState& state, Store& store, ui::View& view, ui::WindowProcedureHost& procedures,
             Form1Ports ports, Form1Actions actions)
    : state_(state), store_(store), view_(view), procedures_(procedures), ports_(std::move(ports)),
      actions_(std::move(actions)), pressGate_(ports_.timing) {
    view_.on(kForm1, ui::Event::Resize, [this] { Form_Resize(); });
    view_.on(kForm1, ui::Event::Unload, [this] { Form_Unload(); });
    // F1: the window's topic, or the highlighted menu item's.
    view_.on(kForm1, ui::Event::Help, [this](int context) {
        showHelp(context > 0 ? static_cast<std::uint32_t>(context) : kHelpContextIndex);
    });
    for (const auto& [item, context] : kMenuHelpContexts) view_.setHelpContext(item, context);
    view_.onArray("Label1", ui::Event::MouseDown, [this](int i, int button) { Label1_MouseDown(i, button, 0, 0, 0); });
    view_.onArray("Label1", ui::Event::MouseMove, [this](int i, int button) { Label1_MouseMove(i, button, 0, 0, 0); });
    view_.onArray("mPopupCmd", ui::Event::Click, [this](int i, int) { mPopupCmd_Click(i); });
    const std::pair<const char*, void (Form1::*)()> menus[] = {
        {"mAssignments", &Form1::mAssignments_Click}, {"mTop", &Form1::mTop_Click},
        {"mPopups", &Form1::mPopups_Click},           {"mMinimize", &Form1::mMinimize_Click},
        {"mHints", &Form1::mHints_Click},             {"mConfirm", &Form1::mConfirm_Click},
        {"mIndex", &Form1::mIndex_Click},             {"mAbout", &Form1::mAbout_Click},
        {"umLaunch", &Form1::umLaunch_Click},         {"umHelp", &Form1::umHelp_Click}};
    for (auto [item, handler] : menus) view_.on(item, ui::Event::Click, [this, handler] { (this->*handler)(); });
}

void Form1::Form_Load() {
    state_.TopMostFlag = false;
    Form_Resize();
    Form5_Image1_ = drawKeyboardPicture();
    view_.setPicture(&Form5_Image1_);
    helpFile_ = ports_.programFolder + "\\Keyloom32.hlp";

    labelFontSize_ = scaledLabelFontSize(ports_.screen.screenDeviceCaps(kLogPixelsX), view_.fontSize(labelName(0)));
    for (const auto& key : kKeyTable) {
        const std::string label = labelName(key.index);
        view_.setFontSize(label, labelFontSize_);
        view_.setBounds(label, {key.left, key.top - kLabelTopShift, kLabelSize, kLabelSize});
    }
    for (const auto& key : kKeyTable) {
        const std::string label = labelName(key.index);
        ui::Rect r = view_.bounds(label);
        r.top += kLabelTopShift;
        view_.setBounds(label, r);
    }
    if (ports_.language) LocalizeWindow(kForm1, view_, state_, *ports_.language);

    if (auto maker = ScopedRegKey::create(store_.registry(), kHkeyCurrentUser, kMakerKey)) {
        const std::uint32_t handle = view_.windowHandle();
        std::uint8_t bytes[4] = {std::uint8_t(handle), std::uint8_t(handle >> 8), std::uint8_t(handle >> 16),
                                 std::uint8_t(handle >> 24)};
        store_.registry().RegSetValueExA(maker.get(), kPublishedValue, kRegDword, bytes, 4);
    }

    state_.KeyNames.clear();
    for (const auto& key : kKeyTable) state_.KeyNames.emplace_back(key.name);

    if (auto cfg = ScopedRegKey::open(store_.registry(), kHkeyCurrentUser, kCfgKey)) {
        const long left = numericValue(store_.readString(cfg.get(), "x").text);
        const long top = numericValue(store_.readString(cfg.get(), "y").text);
        cfg.reset();
        if (left < 0 || top < 0)
            firstRunPosition();
        else
            view_.moveForm(left, top);
    } else {
        firstRunPosition();
        for (auto [name, value] : {std::pair{"fIcon", "0"}, {"opts1", "0"}, {"opts2", "1"}, {"opts3", "0"},
                                   {"opts4", "1"}, {"opts5", "1"}})
            store_.writeUser(kCfgKey, name, value);
        const ui::Rect r = view_.formBounds();
        store_.writeCoordinate("X", r.left);
        store_.writeCoordinate("Y", r.top);
    }

    // The window is made without the always-on-top style: only "on" has anything to change
    // (and "off" would be a window-manager round trip for nothing, several milliseconds).
    if (store_.option("opts1")) applyTopMost(true);
    view_.setChecked("mTop", state_.TopMostFlag);
    view_.setChecked("mPopups", store_.option("opts2"));
    view_.setChecked("mMinimize", store_.option("opts3"));
    view_.setChecked("mHints", store_.option("opts4"));
    view_.setChecked("mConfirm", store_.option("opts5"));

    RefreshKeyPicture(store_, state_, view_);

    state_.MainWindowHandle = view_.windowHandle();
    addTrayIcon();
    procedures_.replaceWindowProc([this](WindowHandle w, std::uint32_t m, ui::MessageParam wp, ui::MessageParam lp) {
        return MainWindowProc(w, m, wp, lp);
    });
}

void Form1::addTrayIcon() {
    ports_.tray.add({88, state_.MainWindowHandle, kTrayIconId, kTrayFlags, TrayCallbackMessage, "Keyloom"});
}

void Form1::firstRunPosition() {
    const ui::Rect r = view_.formBounds();
    const int screenW = ports_.screen.GetSystemMetrics(kSmCxScreen) * view_.twipsPerPixelX();
    const int screenH = ports_.screen.GetSystemMetrics(kSmCyScreen) * view_.twipsPerPixelY();
    view_.moveForm((screenW - r.width) / 5, (screenH - r.height) / 5);
}

void Form1::Form_Resize() {
    if (view_.windowState() == ui::WindowState::Minimized) {
        view_.hide();
        return;
    }
    const int tx = view_.twipsPerPixelX(), ty = view_.twipsPerPixelY();
    view_.resizeForm(kPictureWidth * tx, (kPictureHeight + 5) * ty + ports_.screen.GetSystemMetrics(kSmCyMenu) * ty +
                                             ports_.screen.GetSystemMetrics(kSmCySize) * ty);
}

void Form1::Form_Unload() {
    for (int i = 0; i < kKeyCount; ++i) view_.setTag(labelName(i), "0");
    const ui::Rect r = view_.formBounds();
    if (!(r.left <= 0 && r.top <= 0)) {
        store_.writeCoordinate("X", r.left);
        store_.writeCoordinate("Y", r.top);
    }
    procedures_.restoreWindowProc();
    ports_.tray.remove({88, state_.MainWindowHandle, kTrayIconId, 0, 0, {}});
    unloadForm5();
}

void Form1::unloadForm5() {
    view_.setPicture(nullptr);
    Form5_Image1_ = {};
}

void Form1::Form_Terminate() {
    if (auto maker = ScopedRegKey::open(store_.registry(), kHkeyCurrentUser, kMakerKey))
        store_.registry().RegDeleteValueA(maker.get(), kPublishedValue);
}

void Form1::Label1_MouseMove(int index, int, int, int, int) {
    if (index < 0 || index >= kKeyCount) return;
    const std::string label = labelName(index);
    state_.CurrentKeyName = "Fn-" + view_.caption(label);
    if (!store_.option("opts4")) {
        view_.setToolTip(label, "");
        return;
    }
    const StoredString desc = store_.readUser(kDescKey, state_.CurrentKeyName);
    state_.CurrentKeyStatus = desc.status;
    view_.setToolTip(label, desc.exists() && !desc.text.empty() ? desc.text : "none");
}

void Form1::Label1_MouseDown(int index, int button, int, int, int) {
    if (index < 0 || index >= kKeyCount) return;
    const std::string label = labelName(index);
    if (view_.foreColor(label) == ReservedColor) return;
    // One assignment at a time: a right click that reaches the keys while a dialog is
    // open brings that dialog forward; the key it edits stays the current key.
    if (button == kMouseRight && state_.anyDialogOpen()) {
        ports_.windows.SetForegroundWindow(state_.activeFormWindow());
        return;
    }
    state_.CurrentKeyName = "Fn-" + view_.caption(label);
    state_.CurrentKeyIndex = static_cast<std::int16_t>(index);
    if (button == kMouseLeft) {
        if (actions_.LaunchCurrentKey) actions_.LaunchCurrentKey();
    } else if (button == kMouseRight) {
        state_.CurrentKeyStatus = store_.readUser(kCmdKey, state_.CurrentKeyName).status;
        if (actions_.showAssignmentTypeModal) actions_.showAssignmentTypeModal();
    }
}

void Form1::DynPopupMenu() {
    popupKey_ = state_.CurrentKeyName;
    view_.setCaption("mDynFnKey", state_.CurrentKeyName);
    view_.setChecked("mDynFnKey", true);
    std::vector<std::string> names = popupEntryNames(store_, state_.CurrentKeyName);
    const std::size_t leftOut = keepFirstShown(names, [](const std::string& name) -> const std::string& { return name; });
    if (leftOut > 0) names.push_back(leftOutText(leftOut));
    const int n = static_cast<int>(names.size());
    popupEntries_ = n;
    for (int j = 0; j < n; ++j) {
        const std::string item = ui::indexed("mPopupCmd", j);
        if (j >= 1) {
            if (IsLoaded(item)) view_.unload(item);
            view_.load(item);
        }
        view_.setVisible(item, true);
        view_.setCaption(item, names[j]);
        // The count of what was left out is no entry to choose.
        view_.setEnabled(item, leftOut == 0 || j + 1 < n);
    }
    // Element 0 stays loaded; with no entries at all it is only hidden.
    if (n == 0) view_.setVisible(ui::indexed("mPopupCmd", 0), false);
    for (int j = std::max(n, 1); j <= kMaxPopupEntries; ++j) {
        const std::string item = ui::indexed("mPopupCmd", j);
        if (!IsLoaded(item)) break;
        view_.unload(item);
    }
}

bool Form1::IsLoaded(std::string_view element) { return view_.isLoaded(element); }

bool Form1::showPopupList() {
    if (popupListShowing_) return !popupEntryNames(store_, state_.CurrentKeyName).empty();
    popupListShowing_ = true;
    struct Shown {
        bool& flag;
        ~Shown() { flag = false; }
    } shown{popupListShowing_};
    DynPopupMenu();
    if (popupEntries_ == 0) return false;
    view_.popupMenu("mDynamics", 0);
    return true;
}

void Form1::mPopupCmd_Click(int index) {
    const std::string entry = view_.caption(ui::indexed("mPopupCmd", index));
    const std::string path = std::string(kPrgKey) + "\\" + popupKey_ + "\\" + entry;
    auto key = ScopedRegKey::open(store_.registry(), kHkeyCurrentUser, path.c_str());
    if (!key) return;
    const StoredString target = store_.readString(key.get(), entry);
    key.reset();
    if (!target.exists()) return;
    const bool minimize = store_.option("opts3");
    ports_.shell.ShellExecuteA(target.text);
    if (minimize) goToTray();
}

void Form1::goToTray() {
    if (!view_.visible()) return;
    if (view_.windowState() == ui::WindowState::Minimized)
        view_.hide();
    else
        view_.setWindowState(ui::WindowState::Minimized);
}

void Form1::applyTopMost(bool on) {
    state_.TopMostFlag = on;
    ports_.windows.SetWindowPos(view_.windowHandle(), on ? kHwndTopMost : kHwndNoTopMost, 0, 0, 0, 0,
                                kSwpNoMoveNoSize);
}

bool Form1::toggleOption(const char* option, std::string_view menuItem) {
    const bool nowOn = !store_.option(option);
    view_.setChecked(menuItem, nowOn);
    store_.writeUser(kCfgKey, option, nowOn ? "1" : "0");
    return nowOn;
}

void Form1::mAssignments_Click() {
    if (actions_.showAssignments) actions_.showAssignments();
}
void Form1::mTop_Click() { applyTopMost(toggleOption("opts1", "mTop")); }
void Form1::mPopups_Click() {
    if (toggleOption("opts2", "mPopups"))
        RefreshKeyPicture(store_, state_, view_);
    else
        view_.cls();
}
void Form1::mMinimize_Click() { toggleOption("opts3", "mMinimize"); }
void Form1::mHints_Click() { toggleOption("opts4", "mHints"); }
void Form1::mConfirm_Click() { toggleOption("opts5", "mConfirm"); }
void Form1::showHelp(std::uint32_t context) { ports_.help.showContext(helpFile_, context); }
void Form1::mIndex_Click() { showHelp(kHelpContextIndex); }
void Form1::umHelp_Click() { showHelp(kHelpContextIndex); }
void Form1::mAbout_Click() {
    if (actions_.showAbout) actions_.showAbout();
}
void Form1::umLaunch_Click() { restoreFromTray(false); }

void Form1::restoreFromTray(bool doubleClick) {
    const WindowHandle main = state_.MainWindowHandle;
    if (view_.windowState() == ui::WindowState::Normal && view_.visible()) {
        ports_.windows.SetForegroundWindow(main);
        return;
    }
    auto bringBack = [&] {
        view_.setWindowState(ui::WindowState::Normal);
        view_.show();
        RefreshKeyPicture(store_, state_, view_);
    };
    if (doubleClick && !state_.anyDialogOpen()) {
        ports_.windows.SetForegroundWindow(main);
        bringBack();
        return;
    }
    const WindowHandle active = state_.activeFormWindow();
    ports_.windows.SetForegroundWindow(active);
    if (active == main) bringBack();
}

ui::MessageResult Form1::MainWindowProc(WindowHandle window, std::uint32_t message, ui::MessageParam wParam,
                                        ui::MessageParam lParam) {
    if (const std::uint32_t recreated = ports_.tray.taskbarCreatedMessage(); recreated != 0 && message == recreated) {
        addTrayIcon();  // a new taskbar knows no icons
    } else if (message == TrayCallbackMessage && wParam == kTrayIconId) {
        if (lParam == kTrayDoubleClick) {
            restoreFromTray(true);
        } else if (lParam == kTrayRightButtonUp &&
                   !(trayMenuClosed_ && timeBefore(ports_.timing.messageTime(), *trayMenuClosed_))) {
            // A right-click that waited in the queue while the menu showed is dropped: taken
            // now, a posted flood of them would reopen the menu as fast as the user closes it.
            if (!state_.anyDialogOpen()) {
                if (ports_.windows.GetForegroundWindow() != state_.MainWindowHandle)
                    ports_.windows.SetForegroundWindow(state_.MainWindowHandle);
            } else {
                ports_.windows.SetForegroundWindow(state_.activeFormWindow());
            }
            view_.popupMenu("umTray", kTrayMenuRightAlign);
            trayMenuClosed_ = ports_.timing.tickCount();
        }
    } else if (message == FnKeyMessage && wParam == kFnKeyWParam) {
        const auto index = lParam <= 0xFFFFFFFFu ? keyIndexForScanCode(static_cast<std::uint32_t>(lParam)) : std::nullopt;
        if (index && pressGate_.admit(static_cast<int>(*index))) {
            struct Launching {
                KeyPressGate& gate;
                int key;
                ~Launching() { gate.done(key); }
            } launching{pressGate_, static_cast<int>(*index)};
            state_.CurrentKeyName = std::string(kKeyTable[*index].name);
            state_.CurrentKeyIndex = static_cast<std::int16_t>(*index);
            if (actions_.LaunchCurrentKey) actions_.LaunchCurrentKey();
        }
    }
    return procedures_.callPreviousWindowProc(window, message, wParam, lParam);
}

bool StartUp(LauncherState& state, Store& store, SingleCopyPort& instances, WindowManagerPort& windows,
             bool win98OrMe, const std::function<void()>& loadAndShowForm1) {
    state.CurrentKeyStatus = 100;
    WindowHandle published = 0;
    if (instances.anotherCopyRunning()) {
        if (auto maker = ScopedRegKey::open(store.registry(), kHkeyCurrentUser, kMakerKey)) {
            std::uint32_t type = 0, size = 4;
            std::uint8_t bytes[4] = {};
            if (store.registry().RegQueryValueExA(maker.get(), kPublishedValue, &type, bytes, &size) == kErrorSuccess &&
                size == 4)
                published = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t(bytes[3]) << 24);
        }
    }
    // Any program of the user may hold the token and publish a window; only a verified
    // copy is raised. Otherwise this copy starts, and its own handle replaces the other.
    const bool first = !instances.isRunningCopy(published);
    if (first) {
        loadAndShowForm1();
    } else {
        windows.ShowWindow(published, kSwRestore);
        windows.SetForegroundWindow(published);
    }
    state.Win98OrMeFlag = win98OrMe;
    return first;
}


}  // namespace vantora::launcher

namespace vantora::launcher {
bool IsWin98OrMe(bool queryOk, std::uint32_t major, std::uint32_t minor, std::uint32_t platformId) {
    if (!queryOk) return false;
    return (major == 4 && minor > 0) || (major > 4 && platformId == 1);
}

bool IsWin98OrMe(OsVersionPort& os) {
    OsVersionInfo v;
    v.osVersionInfoSize = sizeof v;
    const bool ok = os.GetVersionExA(&v) != 0;
    return IsWin98OrMe(ok, v.majorVersion, v.minorVersion, v.platformId);
}
}  // namespace vantora::launcher
