#pragma once
// Form4, "Add/Edit Command": the command line, working directory, description and the
// switch-to option of CurrentKeyName, written to the store on OK.
#include <string>

#include "common/ports/common_module.h"
#include "common/ports/file_dialog.h"
#include "launcher/form7.h"

namespace vantora::launcher {

inline constexpr std::uint32_t kForm4HelpContext = 104;
inline constexpr char kBrowserTitle[] = "Keyloom Browser";
inline constexpr char kBrowserFilter[] =
    "Applications(*.exe,*.com,*.bat,*.pif)|*.exe;*.com;*.bat;*.pif|EXE files(*.exe)|*.exe|COM files(*.com)|*.com|"
    "BAT files(*.bat)|*.bat|PIF files(*.pif)|*.pif|All files(*.*)|*.*";

class Form4 : public LauncherDialog {
public:
    Form4(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
          FileDialogPort& fileDialog, CommonModulePort& commonModule, std::string helpFile);

    void Form_Load();
    void Check1_Click();
    void Command1_Click();  // OK
    void Command2_Click();  // Cancel
    void Command3_Click();  // Browse
    void Command4_Click();  // Application
    void Command5_Click();  // Help
    void Form_Unload();

private:
    // ini\opts, created with "0" for every key when it is missing, then this key's switch.
    void writeSwitch();
    // A store key created with `empty` for every key name when it is missing, then the text.
    void writeField(const char* keyPath, std::string_view empty, const std::string& text);

    FileDialogPort& fileDialog_;
    CommonModulePort& commonModule_;
};

}  // namespace vantora::launcher
