// BASTIONE's three localizers against a fake BASTIONE.dll and test views: the strings
// each reads and in which order, the "JA" and "GK" fonts, every layout correction.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/fakes/fake_desktop.h"
#include "common/fakes/fake_string_library.h"
#include "common/fakes/test_controls.h"
#include "supervisor/ss_pwd_register.h"
#include "supervisor/supervisor.h"
#include "supervisor/supervisor_language.h"
#include "supervisor/user_pwd_mode.h"

namespace vantora::supervisor {
namespace {

using namespace vantora::testing;
using Strings = FakeStringLibrary::Strings;
using Moved = std::map<std::string, int>;
constexpr ui::Rect kPlaced{100, 200, 1000, 300};
constexpr ui::Rect kForm{0, 0, 3000, 2000};

// A library with every number, each text naming it.
Strings library(const std::string& code) {
    Strings s{{1, code}, {34, "MS UI Gothic"}};
    for (std::uint32_t n = 2; n <= 35; ++n)
        if (n != 34) s[n] = "s" + std::to_string(n);
    return s;
}

struct Window {
    const char* form;
    std::vector<ui::DeclaredControl> controls;
};
const Window kSupervisor{kFormName, {std::begin(kSupervisorControls), std::end(kSupervisorControls)}};
const Window kPassword{kPwdFormName, {std::begin(kSSPwdRegisterControls), std::end(kSSPwdRegisterControls)}};
const Window kMode{kModeFormName, {std::begin(kUserPwdModeControls), std::end(kUserPwdModeControls)}};

struct Rig {
    FakeStringLibrary languages;
    FakeScreen screen;
    TestView view{0x100};
    SupervisorTexts texts;
    PasswordModeTexts modeTexts;
    std::string code;

    Rig(const Window& w, std::optional<Strings> strings, int dpi = 96) {
        screen.dpi = dpi;
        if (strings) languages.libraries[kLanguageLibrary] = *strings;
        view.declareWindow(w.form, w.controls);
        view.resizeForm(kForm.width, kForm.height);
        view.setCaption(w.form, "design");
        for (const ui::DeclaredControl& c : w.controls) {
            view.control(c.name).bounds = kPlaced;
            view.control(c.name).fontSize = 8;
            view.setCaption(c.name, "design");
        }
        const LanguagePorts ports{languages, screen};
        const std::string form = w.form;
        code = form == "Supervisor"      ? LocalizeSupervisor(view, ports, texts)
               : form == "SSPwdRegister" ? LocalizeSSPwdRegister(view, ports, modeTexts)
                                         : LocalizeUserPwdMode(view, ports);
    }
    std::string font(const char* c) const {
        const auto* k = view.find(c);
        return k->fontName + "/" + std::to_string(k->charset) + "/" + std::to_string(k->fontSize);
    }
    Moved moved() const {
        Moved m;
        if (view.formBounds().width != kForm.width) m["form.width"] = view.formBounds().width;
        for (const std::string& c : view.controlNames()) {
            const ui::Rect r = view.bounds(c);
            if (r.top != kPlaced.top) m[c + ".top"] = r.top;
            if (r.width != kPlaced.width) m[c + ".width"] = r.width;
            if (r.height != kPlaced.height) m[c + ".height"] = r.height;
        }
        return m;
    }
};

TEST(BastioneLanguage, EachWindowReadsItsStringsInTableOrder_TextsFollow_MissingCaptionsEmpty) {
    struct Case {
        const Window& window;
        std::vector<std::uint32_t> asked;
    } cases[] = {
        {kSupervisor, {1, 2, 3, 4, 5, 6, 7, 8, 9, 30, 32, 31, 27, 24, 33, 35}},
        {kPassword, {1, 10, 11, 12, 13, 10, 11, 22, 19}},
        {kMode, {1, 14, 15, 16, 17, 18}},
    };
    for (const Case& c : cases) {
        Rig rig(c.window, library("XX"));
        EXPECT_EQ("XX", rig.code);
        EXPECT_EQ(c.asked, rig.languages.asked) << c.window.form;
        EXPECT_TRUE(rig.languages.open.empty()) << c.window.form;
    }
    Rig main(kSupervisor, library("XX"));
    EXPECT_EQ("s2", main.view.caption("Supervisor"));
    EXPECT_EQ("s4", main.view.caption("optNotRegistered"));
    EXPECT_EQ("s5", main.view.caption("optRegistered"));
    const SupervisorTexts& t = main.texts;
    EXPECT_EQ((std::vector<std::string>{"s30", "s32", "s31", "s27", "s24", "s33", "s35"}),
              (std::vector<std::string>{t.accessDenied, t.entryError, t.invalidPassword, t.powerOff, t.writeDown,
                                        t.commonModuleTerminated, t.changeNotTaken}));
    Rig password(kPassword, library("XX"));
    const PasswordModeTexts& m = password.modeTexts;
    EXPECT_EQ((std::vector<std::string>{"s10", "s11", "s22", "s19"}),
              (std::vector<std::string>{m.registrationCaption, m.registrationPrompt, m.verificationPrompt,
                                        m.verificationCaption}));

    // Without a library, or without a code: design captions and the English defaults.
    for (const std::optional<Strings>& none : {std::optional<Strings>{}, std::optional<Strings>{Strings{{2, "s2"}}}}) {
        Rig english(kSupervisor, none);
        EXPECT_EQ("", english.code);
        EXPECT_EQ("design", english.view.caption("Supervisor"));
        EXPECT_EQ("Entry Error!!!", english.texts.entryError);
        EXPECT_EQ("Supervisor Password", MessageBoxTitle(english.code, {english.languages, english.screen}));
    }
    // A code with some strings missing: those captions and texts are empty, except the
    // BIOS message the design's table does not number, which keeps its English.
    Rig sparse(kSupervisor, Strings{{1, "XX"}, {3, "s3"}});
    EXPECT_EQ("", sparse.view.caption("Supervisor"));
    EXPECT_EQ("s3", sparse.view.caption("frmSupervisor"));
    EXPECT_EQ("", sparse.texts.entryError);
    EXPECT_EQ("The BIOS did not take the change.", sparse.texts.changeNotTaken);
    EXPECT_EQ("", MessageBoxTitle(sparse.code, {sparse.languages, sparse.screen}));
    EXPECT_EQ("s10", MessageBoxTitle("XX", {main.languages, main.screen}));
}

TEST(BastioneLanguage, Fonts_JapaneseAtAnyResolution_GreekOnlyAt72) {
    // face/charset/points of the password dialog's label and OK, the main window's frame and option
    struct Case {
        const char* code;
        int dpi;
        std::vector<std::string> fonts;
    } cases[] = {
        {"JA", 96, {"MS UI Gothic/1/9", "MS P Gothic/1/8", "MS P Gothic/1/8", "MS P Gothic/1/8"}},
        {"JA", 72, {"MS UI Gothic/1/9", "MS P Gothic/1/8", "MS P Gothic/1/8", "MS P Gothic/1/8"}},
        {"GK", 96, {"/0/8", "/0/8", "/0/8", "/0/8"}},
        {"GK", 72, {"MS P Gothic/0/10", "MS P Gothic/0/10", "MS P Gothic/0/10", "MS P Gothic/0/10"}},
        {"RU", 72, {"/0/8", "/0/8", "/0/8", "/0/8"}},
        {"ja", 96, {"/0/8", "/0/8", "/0/8", "/0/8"}},
    };
    for (const Case& c : cases) {
        Rig password(kPassword, library(c.code), c.dpi), main(kSupervisor, library(c.code), c.dpi);
        const std::vector<std::string> fonts = {password.font("labEnterPwd"), password.font("OK"),
                                                main.font("frmSupervisor"), main.font("optRegistered")};
        EXPECT_EQ(c.fonts, fonts) << c.code << " at " << c.dpi;
        EXPECT_EQ("/0/8", password.font("txtEnterPwd")) << "the password box keeps its font";
    }
}

TEST(BastioneLanguage, LayoutCorrections_MainWindowAndUserPasswordMode) {
    struct Case {
        const Window& window;
        const char* code;
        int dpi;
        Moved moved;
    } cases[] = {
        {kSupervisor, "DAN", 96, {{"frmSupervisor.width", 2775}}},
        {kSupervisor, "DAN", 120, {{"frmSupervisor.width", 2775}}},
        {kSupervisor, "DAN", 72, {{"frmSupervisor.width", 3775}}},
        {kSupervisor, "POR", 72, {{"frmSupervisor.width", 1200}}},
        {kSupervisor, "POR", 96, {}},
        {kSupervisor, "GK", 72, {{"frmSupervisor.width", 1300}, {"frmUserPwdMode.width", 1200}}},
        {kSupervisor, "GK", 96, {}},
        {kSupervisor, "RU", 72,
         {{"frmSupervisor.width", 1300}, {"frmUserPwdMode.width", 1200}, {"optNotRegistered.width", 1200}}},
        {kSupervisor, "RU", 96, {}},
        {kSupervisor, "IT", 72, {}},
        {kMode, "IT", 72, {{"optUnableToRun.height", 425}}},
        {kMode, "IT", 96, {}},
        {kMode, "PO", 72,
         {{"optUnableToRun.height", 425}, {"optAbleToRun.height", 425}, {"optUnableToRun.top", 400},
          {"form.width", 3500}, {"Frame1.width", 1500}}},
        {kMode, "GK", 72,
         {{"optUnableToRun.height", 425}, {"optAbleToRun.height", 425}, {"optUnableToRun.top", 400},
          {"form.width", 3500}, {"Frame1.width", 1500}}},
        {kMode, "GK", 96, {}},
        {kMode, "DAN", 72, {}},
        {kPassword, "GK", 72, {}},
    };
    for (const Case& c : cases) {
        Rig rig(c.window, library(c.code), c.dpi);
        EXPECT_EQ(c.moved, rig.moved()) << c.window.form << " " << c.code << " at " << c.dpi;
    }
}

}  // namespace
}  // namespace vantora::supervisor
