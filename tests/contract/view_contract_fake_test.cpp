// The view contract run against the test view, declared as the probe template lays
// the form out.
#include <utility>

#include "common/fakes/test_view.h"
#include "tests/contract/view_contract.h"

namespace vantora::contract {
namespace {

// The contract's inert objects answer a name the window lacks on the Win32 host; the
// test view fails a test for such a name, and here it is told the one the contract uses.
class TestViewTarget : public ViewTarget {
public:
    TestViewTarget() : strict_(std::exchange(testing::unknownNameReport(), &reportAllButTheContractsOwn)) {
        view_.setFormName(kProbeForm);
        const struct {
            const char* name;
            const char* designClass;
            const char* group;
        } controls[] = {
            {"chkCheck", "CheckBox", ""},      {"comList", "ComboBox", ""},      {"cmdGo", "CommandButton", ""},
            {"Label2", "Label", ""},           {"txtName", "TextBox", ""},       {"OK", "CommandButton", ""},
            {"optA1", "OptionButton", "A"},    {"optA2", "OptionButton", "A"},   {"optB1", "OptionButton", "B"},
            {"optB2", "OptionButton", "B"},    {"frmA", "Frame", ""},            {"ListView1", "ListView", ""},
            {"TreeView1", "TreeView", ""},     {"Image1", "Image", ""},          {"Picture1", "CheckBox", ""},
            {"ImageList1", "ImageList", ""},   {"ImageList2", "ImageList", ""},
        };
        for (const auto& c : controls) view_.declare(c.name, c.designClass).group = c.group;
        view_.control("OK").isDefault = true;
        view_.declareBitmap(kBitmapA);
        view_.declareBitmap(kBitmapB);
    }
    ui::View& view() override { return view_; }
    void click(std::string_view c) override { view_.click(c); }
    void clickRow(std::string_view list, int row, bool twice) override { view_.clickRow(list, row, twice); }
    void clickNode(std::string_view tree, int node) override { view_.clickNode(tree, node); }
    void pressKey(int key) override { view_.pressKey(kProbeForm, key); }
    void closeBox() override { view_.close(); }
    void send(std::string_view c, const ui::ControlMessage& m) override { view_.send(c, m); }
    std::uintptr_t icon() override { return 0x1234; }
    int runModal(std::function<void()> whileOpen) override { return view_.runModal(whileOpen); }

    ~TestViewTarget() override { testing::unknownNameReport() = strict_; }

private:
    static void reportAllButTheContractsOwn(const std::string& message) {
        if (message.rfind("\"nothing\"", 0) != 0) ADD_FAILURE() << message;
    }

    testing::UnknownNameReport strict_;
    testing::TestView view_;
};

std::unique_ptr<ViewTarget> makeTestView() { return std::make_unique<TestViewTarget>(); }

INSTANTIATE_TEST_SUITE_P(TestView, ViewContract, ::testing::Values(&makeTestView));

}  // namespace
}  // namespace vantora::contract
