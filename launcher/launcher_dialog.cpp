#include "launcher/launcher_dialog.h"

namespace vantora::launcher {

LauncherDialog::LauncherDialog(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
                               std::string helpFile, const char* formName, std::uint32_t helpContext,
                               bool LauncherState::*openFlag)
    : state_(state), store_(store), view_(view), form1_(form1), ports_(ports), helpFile_(std::move(helpFile)),
      formName_(formName), helpContext_(helpContext), openFlag_(openFlag) {
    view_.on(formName, ui::Event::KeyPress, [this](int key) {
        if (key == ui::kKeyEscape) view_.close();
    });
    view_.on(formName, ui::Event::Help, [this] { showHelp(); });
}

void LauncherDialog::loaded() {
    key_ = state_.CurrentKeyName;
    keyStatus_ = state_.CurrentKeyStatus;
    if (ports_.language) LocalizeWindow(formName_, view_, state_, *ports_.language);
    if (openFlag_) state_.*openFlag_ = true;
    state_.formLoaded(view_.windowHandle());
    if (state_.TopMostFlag)
        ports_.windows.SetWindowPos(view_.windowHandle(), kHwndTopMost, 0, 0, 0, 0, kSwpNoMoveNoSize);
}

void LauncherDialog::unloaded() {
    if (openFlag_) state_.*openFlag_ = false;
    state_.formUnloaded(view_.windowHandle());
}

void LauncherDialog::handKeyOn() {
    state_.CurrentKeyName = key_;
    state_.CurrentKeyStatus = keyStatus_;
}

void LauncherDialog::showHelp() { ports_.help.showContext(helpFile_, helpContext_); }

}  // namespace vantora::launcher
