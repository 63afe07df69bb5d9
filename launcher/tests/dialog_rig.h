#pragma once
// The launcher's dialogs in memory: each road opens the real logic on a test view, and
// a test acts as the user in every modal dialog as it shows.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "common/fakes/fake_common_module.h"
#include "common/fakes/fake_desktop.h"
#include "common/fakes/fake_file_dialog.h"
#include "common/fakes/fake_registry.h"
#include "common/fakes/fake_shell_folders.h"
#include "common/fakes/fake_string_library.h"
#include "common/fakes/test_view.h"
#include "launcher/form2.h"
#include "launcher/form3.h"
#include "launcher/form4.h"
#include "launcher/form6.h"
#include "launcher/form7.h"
#include "launcher/tests/launcher_fakes.h"

namespace vantora::launcher::testing {

using namespace vantora::testing;

struct DialogRig : LauncherForms {
    FakeRegistry reg;
    Store store{reg};
    LauncherState state;
    TestView form1{0x100};
    FakeWindows windows;
    FakeHelp help;
    FakeFiles files;
    FakeFileDialog fileDialog;
    FakeCommonModule commonModule;
    FakeShellFolders shellFolders;
    static constexpr ViewTogglePictures kToggles{311, 312, 313, 314};
    FakeStringLibrary languages;  // no Keyloom.dll unless a test gives one
    FakeScreen screen;
    LanguagePorts language{languages, screen};
    DialogPorts ports{windows, help, files, *this, &language};
    // What the user does in a dialog once it shows; nothing closes it by default.
    std::function<void(const std::string& form, TestView& view)> user;
    std::vector<std::string> shown, explorers;
    std::vector<bool> form3Modes;  // true: modal
    int mainEnabled = 0;

    std::map<std::string, std::unique_ptr<TestView>> views;
    std::unique_ptr<Form2> form2;
    std::unique_ptr<Form3> form3;
    std::unique_ptr<Form4> form4;
    std::unique_ptr<Form6> form6;
    std::unique_ptr<Form7> form7;

    DialogRig() {
        declareForm1(form1);
        for (const auto& k : kKeyTable) {
            state.KeyNames.emplace_back(k.name);
            form1.setCaption(labelName(k.index), k.caption);
        }
    }

    TestView& view(const std::string& name) {
        static std::uint32_t next = 0x3000;
        auto& v = views[name];
        v = std::make_unique<TestView>(next++);
        // A user can click only what the template holds.
        declareWindow(*v, name);
        for (int bitmap : {kToggles.LargeU, kToggles.LargeD, kToggles.SmallU, kToggles.SmallD}) v->declareBitmap(bitmap);
        if (name == "Form2") v->control("Command2").enabled = false;  // "&Edit..." starts disabled
        return *v;
    }
    void opened(const std::string& name, const Prepare& prepare) {
        TestView& v = *views[name];
        if (v.closed()) return;
        if (prepare) prepare(v);
        shown.push_back(name);
        if (user) user(name, v);
    }
    // The key being edited, as the main window sets it before Form3 opens.
    void editKey(const std::string& key) {
        state.CurrentKeyName = key;
        state.CurrentKeyStatus = store.readUser(kCmdKey, key).status;
    }
    void showForm2() {
        form2 = std::make_unique<Form2>(state, store, view("Form2"), form1, ports, "K.hlp");
        form2->Form_Load();
        opened("Form2", {});
    }
    void showForm3(bool modal = true) override {
        form3Modes.push_back(modal);
        form3 = std::make_unique<Form3>(state, store, view("Form3"), form1, ports, "K.hlp");
        form3->Form_Load();
        opened("Form3", {});
    }
    void showForm4(const Prepare& prepare) override {
        form4 = std::make_unique<Form4>(state, store, view("Form4"), form1, ports, fileDialog, commonModule, "K.hlp");
        form4->Form_Load();
        opened("Form4", prepare);
    }
    void showForm6(const std::string& mode) override {
        explorers.push_back(mode);
        form6 = std::make_unique<Form6>(state, store, view("Form6"), form1, ports, shellFolders, commonModule, kToggles,
                                        "K.hlp");
        form6->Form_Load();
        opened("Form6", [mode](ui::View& v) { Form6::prepare(v, mode); });
    }
    void showForm7(const Prepare& prepare) override {
        form7 = std::make_unique<Form7>(state, store, view("Form7"), form1, ports, "K.hlp");
        form7->Form_Load();
        opened("Form7", prepare);
    }
    ui::View* openForm(std::string_view name) override {
        auto it = views.find(std::string(name));
        return it != views.end() && !it->second->closed() ? it->second.get() : nullptr;
    }
    void enableMainWindow() override { ++mainEnabled; }
};

}  // namespace vantora::launcher::testing
