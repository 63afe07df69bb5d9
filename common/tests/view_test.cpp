// What every view shares through the base class. The rules each view must follow
// alike (values, clicks, keys, the control kinds) are the view contract's
// (tests/contract/view_contract.cpp), run on the test view and the Win32 host.
#include <gtest/gtest.h>

#include "common/ports/file_dialog.h"
#include "common/testing/test_view.h"

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

}  // namespace
}  // namespace vantora
