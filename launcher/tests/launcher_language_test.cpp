// The launcher's localizers against a fake Keyloom.dll and test views: each window's
// captions in table order, the "JP" fonts by class, and the About box's text.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/fakes/fake_input_timing.h"
#include "common/fakes/fake_shell.h"
#include "common/fakes/fake_version_info.h"
#include "launcher/frm_about.h"
#include "launcher/launcher_language.h"
#include "launcher/tests/dialog_rig.h"
#include "launcher/tests/launcher_fakes.h"

namespace vantora::launcher::testing {
namespace {

using Strings = FakeStringLibrary::Strings;

// Every caption string of the windows, each text naming its number.
Strings library(const std::string& code) {
    Strings s{{101, code}, {8001, "MS UI Gothic"}};
    for (int block = 1000; block <= 7000; block += 1000)
        for (int n = 1; n <= 13; ++n) s[block + n] = "s" + std::to_string(block + n);
    return s;
}

struct Window {
    const char* form;
    std::vector<std::pair<const char*, const char*>> controls;  // name, design class
    std::vector<std::uint32_t> order;                         // strings after 101
    std::map<std::string, std::string> captions;              // control -> string's text
};

const Window kWindows[] = {
    {"Form1",
     {{"mAssignments", "Menu"}, {"mOptions", "Menu"}, {"mTop", "Menu"}, {"mPopups", "Menu"}, {"mMinimize", "Menu"},
      {"mHints", "Menu"}, {"mConfirm", "Menu"}, {"mHelp", "Menu"}, {"mIndex", "Menu"}, {"mAbout", "Menu"},
      {"umLaunch", "Menu"}, {"umHelp", "Menu"}, {"Label1(0)", "Label"}},
     {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1012, 1013},
     {{"Form1", "s1001"}, {"mOptions", "s1003"}, {"mHelp", "s1009"}, {"umHelp", "s1013"}, {"Label1(0)", "design"}}},
    {"Form2",
     {{"ListView1", "ListView"}, {"Check1", "CheckBox"}, {"Command1", "CommandButton"}, {"Command2", "CommandButton"},
      {"Command3", "CommandButton"}},
     {2001, 2002, 2003, 2004, 2005},
     {{"Form2", "s2001"}, {"Check1", "s2002"}, {"Command3", "s2005"}}},
    {"Form3",
     {{"Label1", "Label"}, {"Label2", "Label"}, {"Label3", "Label"}, {"Label4", "Label"}, {"Check1", "CheckBox"},
      {"Command1", "CommandButton"}, {"Command2", "CommandButton"}, {"Command3", "CommandButton"},
      {"Command4", "CommandButton"}, {"Command5", "CommandButton"}, {"Image1", "Image"}},
     {3001, 3002, 3003, 3004, 3005, 3006, 3007, 3008, 3009, 3010},
     {{"Label1", "design"}, {"Label2", "s3003"}, {"Command3", "s3006"}, {"Check1", "s3010"}}},
    {"Form4",
     {{"Label1", "Label"}, {"Label2", "Label"}, {"Label3", "Label"}, {"Label4", "Label"}, {"Label5", "Label"},
      {"Text1", "TextBox"}, {"Check1", "CheckBox"}, {"Command1", "CommandButton"}, {"Command5", "CommandButton"}},
     {4001, 4002, 4003, 4004, 4005, 4006, 4007, 4008, 4009, 4010, 4011},
     {{"Label4", "s4005"}, {"Label5", "design"}, {"Text1", "design"}, {"Check1", "s4006"}, {"Command5", "s4011"}}},
    {"Form6",
     {{"TreeView1", "TreeView"}, {"ListView1", "ListView"}, {"Label1", "Label"}, {"Label2", "Label"},
      {"Command1", "CommandButton"}, {"Command2", "CommandButton"}, {"Picture1", "PictureBox"}},
     {5001, 5002, 5003, 5004, 5005},
     {{"Form6", "s5001"}, {"Label2", "s5003"}, {"Command2", "s5005"}}},
    {"Form7",
     {{"Label1", "Label"}, {"Label2", "Label"}, {"Label3", "Label"}, {"Label5", "Label"}, {"Label7", "Label"},
      {"Label8", "Label"}, {"Label9", "Label"}, {"Label11", "Label"}, {"Label13", "Label"}, {"Frame1", "Frame"},
      {"Frame2", "Frame"}, {"Command1", "CommandButton"}, {"Command3", "CommandButton"}},
     {6001, 6002, 6003, 6010, 6004, 6005, 6006, 6007, 6008, 6009},
     {{"Label3", "s6005"}, {"Label9", "s6005"}, {"Label7", "s6007"}, {"Label13", "s6007"}, {"Label8", "design"},
      {"Frame2", "s6009"}, {"Command3", "s6010"}}},
    {"frmAbout",
     {{"lblTitle", "Label"}, {"lblCopyright", "Label"}, {"cmdOK", "CommandButton"}, {"Image1", "Image"}},
     {7001, 7002, 7003},
     {{"frmAbout", "s7001"}, {"lblTitle", "s7003"}, {"lblCopyright", "design"}, {"cmdOK", "s7002"}}},
};

struct Rig {
    FakeStringLibrary languages;
    FakeScreen screen;
    TestView view{0x100};
    LauncherState state;

    Rig(const Window& w, std::optional<Strings> strings) {
        if (strings) languages.libraries[kLanguageLibrary] = *strings;
        declareWindow(view, w.form);
        view.setCaption(w.form, "design");
        for (const std::string& name : view.controlNames()) view.control(name).fontSize = 8;
        for (auto [name, designClass] : w.controls) {
            view.setCaption(name, "design");
        }
        LocalizeWindow(w.form, view, state, {languages, screen});
    }
    std::string font(const std::string& c) const {
        const auto* k = view.find(c);
        return k->fontName + "/" + std::to_string(k->charset) + "/" + std::to_string(k->fontSize);
    }
};

TEST(LauncherLanguage, EveryWindowsCaptionsInTableOrder_WithoutACodeTheDesign) {
    for (const Window& w : kWindows) {
        Rig rig(w, library("GR"));
        std::vector<std::uint32_t> asked{101};
        asked.insert(asked.end(), w.order.begin(), w.order.end());
        EXPECT_EQ(asked, rig.languages.asked) << w.form << ": another code than JP reads no font face";
        EXPECT_EQ("GR", rig.state.LanguageCode);
        for (const auto& [control, text] : w.captions) EXPECT_EQ(text, rig.view.caption(control)) << w.form << " " << control;
        for (const std::string& c : rig.view.controlNames()) EXPECT_EQ("/0/8", rig.font(c)) << w.form << " " << c;
        EXPECT_TRUE(rig.languages.open.empty());

        for (const std::optional<Strings>& none : {std::optional<Strings>{}, std::optional<Strings>{Strings{{1001, "x"}}}}) {
            Rig english(w, none);
            EXPECT_EQ("", english.state.LanguageCode);
            EXPECT_EQ("design", english.view.caption(w.form)) << w.form;
            for (auto [name, designClass] : w.controls) EXPECT_EQ("design", english.view.caption(name)) << w.form << " " << name;
        }
    }
    // A missing caption string empties its caption: no fallback to the design text.
    Rig sparse(kWindows[2], Strings{{101, "GR"}, {3002, "Direct"}});
    EXPECT_EQ("Direct", sparse.view.caption("Command1"));
    EXPECT_EQ("", sparse.view.caption("Command2"));
    EXPECT_EQ("", sparse.view.caption("Form3"));
}

TEST(LauncherLanguage, Japanese_FontFaceFrom8001At9Points_MsPGothicForTheNamedClasses) {
    const std::string face = "MS UI Gothic/1/9", gothic = "MS P Gothic/1/8", kept = "/0/8";
    const std::map<std::string, std::map<std::string, std::string>> expected = {
        {"Form1", {{"mAbout", kept}, {"Label1(0)", kept}}},
        {"Form2", {{"ListView1", face}, {"Command1", face}, {"Check1", gothic}}},
        {"Form3", {{"Label2", face}, {"Command4", face}, {"Check1", gothic}, {"Image1", kept}}},
        {"Form4", {{"Text1", face}, {"Label5", face}, {"Command1", face}, {"Check1", gothic}}},
        {"Form6", {{"TreeView1", face}, {"ListView1", face}, {"Label1", face}, {"Command2", face}, {"Picture1", kept}}},
        {"Form7", {{"Frame1", face}, {"Label13", face}, {"Command3", face}}},
        {"frmAbout", {{"lblTitle", face}, {"cmdOK", kept}, {"Image1", kept}}},
    };
    for (const Window& w : kWindows) {
        Rig rig(w, library("JP"));
        for (const auto& [control, font] : expected.at(w.form)) EXPECT_EQ(font, rig.font(control)) << w.form << " " << control;
        EXPECT_EQ(std::string(w.form) == "Form1" ? 0 : 1,
                  std::count(rig.languages.asked.begin(), rig.languages.asked.end(), 8001u))
            << w.form << ": the face is read once, where a rule needs it";
    }
}

// The main window localizes while it loads; its menus' check marks come from the store after.
TEST(LauncherLanguage, MainWindowLoad_TakesTheLibrarysCaptionsAndMenus) {
    FakeRegistry reg;
    Store store{reg};
    LauncherState state;
    TestView view{0x456};
    declareForm1(view);
    FakeScreen screen;
    FakeWindows windows;
    FakeTray tray;
    FakeHelp help;
    FakeProcedures procedures;
    FakeShell shell;
    FakeInputTiming timing;
    FakeStringLibrary languages;
    languages.libraries[kLanguageLibrary] = library("JP");
    const LanguagePorts language{languages, screen};
    Form1 form{state, store, view, procedures, {screen, windows, tray, help, shell, timing, "C:\\K", &language}, {}};
    form.Form_Load();
    EXPECT_EQ("JP", state.LanguageCode);
    EXPECT_EQ("s1001", view.caption("Form1"));
    EXPECT_EQ("s1011", view.caption("mAbout"));
    EXPECT_EQ("s1012", view.caption("umLaunch"));
    EXPECT_TRUE(view.checked("mPopups"));
    EXPECT_FALSE(view.checked("mTop"));
}

// Every launcher dialog localizes first in its load handler: the Assignment Type dialog
// in Japanese, opened as the main window opens it.
TEST(LauncherLanguage, AssignmentTypeOpened_IsInJapaneseBeforeItShows) {
    DialogRig rig;
    rig.languages.libraries[kLanguageLibrary] = library("JP");
    rig.editKey("Fn-A");
    std::string caption, checkFont, buttonFont;
    rig.user = [&](const std::string&, TestView& v) {
        caption = v.caption("Form3");
        checkFont = v.find("Check1")->fontName;
        buttonFont = v.find("Command1")->fontName + "/" + std::to_string(v.find("Command1")->fontSize);
        v.close();
    };
    rig.showForm3();
    EXPECT_EQ("s3001", caption);
    EXPECT_EQ("MS P Gothic", checkFont);
    EXPECT_EQ("MS UI Gothic/9", buttonFont);
    EXPECT_EQ("Fn-A", rig.views["Form3"]->caption("Label1")) << "the key name is set after the captions";
}

// ---- frmAbout

struct AboutRig : DialogRig {
    FakeVersionInfo version;
    TestView* about = nullptr;
    std::unique_ptr<FrmAbout> form;
    AboutRig() { version.version = {"Keyloom", "1.4.0", "Copyright (C) 2026 Vantora"}; }
    void open() {
        about = &view(kAboutFormName);
        about->control("cmdOK").isDefault = true;
        form = std::make_unique<FrmAbout>(state, store, *about, form1, ports, version, "K.hlp");
        form->Form_Load();
    }
};

TEST(FrmAbout, ProductLineFromTheVersionResource_ALibrarysTextReplacesItWhole) {
    struct Case {
        const char* what;
        std::optional<Strings> library;
        ProgramVersion version;
        std::vector<std::string> texts;  // title, copyright, notice
    } cases[] = {
        {"English", std::nullopt, {"Keyloom", "1.4.0", "Copyright (C) 2026 Vantora"},
         {"Keyloom Version 1.4.0", "Copyright (C) 2026 Vantora", kAboutNotice}},
        {"no version resource", std::nullopt, {}, {"Keyloom", "", kAboutNotice}},
        {"a library", Strings{{101, "GR"}, {7003, "Keyloom Version 1.4.0 (Deutsch)"}, {7004, "Hinweis"}},
         {"Keyloom", "1.4.0", "(C)"}, {"Keyloom Version 1.4.0 (Deutsch)", "(C)", "Hinweis"}},
        {"a library without the About text", Strings{{101, "GR"}}, {"Keyloom", "1.4.0", "(C)"}, {"", "(C)", kAboutNotice}},
    };
    for (const Case& c : cases) {
        AboutRig rig;
        if (c.library) rig.languages.libraries[kLanguageLibrary] = *c.library;
        rig.version.version = c.version;
        rig.open();
        EXPECT_EQ(c.texts, (std::vector<std::string>{rig.about->caption("lblTitle"), rig.about->caption("lblCopyright"),
                                                     rig.about->caption("lblNotice")}))
            << c.what;
    }
}

TEST(FrmAbout, EnterEscAndOkClose_F1OpensContext102) {
    for (const char* how : {"Enter", "Esc", "cmdOK"}) {
        AboutRig rig;
        rig.open();
        rig.about->raise(kAboutFormName, ui::Event::Help);
        EXPECT_EQ((FakeHelp::Topic{"K.hlp", 102}), rig.help.shown.at(0)) << how;
        if (std::string(how) == "Enter") rig.about->pressKey(kAboutFormName, 13);
        if (std::string(how) == "Esc") rig.about->pressKey(kAboutFormName, ui::kKeyEscape);
        if (std::string(how) == "cmdOK") rig.about->click("cmdOK");
        EXPECT_TRUE(rig.about->closed()) << how;
        EXPECT_TRUE(rig.state.OpenForms.empty()) << how;
    }
}

}  // namespace
}  // namespace vantora::launcher::testing
