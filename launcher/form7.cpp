#include "launcher/form7.h"

#include "launcher/assignments.h"
#include "launcher/form1.h"

namespace vantora::launcher {

namespace {
// Writes into a key of the store that exists already; a missing one stays missing.
void writeExisting(Store& store, const char* keyPath, const std::string& name, const std::string& text) {
    if (auto key = ScopedRegKey::open(store.registry(), kHkeyCurrentUser, keyPath))
        Store::writeString(store.registry(), key.get(), name, text);
}
}  // namespace

std::string ConfirmSource(ui::View& form1) { return form1.tag(kForm1); }
void setConfirmSource(ui::View& form1, std::string_view source) { form1.setTag(kForm1, source); }

Form7::Form7(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
             std::string helpFile)
    : LauncherDialog(state, store, view, form1, ports, std::move(helpFile), "Form7", kForm7HelpContext,
                     &LauncherState::ConfirmationOpen) {
    onClick<Form7>({{"Command1", &Form7::Command1_Click},
                    {"Command2", &Form7::Command2_Click},
                    {"Command3", &Form7::Command3_Click}});
    view_.on("Form7", ui::Event::Unload, [this] { Form_Unload(); });
}

void Form7::Form_Load() {
    loaded();
    const std::string source = ConfirmSource(form1_);
    if (source == "Form4") {
        if (ui::View* form4 = ports_.forms.openForm("Form4")) {
            view_.setCaption("Label10", form4->caption("Text2"));
            view_.setCaption("Label12", form4->caption("Text1"));
            view_.setCaption("Label14", form4->caption("Text3"));
        }
        ports_.forms.closeForm("Form4");
    } else {
        ports_.forms.closeForm("Form3");
    }
    if (source == "Form6") {
        view_.setCaption("Label10", std::string(kPopupListPrefix) + state_.ChosenFolder);
        view_.setCaption("Label12", state_.ChosenFolderName);
    } else {
        ports_.forms.closeForm("Form6");
    }
    view_.setCaption("Label1", key());
    const std::string& command = state_.CurrentCommand;
    view_.setCaption("Label4", !command.empty() && command[0] == '@' ? kPopupListPrefix + command.substr(1) : command);
    view_.setCaption("Label6", state_.CurrentDescription);
    view_.setCaption("Label8", state_.CurrentWorkingDir);
}

void Form7::Command1_Click() {
    if (ConfirmSource(form1_) == "Form6") {
        ClearAssignment(store_, state_, key());
        SavePopupList(store_, state_, ports_.files, key(), state_.ChosenFolder, state_.MergedFolder);
    } else if (view_.caption("Label10") != kNoCommand) {
        // Read before ClearAssignment: the labels are the new definition, the state the old one.
        const std::string command = view_.caption("Label10"), description = view_.caption("Label12"),
                          directory = view_.caption("Label14");
        ClearAssignment(store_, state_, key());
        writeExisting(store_, kCmdKey, key(), command);
        writeExisting(store_, kDescKey, key(), description);
        writeExisting(store_, kCwdKey, key(), directory);
    } else {
        ClearAssignment(store_, state_, key());
    }
    RefreshKeyPicture(store_, state_, form1_);
    ports_.forms.enableMainWindow();
    view_.close();
}

void Form7::Command2_Click() {
    ports_.forms.enableMainWindow();
    view_.close();
}

void Form7::Command3_Click() { showHelp(); }

void Form7::Form_Unload() {
    setConfirmSource(form1_, "");
    unloaded();
}

}  // namespace vantora::launcher
