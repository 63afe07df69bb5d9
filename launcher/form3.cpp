#include "launcher/form3.h"

#include "launcher/assignments.h"

namespace vantora::launcher {

Form3::Form3(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
             std::string helpFile)
    : state_(state), store_(store), view_(view), form1_(form1), ports_(ports), helpFile_(std::move(helpFile)) {
    view_.on("Check1", ui::Event::Click, [this] { Check1_Click(); });
    view_.on("Command1", ui::Event::Click, [this] { Command1_Click(); });
    view_.on("Command2", ui::Event::Click, [this] { Command2_Click(); });
    view_.on("Command3", ui::Event::Click, [this] { Command3_Click(); });
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

void Form3::Command1_Click() {
    ports_.forms.showForm4([this](ui::View& form4) {
        if (state_.CurrentKeyStatus != kErrorSuccess) return;
        form4.setCaption("Text1", state_.CurrentDescription);
        form4.setCaption("Text2", state_.CurrentCommand);
        form4.setCaption("Text3", state_.CurrentWorkingDir);
    });
}

void Form3::Command2_Click() { ports_.forms.showForm6(kExplorerPopup); }

void Form3::Command3_Click() {
    if (state_.CurrentKeyStatus != kErrorSuccess) {
        ports_.forms.enableMainWindow();
        view_.close();
    } else if (view_.value("Check1") != ui::kChecked) {
        ClearAssignment(store_, state_);
        RefreshKeyPicture(store_, state_, form1_);
        view_.close();
    } else {
        ports_.forms.showForm7([](ui::View& form7) { form7.setCaption("Label10", kNoCommand); });
    }
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
