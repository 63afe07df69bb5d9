#include <gtest/gtest.h>

#include "common/fakes/fake_desktop.h"
#include "common/fakes/fake_registry.h"
#include "common/fakes/test_view.h"
#include "launcher/form3.h"
#include "launcher/tests/dialog_rig.h"

namespace vantora::launcher {
namespace {

using namespace vantora::testing;

class Form3Test : public ::testing::Test {
protected:
    FakeRegistry reg;
    Store store{reg};
    LauncherState state;
    vantora::testing::TestView view{0x00050500}, form1View;
    FakeWindows windows;
    FakeHelp help;
    launcher::testing::DialogRig rig;
    std::unique_ptr<Form3> form;

    void SetUp() override {
        launcher::testing::declareWindow(view, "Form3");
        launcher::testing::declareForm1(form1View);
        state.CurrentKeyName = "Fn-Q";
        state.CurrentKeyStatus = kErrorFileNotFound;
    }
    void open() {
        form = std::make_unique<Form3>(state, store, view, form1View, DialogPorts{windows, help, rig.files, rig}, "C:\\K\\Keyloom32.hlp");
        form->Form_Load();
    }
    void TearDown() override { EXPECT_EQ(0, reg.openHandleCount()); }
};

TEST_F(Form3Test, Load_ShowsTheKey_TakesConfirmationFromTheStore_AndMarksItselfOpen) {
    store.writeUser(kCfgKey, "opts5", "1");
    state.TopMostFlag = true;
    open();
    EXPECT_TRUE(state.AssignmentTypeOpen);
    EXPECT_EQ(0x00050500u, state.activeFormWindow());
    EXPECT_EQ("Fn-Q", view.caption("Label1"));
    EXPECT_EQ(ui::kChecked, view.value("Check1"));
    ASSERT_EQ(1u, windows.calls.size());
    EXPECT_EQ("SetWindowPos", windows.calls[0].what);
    EXPECT_EQ(view.windowHandle(), windows.calls[0].window);
}

TEST_F(Form3Test, Load_OfAnAssignedKey_ReadsOnlyTheStoredParts) {
    store.writeUser(kCmdKey, "Fn-Q", "C:\\Tools\\edit.exe");
    store.writeUser(kDescKey, "Fn-Q", "Editor");
    state.CurrentWorkingDir = "left alone";
    state.CurrentKeyStatus = kErrorSuccess;
    open();
    EXPECT_EQ("C:\\Tools\\edit.exe", state.CurrentCommand);
    EXPECT_EQ("Editor", state.CurrentDescription);
    EXPECT_EQ("left alone", state.CurrentWorkingDir);
}

TEST_F(Form3Test, Check1_WritesTheSettingAndTheMainWindowsMark) {
    store.writeUser(kCfgKey, "opts5", "1");
    open();
    view.click("Check1");
    EXPECT_EQ("0", store.readUser(kCfgKey, "opts5").text);
    EXPECT_FALSE(form1View.checked("mConfirm"));
    view.click("Check1");
    EXPECT_EQ("1", store.readUser(kCfgKey, "opts5").text);
    EXPECT_TRUE(form1View.checked("mConfirm"));
}

TEST_F(Form3Test, CancelEscAndHelp) {
    open();
    view.click("Command5");
    view.raise("Form3", ui::Event::Help);
    EXPECT_EQ(2u, help.shown.size());
    EXPECT_EQ((std::pair<std::string, std::uint32_t>{"C:\\K\\Keyloom32.hlp", 103}), help.shown.at(0));

    view.pressKey("Form3", 'x');
    EXPECT_FALSE(view.closed());
    view.pressKey("Form3", ui::kKeyEscape);
    EXPECT_TRUE(view.closed());
    EXPECT_FALSE(state.AssignmentTypeOpen);
    EXPECT_TRUE(state.OpenForms.empty()) << "the main window is the active form again";

    vantora::testing::TestView again;
    launcher::testing::declareWindow(again, "Form3");
    Form3 second(state, store, again, form1View, DialogPorts{windows, help, rig.files, rig}, "h");
    second.Form_Load();
    again.click("Command4");
    EXPECT_TRUE(again.closed());
    EXPECT_FALSE(state.AssignmentTypeOpen);
}

}  // namespace
}  // namespace vantora::launcher
