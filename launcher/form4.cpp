#include "launcher/form4.h"

#include "launcher/assignments.h"
#include "launcher/launching.h"

namespace vantora::launcher {

Form4::Form4(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
             FileDialogPort& fileDialog, CommonModulePort& commonModule, std::string helpFile)
    : LauncherDialog(state, store, view, form1, ports, std::move(helpFile), "Form4", kForm4HelpContext,
                     &LauncherState::CommandEditOpen),
      fileDialog_(fileDialog), commonModule_(commonModule) {
    onClick<Form4>({{"Check1", &Form4::Check1_Click},
                    {"Command1", &Form4::Command1_Click},
                    {"Command2", &Form4::Command2_Click},
                    {"Command3", &Form4::Command3_Click},
                    {"Command4", &Form4::Command4_Click},
                    {"Command5", &Form4::Command5_Click}});
    view_.on("Form4", ui::Event::Unload, [this] { Form_Unload(); });
}

void Form4::Form_Load() {
    view_.setDesignValue("Check1", ui::kChecked);
    loaded();
    view_.setCaption("Label5", key());
    ports_.forms.closeForm("Form3");
    if (keyStatus() != kErrorSuccess) return;
    if (ScopedRegKey::open(store_.registry(), kHkeyCurrentUser, kOptsKey)) {
        if (!state_.CurrentDescription.empty()) {
            const bool on = numericValue(store_.readUser(kOptsKey, key()).text) != 0;
            view_.setValue("Check1", on ? ui::kChecked : ui::kUnchecked);
        }
    } else {
        writeSwitch();
    }
}

void Form4::writeSwitch() {
    writeField(kOptsKey, "0", view_.value("Check1") == ui::kChecked ? "1" : "0");
}

void Form4::writeField(const char* keyPath, std::string_view empty, const std::string& text) {
    RegistryPort& reg = store_.registry();
    if (!ScopedRegKey::open(reg, kHkeyCurrentUser, keyPath)) {
        auto created = ScopedRegKey::create(reg, kHkeyCurrentUser, keyPath);
        if (!created) return;
        for (const std::string& name : state_.KeyNames) Store::writeString(reg, created.get(), name, empty);
    }
    if (!text.empty()) store_.writeUser(keyPath, key(), text);
}

void Form4::Check1_Click() { writeSwitch(); }

void Form4::Command1_Click() {
    const std::string description = view_.caption("Text1"), command = view_.caption("Text2"),
                      directory = view_.caption("Text3");
    if (store_.readUser(kCfgKey, "opts5").text != "0" && keyStatus() == kErrorSuccess) {
        if (directory != state_.CurrentWorkingDir || command != state_.CurrentCommand ||
            description != state_.CurrentDescription) {
            setConfirmSource(form1_, "Form4");
            handKeyOn();
            ports_.forms.showForm7({});
        }
    } else {
        ClearAssignment(store_, state_, key());
        if (!command.empty()) {
            store_.writeUser(kCmdKey, key(), command);
            for (int i = 0; i < kKeyCount; ++i)
                if ("Fn-" + form1_.caption(labelName(i)) == key())
                    form1_.setForeColor(labelName(i), AssignedColor);
        }
        writeField(kCwdKey, "", directory);
        writeField(kDescKey, "", description);
        writeSwitch();
    }
    RefreshKeyPicture(store_, state_, form1_);
    ports_.forms.closeForm("Form2");
    view_.close();
}

void Form4::Command2_Click() { view_.close(); }

// The fields change only when a file was chosen: a dismissed dialog leaves them as they were.
void Form4::Command3_Click() {
    const auto choice = fileDialog_.showOpen({view_.windowHandle(), kBrowserTitle, kBrowserFilter, {}});
    if (!choice) return;
    const std::string& file = choice->fileName;
    const std::string& title = choice->fileTitle;
    if (title.size() < 3 || title.compare(title.size() - 3, 3, "lnk") != 0) {
        view_.setCaption("Text1", title);
        view_.setCaption("Text2", file);
        view_.setCaption("Text3", workingDirectoryOf(file));
        return;
    }
    ShortcutInfo info;
    ResolveShortcut(commonModule_, file, info);
    const std::string& target = info.TargetPath;
    const auto slash = target.rfind('\\');
    view_.setCaption("Text2", target);
    view_.setCaption("Text1", slash == std::string::npos ? target : target.substr(slash + 1));
    if (!target.empty()) view_.setCaption("Text3", workingDirectoryOf(target));
}

void Form4::Command4_Click() {
    handKeyOn();
    ports_.forms.showForm6(kExplorerApplication);
}

void Form4::Command5_Click() { showHelp(); }

void Form4::Form_Unload() { unloaded(); }

}  // namespace vantora::launcher
