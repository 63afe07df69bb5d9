// BASTIONE's three windows on test views, against the simulated BIOS core behind the
// fake firmware device and the fake common module; a test plays the user in each
// modal dialog as it shows.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/fakes/fake_common_module.h"
#include "common/fakes/fake_desktop.h"
#include "common/fakes/fake_firmware_device.h"
#include "common/fakes/fake_keyboard.h"
#include "common/fakes/fake_power.h"
#include "common/fakes/fake_string_library.h"
#include "common/fakes/test_controls.h"
#include "supervisor/ss_pwd_register.h"
#include "supervisor/supervisor.h"
#include "supervisor/user_pwd_mode.h"

namespace vantora::supervisor {
namespace {

using namespace vantora::testing;
using Msg = ui::ControlMessage;

constexpr char kAbc[] = "030048046";  // a, b, c on a US keyboard
constexpr int kRequestSupervisorPwd = 0x86, kRequestClrSupervisorPwd = 0x87;

struct Instances : SingleCopyPort {
    bool another = false;
    std::uint32_t genuineWindow = 0;  // the one window that belongs to a copy of this program
    bool anotherCopyRunning() override { return another; }
    bool isRunningCopy(std::uint32_t w) override { return w != 0 && w == genuineWindow; }
};

// US scan codes of the letters and digits a test types.
int scanCodeOf(char c) {
    static const std::string rows[] = {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
    static const int starts[] = {2, 16, 30, 44};
    for (int r = 0; r < 4; ++r)
        if (auto at = rows[r].find(c); at != std::string::npos) return starts[r] + int(at);
    return 0;
}

// A test view whose message boxes also go to one log shared by all windows, in order.
struct LoggedView : TestView {
    LoggedView(std::uint32_t handle, std::vector<std::string>& log) : TestView(handle), log_(log) {}
    int messageBox(std::string_view text, std::string_view caption, std::uint32_t flags) override {
        log_.emplace_back(text);
        return TestView::messageBox(text, caption, flags);
    }
    std::vector<std::string>& log_;
};

struct Rig : SupervisorForms {
    std::vector<std::string> log;
    BiosCoreState core;
    FakeFirmwareDevice device{&core};
    FakeOsVersion os{5, 1};
    FakeCommonModule common;
    FakeWindows windows;
    Instances instances;
    FakePower power;
    FakeKeyboard keyboard;
    FakeStringLibrary languages;
    FakeScreen screen;
    LoggedView main{0x2000, log};
    std::unique_ptr<Supervisor> supervisor;
    // Plays the user in each dialog; the second argument counts the dialogs shown so far.
    std::function<void(TestView&, int)> user;
    std::vector<std::string> shown;  // dialog and the Tag it was opened with
    std::vector<std::unique_ptr<LoggedView>> views;

    Rig() {
        bios_core_init(&core);
        common.hotkeyWindow = 0x777;
        main.declareWindow(kFormName, kSupervisorControls);
        for (auto [name, group] : {std::pair{"optRegistered", "s"}, {"optNotRegistered", "s"},
                                   {"optAbleToRun", "m"}, {"optUnableToRun", "m"}})
            main.control(name).group = group;
    }
    Rig& registered(int mode) {
        DEZEZ bios(device, os);
        bios.SupervisorPwd(KeyCodeString(kAbc));
        bios.SCUItem14(mode);
        return *this;
    }
    void load() {
        supervisor = std::make_unique<Supervisor>(main, SupervisorPorts{common, windows, instances, power, {device, os}, {languages, screen}},
                                                  *this);
        supervisor->Form_Load();
    }
    template <std::size_t N>
    TestView& newView(const char* form, const ui::DeclaredControl (&controls)[N]) {
        views.push_back(std::make_unique<LoggedView>(0x3000 + int(views.size()), log));
        TestView& v = *views.back();
        v.declareWindow(form, controls);
        return v;
    }
    void showSSPwdRegister() override {
        TestView& v = newView(kPwdFormName, kSSPwdRegisterControls);
        v.control("OK").isDefault = true;
        SSPwdRegister dialog(v, *supervisor, common, keyboard);
        dialog.Form_Load();
        shown.push_back(std::string(kPwdFormName) + " " + supervisor->Tag());
        if (user) user(v, int(shown.size()));
        EXPECT_TRUE(v.closed()) << "the dialog must close before its show returns";
    }
    void showUserPwdMode() override {
        TestView& v = newView(kModeFormName, kUserPwdModeControls);
        UserPwdMode dialog(v, *supervisor);
        dialog.Form_Load();
        shown.push_back(kModeFormName);
        if (user) user(v, int(shown.size()));
        EXPECT_TRUE(v.closed());
    }
    bool on(const char* option) const { return main.value(option) == ui::kChecked; }
    const std::vector<std::string>& messages() const { return log; }
    int requestsOf(int function) const {
        int n = 0;
        for (const auto& r : device.requests()) n += r.bytes[0] == function;
        return n;
    }
    bool biosHasPassword() {
        DEZEZ bios(device, os);
        return bios.SPasswordState() != 0;
    }
};

// One key as the box receives it: down, character, up. Every text the box holds along
// the way must be asterisks only.
void press(TestView& v, int vk, int scanCode, int character) {
    v.send(kPasswordBox, {Msg::Kind::KeyDown, vk, scanCode});
    if (character) v.send(kPasswordBox, {Msg::Kind::Char, character, scanCode});
    EXPECT_EQ(std::string::npos, v.caption(kPasswordBox).find_first_not_of('*')) << v.caption(kPasswordBox);
    v.send(kPasswordBox, {Msg::Kind::KeyUp, vk, scanCode});
}
void type(TestView& v, const std::string& text) {
    for (char c : text) press(v, std::toupper(c), scanCodeOf(c), c);
}
void backspace(TestView& v) { press(v, 8, 14, 8); }
void enter(TestView& v) { press(v, 13, 28, 13); }

TEST(Supervisor, FormLoad_ShowsTheBiosStateWithoutOpeningADialog) {
    struct Case {
        int mode;  // -1: no password
        bool registered, able, unable, modesEnabled;
    };
    const Case cases[] = {{-1, false, false, false, false}, {1, true, true, false, true},
                          {0, true, false, true, true},     {7, true, false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE("SCUItem14 " + std::to_string(c.mode));
        Rig rig;
        if (c.mode >= 0) rig.registered(c.mode);
        rig.load();
        EXPECT_EQ(c.registered, rig.on("optRegistered"));
        EXPECT_EQ(!c.registered, rig.on("optNotRegistered"));
        EXPECT_EQ(c.able, rig.on("optAbleToRun"));
        EXPECT_EQ(c.unable, rig.on("optUnableToRun"));
        EXPECT_EQ(c.modesEnabled, rig.main.enabled("optAbleToRun") && rig.main.enabled("optUnableToRun"));
        EXPECT_EQ(c.registered ? kTrue : kFalse, rig.supervisor->o_Registered);
        EXPECT_EQ(c.able ? kTrue : kFalse, rig.supervisor->o_AbleToRun);
        EXPECT_EQ(c.unable ? kTrue : kFalse, rig.supervisor->o_UnableToRun);
        EXPECT_TRUE(rig.shown.empty());
        EXPECT_EQ("", rig.supervisor->Tag()) << "a guard left armed swallows the first click";
        EXPECT_EQ(0x2000u, rig.common.supervisorWindow);
    }
}

TEST(Supervisor, FormLoad_EndsWithItsOwnMessageWhenTheCommonModuleFails) {
    struct Case {
        const char* what;
        std::function<void(Rig&)> arrange;
        std::string text;
    };
    const Case cases[] = {
        {"library missing", [](Rig& r) { r.common.removeLibrary(); }, "File not found: CORELINK.dll"},
        {"export missing", [](Rig& r) { r.common.removeExport("RegSupervisorPwd"); },
         "Can't find DLL entry point RegSupervisorPwd in CORELINK.dll"},
        {"service not running", [](Rig& r) { r.common.hotkeyWindow = 0; }, "Common Module terminated!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        c.arrange(rig);
        rig.load();
        ASSERT_EQ(1u, rig.main.messageBoxes().size());
        EXPECT_EQ(c.text, rig.main.messageBoxes()[0].text);
        EXPECT_EQ(std::string(kProgramTitle), rig.main.messageBoxes()[0].caption);
        EXPECT_EQ(ui::kMbOk | ui::kMbIconCritical, rig.main.messageBoxes()[0].flags);
        EXPECT_TRUE(rig.main.closed());
        EXPECT_TRUE(rig.device.requests().empty());
    }
}

// A program that only takes the token and registers a window under our name must
// neither receive the password nor keep the utility from starting.
TEST(Supervisor, FormLoad_OnlyAVerifiedCopyIsBroughtForward_AnythingElseLetsThisCopyStart) {
    const struct {
        const char* what;
        std::uint32_t registered, genuine;
        bool ends;
    } cases[] = {
        {"a verified copy", 0x1234, 0x1234, true},
        {"an impostor's window", 0x1234, 0, false},
        {"the token held, no window registered", 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.instances.another = true;
        rig.instances.genuineWindow = c.genuine;
        rig.common.supervisorWindow = c.registered;
        rig.load();
        const std::vector<FakeWindows::Call> forward = {{"ShowWindow", 0x1234, kSwRestore},
                                                        {"SetForegroundWindow", 0x1234, 0}};
        EXPECT_EQ(c.ends ? forward : std::vector<FakeWindows::Call>{}, rig.windows.calls);
        EXPECT_EQ(c.ends, rig.main.closed());
        EXPECT_EQ(c.ends ? 0x1234u : 0x2000u, rig.common.supervisorWindow) << "whose window is registered";
        EXPECT_EQ(c.ends, rig.device.requests().empty());
    }
}

TEST(Supervisor, ProgrammaticOptionChanges_NeverOpenADialog) {
    Rig rig;
    rig.registered(1).load();
    for (const char* option : {"optUnableToRun", "optAbleToRun", "optNotRegistered", "optRegistered"}) {
        rig.supervisor->setOption(option, true);
        rig.supervisor->setOption(option, true);  // no change: nothing raised, nothing armed
        EXPECT_EQ("", rig.supervisor->Tag()) << option;
    }
    EXPECT_TRUE(rig.shown.empty());
}

TEST(SSPwdRegister, Box_ShowsOneAsteriskPerRecordedKeyAndNeverTheCharacter) {
    struct Case {
        const char* what;
        std::function<void(TestView&)> keys;
        std::string box, groups;
    };
    const Case cases[] = {
        {"three keys", [](TestView& v) { type(v, "abc"); }, "***", kAbc},
        {"eleventh key", [](TestView& v) { type(v, "1234567890q"); }, "**********", "002003004005006007008009010011"},
        {"three keys and Backspace", [](TestView& v) { type(v, "abc"), backspace(v); }, "**", "030048"},
        {"Backspace on empty", [](TestView& v) { backspace(v); }, "", ""},
        {"rejected F1", [](TestView& v) { press(v, 0x70, 59, 0); }, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.load();
        rig.user = [&](TestView& v, int) {
            if (!v.find(kPasswordBox)) return v.click("OK");
            EXPECT_EQ('*', v.control(kPasswordBox).passwordChar);
            EXPECT_EQ(10, v.control(kPasswordBox).maxLength);
            c.keys(v);
            EXPECT_EQ(c.box, v.caption(kPasswordBox));
            EXPECT_EQ(int(c.box.size()), v.control(kPasswordBox).selStart) << "caret at the end";
            v.click("OK");
        };
        rig.main.click("optRegistered");
        // The first entry becomes o_EnterPwd unless it was empty; the second (the same
        // keys) then leaves it for the write.
        if (c.groups.empty()) {
            EXPECT_EQ("Entry Error!!!", rig.messages().at(0));
        } else {
            ASSERT_EQ(3u, rig.shown.size());
            DEZEZ bios(rig.device, rig.os);
            EXPECT_EQ(-1, bios.ChkSupervisorPwd(KeyCodeString(c.groups)));
        }
    }
}

TEST(SSPwdRegister, CtrlCharactersLockTheBoxUntilAnotherCharacter) {
    Rig rig;
    rig.load();
    rig.user = [&](TestView& v, int) {
        v.send(kPasswordBox, {Msg::Kind::Char, 3, 46});
        EXPECT_TRUE(v.control(kPasswordBox).locked);
        EXPECT_FALSE(v.send(kPasswordBox, {Msg::Kind::KeyDown, 'B', 48})) << "read-only drops key-downs";
        v.send(kPasswordBox, {Msg::Kind::Char, 'x', 45});
        EXPECT_FALSE(v.control(kPasswordBox).locked);
        v.click("Cancel");
    };
    rig.main.click("optRegistered");
}

// A modifier pressed in the box and released while another window had the focus: the
// box never sees the release, and the keys typed afterwards must still count.
TEST(SSPwdRegister, ModifierReleasedInAnotherWindow_IsNoLongerHeld) {
    const struct {
        const char* what;
        std::vector<Msg> pressed;  // in the box
        std::vector<int> keys;     // their virtual keys
    } cases[] = {
        {"Ctrl", {{Msg::Kind::KeyDown, 0x11, 0x1D}}, {kVkControl}},
        {"AltGr", {{Msg::Kind::KeyDown, 0x11, 0x1D}, {Msg::Kind::KeyDown, 0x12, 0x38, true}}, {kVkControl, kVkMenu}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.load();
        rig.user = [&](TestView& v, int n) {
            if (!v.find(kPasswordBox)) return v.click("OK");
            if (n == 1) {
                for (std::size_t i = 0; i < c.pressed.size(); ++i) {
                    rig.keyboard.setKeyDown(c.keys[i], true);
                    v.send(kPasswordBox, c.pressed[i]);
                }
                for (int key : c.keys) rig.keyboard.setKeyDown(key, false);
            }
            type(v, "abc"), enter(v);
        };
        rig.main.click("optRegistered");
        ASSERT_EQ(3u, rig.shown.size()) << rig.messages().front();
        DEZEZ bios(rig.device, rig.os);
        EXPECT_EQ(-1, bios.ChkSupervisorPwd(KeyCodeString(kAbc)));
    }
}

// Esc reaches the dialog as the box's character or as the form's key; both are Cancel,
// and so is the close box.
TEST(SSPwdRegister, EscIsCancelInEveryMode) {
    struct Case {
        const char* clicked;
        int escAt;  // which dialog gets Esc; those before get "abc" and Enter
        bool registered, able, unable;
    };
    const Case cases[] = {
        {"optRegistered", 1, false, false, false},   // Register
        {"optRegistered", 2, false, false, false},   // Verification
        {"optNotRegistered", 1, true, true, false},  // UnRegister
        {"optUnableToRun", 1, true, true, false},
        {"optAbleToRun", 1, true, false, true},
    };
    enum Way { Character, FormKey, CloseBox };
    for (Way way : {Character, FormKey, CloseBox})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.clicked) + " Esc in dialog " + std::to_string(c.escAt) + " way " +
                         std::to_string(way));
            Rig rig;
            if (std::string(c.clicked) != "optRegistered") rig.registered(c.able ? 1 : 0);
            rig.load();
            rig.user = [&](TestView& v, int n) {
                if (n < c.escAt) return type(v, "abc"), enter(v);
                if (way == Character) v.send(kPasswordBox, {Msg::Kind::Char, ui::kKeyEscape, 1});
                else if (way == FormKey) v.pressKey(kPwdFormName, ui::kKeyEscape);
                else v.close();
            };
            const auto requests = rig.device.requests().size();
            rig.main.click(c.clicked);
            EXPECT_EQ(size_t(c.escAt), rig.shown.size());
            EXPECT_EQ(c.registered, rig.on("optRegistered"));
            EXPECT_EQ(!c.registered, rig.on("optNotRegistered"));
            EXPECT_EQ(c.able, rig.on("optAbleToRun"));
            EXPECT_EQ(c.unable, rig.on("optUnableToRun"));
            EXPECT_TRUE(rig.supervisor->o_EnterPwd.empty());
            EXPECT_EQ("", rig.supervisor->Tag());
            EXPECT_TRUE(rig.messages().empty());
            for (auto r = rig.device.requests().begin() + requests; r != rig.device.requests().end(); ++r)
                EXPECT_EQ(0x85, r->bytes[0]) << "Cancel sends the BIOS nothing; the click may read its state";
        }
}

// Esc and the close box keep the default answer that the main window holds already;
// only OK takes the one chosen. Each leaves no mode marker behind.
TEST(UserPwdMode, EscAndCloseBoxKeepTheDefault_OkTakesTheChoice) {
    struct Case {
        const char* what;
        std::function<void(TestView&)> leave;
        bool able;
    };
    const Case cases[] = {
        {"OK", [](TestView& v) { v.click("OK"); }, false},
        {"Esc", [](TestView& v) { v.pressKey(kModeFormName, ui::kKeyEscape); }, true},
        {"close box", [](TestView& v) { v.close(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.load();
        rig.user = [&](TestView& v, int n) {
            if (n < 3) return type(v, "abc"), enter(v);
            v.click("optUnableToRun");
            c.leave(v);
        };
        rig.main.click("optRegistered");
        EXPECT_EQ(c.able, rig.on("optAbleToRun"));
        EXPECT_EQ(!c.able, rig.on("optUnableToRun"));
        EXPECT_EQ("", rig.supervisor->Tag());
        EXPECT_TRUE(rig.biosHasPassword());
    }
}

TEST(Supervisor, RegistrationRoad_WritesPasswordThenModeOnOkAndPowersOffOnYes) {
    for (int answer : {ui::kIdYes, ui::kIdNo}) {
        SCOPED_TRACE(answer);
        Rig rig;
        rig.load();
        rig.user = [&](TestView& v, int n) {
            if (n < 3) return type(v, "abc"), enter(v);
            EXPECT_EQ(ui::kChecked, v.value("optAbleToRun")) << "the default answer";
            v.click("optUnableToRun");
            v.click("OK");
        };
        rig.main.click("optRegistered");
        const std::vector<std::string> shown = {"SSPwdRegister Register", "SSPwdRegister Verification", "UserPwdMode"};
        EXPECT_EQ(shown, rig.shown);
        EXPECT_EQ(std::vector<std::string>{"Please write down the password.\r\nIn Case you forget it, the Rigpanel may not work."},
                  rig.messages());
        EXPECT_TRUE(rig.on("optRegistered") && rig.on("optUnableToRun") && !rig.on("optAbleToRun"));
        EXPECT_TRUE(rig.biosHasPassword());
        EXPECT_TRUE(rig.supervisor->o_EnterPwd.empty()) << "the key codes stay no longer than their write";
        rig.main.answerNext(answer);
        rig.main.click("OK");
        EXPECT_EQ(0, rig.core.scu[14]);
        ASSERT_EQ(1u, rig.main.messageBoxes().size());
        EXPECT_EQ(ui::kMbYesNo | ui::kMbIconExclamation, rig.main.messageBoxes()[0].flags);
        const std::vector<std::string> powerOff = {"enablePrivilege SeShutdownPrivilege", "ExitWindowsEx 8 ffffffff"};
        EXPECT_EQ(answer == ui::kIdYes ? powerOff : std::vector<std::string>{}, rig.power.calls);
        EXPECT_TRUE(rig.main.closed());
    }
}

TEST(Supervisor, EntryErrors_LeaveNotRegisteredAndWriteNothing) {
    const std::vector<std::string> firstAndSecond[] = {{"", ""}, {"abc", "abd"}};
    for (const auto& entries : firstAndSecond) {
        SCOPED_TRACE(entries[0] + "/" + entries[1]);
        Rig rig;
        rig.load();
        rig.user = [&](TestView& v, int n) { type(v, entries.at(n - 1)), enter(v); };
        rig.main.click("optRegistered");
        EXPECT_EQ(std::vector<std::string>{"Entry Error!!!"}, rig.messages());
        EXPECT_TRUE(rig.on("optNotRegistered") && !rig.on("optRegistered"));
        EXPECT_EQ(0, rig.requestsOf(kRequestSupervisorPwd));
        rig.main.click("OK");
        EXPECT_EQ(1u, rig.messages().size()) << "nothing changed: no power-off question";
    }
}

// With a library, the password dialog's texts for each mode and the title of every
// password message box come from it.
TEST(Supervisor, WithALibrary_ModeTextsAndMessageTitleComeFromIt) {
    Rig rig;
    rig.languages.libraries[kLanguageLibrary] = {{1, "XX"}, {10, "T10"}, {19, "T19"}, {22, "T22"}, {32, "T32"}};
    rig.load();
    std::vector<std::string> texts;
    rig.user = [&](TestView& v, int n) {
        texts.push_back(v.caption(kPwdFormName) + "|" + v.caption("labEnterPwd"));
        type(v, n == 1 ? "abc" : "abd"), enter(v);
    };
    rig.main.click("optRegistered");
    EXPECT_EQ((std::vector<std::string>{"T10|", "T19|T22"}), texts);
    ASSERT_EQ(2u, rig.views.size());
    ASSERT_EQ(1u, rig.views[1]->messageBoxes().size());
    EXPECT_EQ("T32", rig.views[1]->messageBoxes()[0].text);
    EXPECT_EQ("T10", rig.views[1]->messageBoxes()[0].caption);
}

// A right password clears the count; the mode it allows is written by OK only.
TEST(Supervisor, ThreeWrongPasswords_ThenAccessDeniedWithoutADialog) {
    Rig rig;
    rig.registered(1).load();
    rig.common.invalidPwdCount = 2;
    rig.user = [&](TestView& v, int n) { type(v, n == 1 ? "abc" : "abd"), enter(v); };
    rig.main.click("optUnableToRun");
    EXPECT_TRUE(rig.on("optUnableToRun") && !rig.on("optAbleToRun"));
    EXPECT_EQ(0, rig.common.invalidPwdCount);
    EXPECT_EQ(1, rig.core.scu[14]);
    for (int i = 0; i < 4; ++i) rig.main.click("optAbleToRun");
    const std::vector<std::string> expected = {"Invalid Password!!!", "Invalid Password!!!", "Invalid Password!!!",
                                               "Access denied!!!"};
    EXPECT_EQ(expected, rig.messages());
    EXPECT_EQ(4u, rig.shown.size());
    EXPECT_EQ(3, rig.common.invalidPwdCount);
    EXPECT_TRUE(rig.on("optUnableToRun") && !rig.on("optAbleToRun"));
    EXPECT_EQ("", rig.supervisor->Tag());
}

// The click a user makes on the option that is selected already: a second registration
// would be refused by the BIOS (and the read-back would take the old password for the
// new one), and a check without a password would count as a wrong one.
TEST(Supervisor, ClickOnTheOptionThatShowsTheBiosState_OpensNothingAndCountsNothing) {
    for (bool registered : {true, false}) {
        SCOPED_TRACE(registered ? "registered" : "none");
        Rig rig;
        if (registered) rig.registered(1);
        rig.load();
        rig.user = [&](TestView& v, int) { type(v, "abc"), enter(v); };
        const auto before = rig.device.requests().size();
        rig.main.click(registered ? "optRegistered" : "optNotRegistered");
        EXPECT_TRUE(rig.shown.empty());
        EXPECT_TRUE(rig.messages().empty());
        EXPECT_EQ(0, rig.common.invalidPwdCount);
        EXPECT_EQ(registered, rig.on("optRegistered"));
        EXPECT_EQ(!registered, rig.on("optNotRegistered"));
        for (auto r = rig.device.requests().begin() + before; r != rig.device.requests().end(); ++r)
            EXPECT_EQ(0x85, r->bytes[0]) << "only the state may be read";
    }
}

// A write the BIOS did not take is reported and undone on the window, so that OK
// neither claims the change nor asks to power off for it.
TEST(Supervisor, PasswordChangeTheBiosDidNotTake_IsReportedAndPutBack) {
    struct Case {
        const char* clicked;
        int failing;  // the request that fails, counted from the click
        bool registered;
    };
    const Case cases[] = {{"optRegistered", 0, false}, {"optNotRegistered", 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clicked);
        Rig rig;
        if (c.registered) rig.registered(0);
        rig.load();
        rig.user = [&](TestView& v, int) {
            if (v.find(kPasswordBox)) type(v, "abc"), enter(v);
            else v.click("OK");
        };
        // The click reads the BIOS's state first.
        rig.device.failRequestAt(int(rig.device.requests().size()) + 1 + c.failing);
        rig.main.click(c.clicked);
        ASSERT_FALSE(rig.messages().empty());
        EXPECT_EQ("The BIOS did not take the change.", rig.messages().back());
        EXPECT_EQ(c.registered, rig.biosHasPassword());
        EXPECT_EQ(c.registered, rig.on("optRegistered"));
        EXPECT_EQ(!c.registered, rig.on("optNotRegistered"));
        EXPECT_EQ(c.registered, rig.on("optUnableToRun"));
        EXPECT_EQ(c.registered, rig.main.enabled("optAbleToRun"));
        if (c.registered) {
            EXPECT_EQ(0, rig.core.scu[14]) << "no user access while the password stays";
        }
        const auto boxes = rig.main.messageBoxes().size();
        rig.main.click("OK");
        EXPECT_EQ(boxes, rig.main.messageBoxes().size());
        EXPECT_TRUE(rig.power.calls.empty());
    }
}

TEST(Supervisor, DeletionRoad_ClearsPasswordAndLetsUsersRunRigpanel) {
    Rig rig;
    rig.registered(0).load();
    rig.user = [&](TestView& v, int) { type(v, "abc"), enter(v); };
    rig.main.click("optNotRegistered");
    EXPECT_FALSE(rig.biosHasPassword());
    EXPECT_EQ(1, rig.core.scu[14]);
    EXPECT_EQ(1, rig.requestsOf(kRequestClrSupervisorPwd));
    EXPECT_TRUE(rig.on("optNotRegistered") && !rig.on("optRegistered") && !rig.on("optUnableToRun"));
    EXPECT_FALSE(rig.main.enabled("optAbleToRun") || rig.main.enabled("optUnableToRun"));
    rig.main.click("OK");
    EXPECT_EQ(1, rig.core.scu[14]) << "OK writes no mode without a selected mode option";
    EXPECT_EQ(1u, rig.main.messageBoxes().size()) << "the power-off question";
}

}  // namespace
}  // namespace vantora::supervisor
