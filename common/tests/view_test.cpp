// What every view shares through the base class. The rules each view must follow
// alike (values, clicks, keys, the control kinds) are the view contract's
// (tests/contract/view_contract.cpp), run on the test view and the Win32 host.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/fakes/test_controls.h"
#include "common/ports/file_dialog.h"

namespace vantora {
namespace {

struct ViewEvents : ::testing::Test {
    testing::TestView view;
    void SetUp() override { view.declare("OK", "CommandButton"); }
};

TEST(CommonDialogFilter, EveryBarEndsAPart_AndTheListEndsTwice) {
    using namespace std::string_literals;
    const struct {
        std::string designed, expected;
    } cases[] = {
        {"EXE files(*.exe)|*.exe|All files(*.*)|*.*", "EXE files(*.exe)\0*.exe\0All files(*.*)\0*.*\0\0"s},
        {"EXE files(*.exe)|*.exe|", "EXE files(*.exe)\0*.exe\0\0"s},
        {"", "\0"s},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, commonDialogFilter(c.designed)) << c.designed;
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


// Control arrays: element 0 belongs to the design; the others come and go at run time.
TEST(ControlArrays, LoadAndUnloadFollowTheDesignRules) {
    ui::ControlArrays arrays;
    struct Step {
        const char* action;  // "load" or "unload"
        const char* element;
        bool changed;
    };
    const Step steps[] = {{"unload", "m(0)", false}, {"load", "m(0)", false}, {"load", "m(2)", true},
                          {"load", "m(2)", false},   {"load", "m(1)", true},  {"unload", "m(3)", false},
                          {"unload", "m(2)", true},  {"load", "m", false},    {"load", "m(x)", false},
                          {"load", "m(02)", false}};
    for (const Step& s : steps)
        EXPECT_EQ(s.changed, std::string(s.action) == "load" ? arrays.load(s.element) : arrays.unload(s.element))
            << s.action << " " << s.element;
    EXPECT_EQ(std::vector<int>{1}, arrays.loadedBeyondZero("m"));
    EXPECT_TRUE(arrays.isLoaded("m(0)"));
    EXPECT_FALSE(arrays.isLoaded("n(1)"));
}

TEST(ViewRules, ElementEventsReachTheArrayHandler_AndTheTopmostRectangleWins) {
    testing::TestView view;
    std::vector<std::pair<int, int>> seen;
    view.onArray("Label1", ui::Event::MouseDown, [&](int i, int button) { seen.emplace_back(i, button); });
    view.on("Label1(5)", ui::Event::MouseDown, [&](int button) { seen.emplace_back(-5, button); });
    EXPECT_TRUE(view.raise("Label1(3)", ui::Event::MouseDown, ui::kMouseRight));
    EXPECT_TRUE(view.raise("Label1(5)", ui::Event::MouseDown, ui::kMouseLeft));
    EXPECT_FALSE(view.raise("Label1", ui::Event::MouseDown));
    EXPECT_FALSE(view.raise("Label2(1)", ui::Event::MouseDown));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{3, ui::kMouseRight}, {-5, ui::kMouseLeft}}), seen);

    const std::vector<ui::Rect> rects{{0, 0, 10, 10}, {5, 5, 10, 10}};
    EXPECT_EQ(1, ui::topmostAt(rects, 7, 7));
    EXPECT_EQ(0, ui::topmostAt(rects, 4, 4));
    EXPECT_EQ(-1, ui::topmostAt(rects, 15, 15));  // right and bottom edges lie outside
    EXPECT_EQ(-1, ui::topmostAt(rects, -1, 0));
}

// A misspelt name must fail the test that uses it, once, whoever uses it: the logic
// through any kind of call, or the test itself.
TEST(StrictTestView, ANameTheWindowLacks_IsReportedOnce_WhateverTheUse) {
    static std::vector<std::string> reports;
    const auto strict = std::exchange(testing::unknownNameReport(), [](const std::string& m) { reports.push_back(m); });
    const struct {
        const char* what;
        std::function<void(testing::TestView&)> use;
        int expected;
    } cases[] = {
        {"caption set and read", [](testing::TestView& v) { v.setCaption("txtEnterPw", "x"), v.caption("txtEnterPw"); }, 1},
        {"filter on a text box", [](testing::TestView& v) { v.textBox("txtEnterPw").setMessageFilter({}); }, 1},
        {"value and click", [](testing::TestView& v) { v.setValue("txtEnterPw", 1), v.click("txtEnterPw"); }, 1},
        {"message sent, focus", [](testing::TestView& v) { v.send("txtEnterPw", {}), v.setFocus("txtEnterPw"); }, 1},
        {"a test's own check", [](testing::TestView& v) { v.control("txtEnterPw").enabled = false; }, 1},
        {"declared control", [](testing::TestView& v) { v.textBox("txtEnterPwd").setText("*"), v.click("OK"); }, 0},
        {"the form", [](testing::TestView& v) { v.setCaption("Probe", "Title"), v.setTag("Probe", "Register"); }, 0},
        {"loaded element", [](testing::TestView& v) { v.load("m(2)"), v.setChecked("m(2)", true); }, 0},
        {"element not loaded", [](testing::TestView& v) { v.setChecked("m(3)", true); }, 1},
    };
    for (const auto& c : cases) {
        reports.clear();
        testing::TestView view;
        view.declareWindow("Probe", {{"txtEnterPwd", "TextBox"}, {"OK", "CommandButton"}, {"m(0)", "Menu"}});
        c.use(view);
        EXPECT_EQ(c.expected, int(reports.size())) << c.what;
        if (c.expected) { EXPECT_NE(std::string::npos, reports.at(0).find("Probe")) << reports.at(0); }
    }
    testing::unknownNameReport() = strict;
}

}  // namespace
}  // namespace vantora
