#pragma once
// What window logic relies on from a view, as one set of cases run against the test
// view and against the Win32 dialog host on a real template. Both hold the same probe
// form "frmProbe":
//   chkCheck (CheckBox), comList (ComboBox), cmdGo (CommandButton), Label2 (Label),
//   txtName (TextBox), OK (CommandButton, the default button),
//   frmA (Frame) around optA1, optA2 (OptionButton, one group), optB1, optB2 (another),
//   ListView1 (ListView), TreeView1 (TreeView), Image1 (Image), Picture1 (a CheckBox
//   drawn as a picture), ImageList1 and ImageList2 (ImageList);
// and two 16 x 16 bitmaps, kBitmapA and kBitmapB.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "common/ui/view.h"

namespace vantora::contract {

inline constexpr char kProbeForm[] = "frmProbe";
inline constexpr int kBitmapA = 201;
inline constexpr int kBitmapB = 202;

class ViewTarget {
public:
    virtual ~ViewTarget() = default;
    // The form, open and shown.
    virtual ui::View& view() = 0;

    // What a user does, through the real control where there is one.
    virtual void click(std::string_view control) = 0;
    virtual void clickRow(std::string_view list, int row, bool twice) = 0;
    virtual void clickNode(std::string_view tree, int node) = 0;
    // Esc or Enter, pressed while the view's focus is where it is.
    virtual void pressKey(int key) = 0;
    virtual void closeBox() = 0;
    // A message to a control, as the system would deliver it.
    virtual void send(std::string_view control, const ui::ControlMessage& message) = 0;
    // An icon of the shell's kind, for image lists.
    virtual std::uintptr_t icon() = 0;
    // Shows the form again, modally; `whileOpen` runs with it up. Returns what the show returned.
    virtual int runModal(std::function<void()> whileOpen) = 0;
};

using ViewTargetFactory = std::unique_ptr<ViewTarget> (*)();

class ViewContract : public ::testing::TestWithParam<ViewTargetFactory> {
protected:
    void SetUp() override;
    void TearDown() override { target_.reset(); }

    ViewTarget& target() { return *target_; }
    ui::View& view() { return target_->view(); }
    // Records the events of a control as "name event:argument".
    void record(std::string_view control, ui::Event event);
    std::vector<std::string> events;

private:
    std::unique_ptr<ViewTarget> target_;
};

}  // namespace vantora::contract
