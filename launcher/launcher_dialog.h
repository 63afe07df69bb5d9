#pragma once
// What every dialog of the launcher does alike: it takes its texts from the language
// library when it loads; while loaded it is one of the open forms
// (and sets its open flag, where it has one), it is top-most when the main window is,
// Esc closes it like its Cancel, and F1 opens its help topic like its Help button.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "common/ports/window_manager.h"
#include "common/ports/help.h"
#include "common/ports/file_system.h"
#include "common/ui/view.h"
#include "launcher/launcher_forms.h"
#include "launcher/launcher_language.h"
#include "launcher/launcher_state.h"
#include "launcher/store.h"

namespace vantora::launcher {

struct DialogPorts {
    WindowManagerPort& windows;
    HelpPort& help;
    FileSystemPort& files;
    LauncherForms& forms;
    // The language library and the screen; none leaves every dialog in its design texts.
    const LanguagePorts* language = nullptr;
};

class LauncherDialog {
protected:
    // openFlag: the state's flag for this dialog, or none.
    LauncherDialog(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
                   std::string helpFile, const char* formName, std::uint32_t helpContext,
                   bool LauncherState::*openFlag);
    ~LauncherDialog() = default;
    LauncherDialog(const LauncherDialog&) = delete;
    LauncherDialog& operator=(const LauncherDialog&) = delete;

    // Each control's Click to its handler of the derived form.
    template <class Form>
    void onClick(std::initializer_list<std::pair<const char*, void (Form::*)()>> handlers) {
        for (auto [control, handler] : handlers)
            view_.on(control, ui::Event::Click, [form = static_cast<Form*>(this), handler] { (form->*handler)(); });
    }
    // First in the load handler (it localizes the window), and last in the unload handler.
    void loaded();
    void unloaded();
    void showHelp();
    // Before this dialog opens another for its key: makes that key current again, as the
    // next dialog takes its key from the current one as it loads.
    void handKeyOn();

    // The key this dialog was opened for and whether it was assigned then, kept from its
    // load: an Fn press or a click elsewhere makes another key current meanwhile, and must
    // not change what an open dialog reads and writes.
    const std::string& key() const { return key_; }
    std::int32_t keyStatus() const { return keyStatus_; }

    LauncherState& state_;
    Store& store_;
    ui::View& view_;
    ui::View& form1_;
    DialogPorts ports_;
    std::string helpFile_;

private:
    std::string key_;
    std::int32_t keyStatus_ = kErrorFileNotFound;
    std::string formName_;
    std::uint32_t helpContext_;
    bool LauncherState::*openFlag_;
};

}  // namespace vantora::launcher
