#pragma once
// frmAbout: the program's name and version as its version resource gives them, the
// copyright line and a short notice; opened from "&About..." without an owner.
#include <string>

#include "common/ports/version_info.h"
#include "launcher/launcher_dialog.h"

namespace vantora::launcher {

inline constexpr std::uint32_t kAboutHelpContext = 102;
inline constexpr char kAboutFormName[] = "frmAbout";
// The notice under the copyright line; a library may give its own as string 7004.
inline constexpr std::int16_t kAboutNoticeString = 7004;
inline constexpr char kAboutNotice[] =
    "Keyloom starts the program, document or folder you assign to an Fn key combination.";

// "Keyloom Version 1.4.0", from the version resource; the program's name alone when the
// resource gives no version, and "Keyloom" when there is no resource at all.
std::string AboutProductLine(const ProgramVersion& version);

class FrmAbout : public LauncherDialog {
public:
    FrmAbout(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
             VersionInfoPort& version, std::string helpFile);

    void Form_Load();
    void cmdOK_Click();
    void Form_Unload();

private:
    VersionInfoPort& version_;
};

}  // namespace vantora::launcher
