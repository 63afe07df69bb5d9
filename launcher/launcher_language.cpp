#include "launcher/launcher_language.h"

#include <vector>

namespace vantora::launcher {

namespace {

using localization::CaptionEntry;
using localization::FontRule;

struct WindowTable {
    std::string_view form;
    std::vector<CaptionEntry> captions;  // in the order they are set
    // Under "JP": classes set to face 8001 at 9 points, and classes set to "MS P Gothic".
    std::vector<std::string_view> faceClasses, gothicClasses;
};

// Form7 shows one string in both its Previous and New column for each row.
const std::vector<WindowTable>& tables() {
    static const std::vector<WindowTable> all = {
        {"Form1",
         {{1001, {"Form1"}}, {1002, {"mAssignments"}}, {1003, {"mOptions"}}, {1004, {"mTop"}}, {1005, {"mPopups"}},
          {1006, {"mMinimize"}}, {1007, {"mHints"}}, {1008, {"mConfirm"}}, {1009, {"mHelp"}}, {1010, {"mIndex"}},
          {1011, {"mAbout"}}, {1012, {"umLaunch"}}, {1013, {"umHelp"}}},
         {},
         {}},
        {"Form2",
         {{2001, {"Form2"}}, {2002, {"Check1"}}, {2003, {"Command1"}}, {2004, {"Command2"}}, {2005, {"Command3"}}},
         {"ListView", "CommandButton"},
         {"CheckBox"}},
        {"Form3",
         {{3001, {"Form3"}}, {3002, {"Command1"}}, {3003, {"Label2"}}, {3004, {"Command2"}}, {3005, {"Label3"}},
          {3006, {"Command3"}}, {3007, {"Label4"}}, {3008, {"Command4"}}, {3009, {"Command5"}}, {3010, {"Check1"}}},
         {"Label", "CommandButton"},
         {"CheckBox"}},
        {"Form4",
         {{4001, {"Form4"}}, {4002, {"Label1"}}, {4003, {"Label2"}}, {4004, {"Label3"}}, {4005, {"Label4"}},
          {4006, {"Check1"}}, {4007, {"Command1"}}, {4008, {"Command2"}}, {4009, {"Command3"}}, {4010, {"Command4"}},
          {4011, {"Command5"}}},
         {"TextBox", "Label", "CommandButton"},
         {"CheckBox"}},
        {"Form6",
         {{5001, {"Form6"}}, {5002, {"Label1"}}, {5003, {"Label2"}}, {5004, {"Command1"}}, {5005, {"Command2"}}},
         {"TreeView", "ListView", "Label", "CommandButton"},
         {}},
        {"Form7",
         {{6001, {"Form7"}}, {6002, {"Command1"}}, {6003, {"Command2"}}, {6010, {"Command3"}}, {6004, {"Label2"}},
          {6005, {"Label3", "Label9"}}, {6006, {"Label5", "Label11"}}, {6007, {"Label7", "Label13"}},
          {6008, {"Frame1"}}, {6009, {"Frame2"}}},
         {"Frame", "Label", "CommandButton"},
         {}},
        {"frmAbout", {{7001, {"frmAbout"}}, {7002, {"cmdOK"}}, {7003, {"lblTitle"}}}, {"Label"}, {}},
    };
    return all;
}

}  // namespace

void LocalizeWindow(std::string_view form, ui::View& view, LauncherState& state, const LanguagePorts& ports) {
    const WindowTable* table = nullptr;
    for (const WindowTable& t : tables())
        if (t.form == form) table = &t;
    if (!table) return;
    const localization::LocalStrings strings(ports.libraries, kLanguageLibrary);
    localization::WindowLocalizer window(view, form, strings, ports.screen);
    state.LanguageCode = window.text(kLanguageCodeString);
    if (state.LanguageCode.empty()) return;
    if (state.LanguageCode == kJapanese && !(table->faceClasses.empty() && table->gothicClasses.empty())) {
        window.applyFonts({{table->faceClasses, window.text(kFontFaceString), localization::kDefaultCharset,
                            kJapaneseFontSize},
                           {table->gothicClasses, kGothic, localization::kDefaultCharset}});
    }
    window.applyCaptions(table->captions);
}

}  // namespace vantora::launcher
