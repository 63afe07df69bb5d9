#include "launcher/form3.h"

#include "launcher/assignments.h"

namespace vantora::launcher {

Form3::Form3(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
             std::string helpFile)
    : LauncherDialog(state, store, view, form1, ports, std::move(helpFile), "Form3", kForm3HelpContext,
                     &LauncherState::AssignmentTypeOpen) {
    onClick<Form3>({{"Check1", &Form3::Check1_Click},
                    {"Command1", &Form3::Command1_Click},
                    {"Command2", &Form3::Command2_Click},
                    {"Command3", &Form3::Command3_Click},
                    {"Command4", &Form3::Command4_Click},
                    {"Command5", &Form3::Command5_Click}});
    view_.on("Form3", ui::Event::Unload, [this] { Form_Unload(); });
}

void Form3::Form_Load() {
    loaded();
    view_.setCaption("Label1", key());
    if (keyStatus() == kErrorSuccess) {
        const std::pair<const char*, std::string*> parts[] = {
            {kCmdKey, &state_.CurrentCommand}, {kCwdKey, &state_.CurrentWorkingDir}, {kDescKey, &state_.CurrentDescription}};
        for (auto [path, field] : parts)
            if (const StoredString s = store_.readUser(path, key()); s.exists()) *field = s.text;
    }
    view_.setValue("Check1", store_.option("opts5") ? ui::kChecked : ui::kUnchecked);
}

void Form3::Check1_Click() {
    const bool on = view_.value("Check1") == ui::kChecked;
    store_.writeUser(kCfgKey, "opts5", on ? "1" : "0");
    form1_.setChecked("mConfirm", on);
}

void Form3::Command1_Click() {
    handKeyOn();
    ports_.forms.showForm4([this](ui::View& form4) {
        if (keyStatus() != kErrorSuccess) return;
        form4.setCaption("Text1", state_.CurrentDescription);
        form4.setCaption("Text2", state_.CurrentCommand);
        form4.setCaption("Text3", state_.CurrentWorkingDir);
    });
}

void Form3::Command2_Click() {
    handKeyOn();
    ports_.forms.showForm6(kExplorerPopup);
}

void Form3::Command3_Click() {
    if (keyStatus() != kErrorSuccess) {
        ports_.forms.enableMainWindow();
        view_.close();
    } else if (view_.value("Check1") != ui::kChecked) {
        ClearAssignment(store_, state_, key());
        RefreshKeyPicture(store_, state_, form1_);
        view_.close();
    } else {
        handKeyOn();
        ports_.forms.showForm7([](ui::View& form7) { form7.setCaption("Label10", kNoCommand); });
    }
}

void Form3::Command4_Click() { view_.close(); }

void Form3::Command5_Click() { showHelp(); }

void Form3::Form_Unload() { unloaded(); }

}  // namespace vantora::launcher
