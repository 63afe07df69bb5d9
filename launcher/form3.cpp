#include "launcher/form3.h"

namespace vantora::launcher {

Form3::Form3(LauncherState& state, Store& store, ui::View& view, ui::View& form1, Form3Ports ports,
             std::string helpFile)
    : state_(state), store_(store), view_(view), form1_(form1), ports_(ports), helpFile_(std::move(helpFile)) {
    view_.on("Check1", ui::Event::Click, [this] { Check1_Click(); });
    view_.on("Command4", ui::Event::Click, [this] { Command4_Click(); });
    view_.on("Command5", ui::Event::Click, [this] { Command5_Click(); });
    view_.on("Form3", ui::Event::KeyPress, [this](int key) { Form_KeyPress(key); });
    view_.on("Form3", ui::Event::Help, [this] { Command5_Click(); });
    view_.on("Form3", ui::Event::Unload, [this] { Form_Unload(); });
}

void Form3::Form_Load() {
    state_.AssignmentTypeOpen = true;
    state_.formLoaded(view_.windowHandle());
    if (state_.TopMostFlag)
        ports_.windows.SetWindowPos(view_.windowHandle(), kHwndTopMost, 0, 0, 0, 0, kSwpNoMoveNoSize);
    view_.setCaption("Label1", state_.CurrentKeyName);
    if (state_.CurrentKeyStatus == kErrorSuccess) {
        const std::pair<const char*, std::string*> parts[] = {
            {kCmdKey, &state_.CurrentCommand}, {kCwdKey, &state_.CurrentWorkingDir}, {kDescKey, &state_.CurrentDescription}};
        for (auto [key, field] : parts)
            if (const StoredString s = store_.readUser(key, state_.CurrentKeyName); s.exists()) *field = s.text;
    }
    view_.setValue("Check1", store_.option("opts5") ? ui::kChecked : ui::kUnchecked);
}

void Form3::Check1_Click() {
    const bool on = view_.value("Check1") == ui::kChecked;
    store_.writeUser(kCfgKey, "opts5", on ? "1" : "0");
    form1_.setChecked("mConfirm", on);
}

void Form3::Command4_Click() { view_.close(); }

void Form3::Command5_Click() { ports_.help.showContext(helpFile_, kForm3HelpContext); }

void Form3::Form_KeyPress(int key) {
    if (key == ui::kKeyEscape) view_.close();
}

void Form3::Form_Unload() {
    state_.AssignmentTypeOpen = false;
    state_.formUnloaded(view_.windowHandle());
}

}  // namespace vantora::launcher
