#pragma once
// Form7, "Key Assignment Confirmation": the previous and the new definition of
// CurrentKeyName side by side; the change is applied on OK only.
#include <string>

#include "common/ui/view.h"
#include "launcher/launcher_dialog.h"
#include "launcher/launcher_forms.h"
#include "launcher/launcher_state.h"
#include "launcher/store.h"

namespace vantora::launcher {

inline constexpr std::uint32_t kForm7HelpContext = 105;
inline constexpr char kPopupListPrefix[] = "Popup List...";
inline constexpr char kNoCommand[] = "none";

// ConfirmSource, kept as the main window's tag.
std::string ConfirmSource(ui::View& form1);
void setConfirmSource(ui::View& form1, std::string_view source);

class Form7 : public LauncherDialog {
public:
    Form7(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
          std::string helpFile);

    void Form_Load();
    void Command1_Click();  // OK
    void Command2_Click();  // Cancel
    void Command3_Click();  // Help
    void Form_Unload();

};

}  // namespace vantora::launcher
