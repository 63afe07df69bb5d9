#pragma once
// Form2, "Function Key Assignments": every assignable key with what it does, and the
// road into the assignment dialogs.
#include <string>

#include "launcher/form7.h"

namespace vantora::launcher {

inline constexpr std::uint32_t kForm2HelpContext = 101;
// Pictures of ImageList1.
inline constexpr int kPlainKeyPicture = 1;
inline constexpr int kPopupKeyPicture = 2;
inline constexpr int kPopupEntryPicture = 3;

class Form2 : public LauncherDialog {
public:
    Form2(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
          std::string helpFile);

    void Form_Load();
    void Check1_Click();
    void ListView1_ItemClick(int row);
    void ListView1_DblClick();
    void Command1_Click();  // OK
    void Command2_Click();  // Edit
    void Command3_Click();  // Help
    void Form_Unload();

    void FnKeyList();
    void FnKeyExpandList();

private:
    void fill(bool expand);
    // Assignment Type for the row last clicked, whichever key an Fn press made current since.
    void editSelectedKey(bool modal);

    std::string selectedKey_;
    std::int32_t selectedStatus_ = kErrorFileNotFound;
};

}  // namespace vantora::launcher
