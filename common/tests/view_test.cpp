// The one rule every view shares: setting a value raises the Click a user's click
// would, exactly once and only when the value changes.
#include <gtest/gtest.h>

#include "common/testing/test_view.h"

namespace vantora {
namespace {

struct ViewEvents : ::testing::Test {
    testing::TestView view;
    std::vector<std::string> clicks;

    void SetUp() override {
        view.declare("chkA", "CheckBox");
        view.declare("comList", "ComboBox");
        for (const char* item : {"1", "2", "3"}) view.addItem("comList", item);
        for (const char* name : {"chkA", "comList", "OK"})
            view.on(name, ui::Event::Click, [this, name] { clicks.push_back(name); });
    }
};

TEST_F(ViewEvents, SetValue_RaisesClickOnlyWhenTheValueChanges) {
    view.setValue("chkA", ui::kUnchecked);
    EXPECT_TRUE(clicks.empty());
    view.setValue("chkA", ui::kChecked);
    view.setValue("chkA", ui::kChecked);
    EXPECT_EQ(clicks, std::vector<std::string>{"chkA"});
    EXPECT_EQ(view.value("chkA"), ui::kChecked);
}

TEST_F(ViewEvents, SetListIndex_OutsideTheList_IsNotAccepted) {
    view.setListIndex("comList", 3);
    view.setListIndex("comList", -2);
    EXPECT_EQ(view.listIndex("comList"), -1);
    EXPECT_TRUE(clicks.empty());
    view.setListIndex("comList", 2);
    view.setListIndex("comList", 2);
    EXPECT_EQ(view.listIndex("comList"), 2);
    EXPECT_EQ(clicks, std::vector<std::string>{"comList"});
}

TEST_F(ViewEvents, UserClick_TogglesCheckBoxes_AndIgnoresDisabledControls) {
    view.click("chkA");
    view.click("chkA");
    EXPECT_EQ(view.value("chkA"), ui::kUnchecked);
    view.setEnabled("OK", false);
    view.click("OK");
    EXPECT_EQ(clicks, (std::vector<std::string>{"chkA", "chkA"}));
}

TEST_F(ViewEvents, Handler_MayReplaceItselfWhileRunning) {
    int runs = 0;
    view.on("OK", ui::Event::Click, [&] {
        ++runs;
        view.on("OK", ui::Event::Click, [&] { runs += 10; });
    });
    view.click("OK");
    view.click("OK");
    EXPECT_EQ(runs, 11);
}

}  // namespace
}  // namespace vantora
