#include "launcher/frm_about.h"

namespace vantora::launcher {

std::string AboutProductLine(const ProgramVersion& version) {
    const std::string name = version.productName.empty() ? "Keyloom" : version.productName;
    return version.productVersion.empty() ? name : name + " Version " + version.productVersion;
}

FrmAbout::FrmAbout(LauncherState& state, Store& store, ui::View& view, ui::View& form1, DialogPorts ports,
                   VersionInfoPort& version, std::string helpFile)
    : LauncherDialog(state, store, view, form1, ports, std::move(helpFile), kAboutFormName, kAboutHelpContext,
                     nullptr),
      version_(version) {
    onClick<FrmAbout>({{"cmdOK", &FrmAbout::cmdOK_Click}});
    view_.on(kAboutFormName, ui::Event::Unload, [this] { Form_Unload(); });
}

void FrmAbout::Form_Load() {
    loaded();
    const ProgramVersion version = version_.programVersion();
    // A library's About text stands for the whole product line, version included.
    if (state_.LanguageCode.empty()) view_.setCaption("lblTitle", AboutProductLine(version));
    view_.setCaption("lblCopyright", version.legalCopyright);
    std::string notice;
    if (!state_.LanguageCode.empty() && ports_.language)
        notice = localization::LocalStrings(ports_.language->libraries, kLanguageLibrary).load(kAboutNoticeString);
    view_.setCaption("lblNotice", notice.empty() ? kAboutNotice : notice);
}

void FrmAbout::cmdOK_Click() { view_.close(); }

void FrmAbout::Form_Unload() { unloaded(); }

}  // namespace vantora::launcher
