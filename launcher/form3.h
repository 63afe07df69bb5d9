#pragma once
// Form3, "Assignment Type": the first step of assigning the key CurrentKeyName.
#include <string>

#include "launcher/form7.h"

namespace vantora::launcher {

inline constexpr std::uint32_t kForm3HelpContext = 103;

class Form3 : public LauncherDialog {
public:
    // form1 is the main window's view, whose "Confirm Changes" mark follows Check1.
    Form3(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
          std::string helpFile);

    void Form_Load();
    void Check1_Click();
    void Command1_Click();  // Direct
    void Command2_Click();  // Popup
    void Command3_Click();  // Clear
    void Command4_Click();  // Cancel
    void Command5_Click();  // Help
    void Form_Unload();

};

}  // namespace vantora::launcher
