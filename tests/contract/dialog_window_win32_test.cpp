// The generic dialog view on real windows, where it goes beyond the view contract
// (view_contract_win32_test.cpp): loading, the form's own caption and geometry,
// colour messages, closing, and fitting the template to its design font.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/win32/dialog_window.h"
#include "common/win32/form_window.h"
#include "common/win32/main_form_window.h"
#include "common/win32/owners.h"
#include "tests/e2e/debug_output.h"

namespace vantora {
namespace {

constexpr int kTemplate = 101;

class DialogWindowTest : public ::testing::Test {
protected:
    win32::DialogWindow dialog{GetModuleHandleA(nullptr), kTemplate, "frmProbe",
                               {{"chkCheck", 1001, "CheckBox"},
                                {"comList", 1002, "ComboBox"},
                                {"cmdGo", 1003, "CommandButton"},
                                {"Label2", 1004, "Label"},
                                {"txtName", 1005, "TextBox"}}};
    HWND control(int id) const { return GetDlgItem(dialog.hwnd(), id); }
};

TEST_F(DialogWindowTest, LoadRunsWithTheWindow_AndCloseDuringLoadLeavesNoWindow) {
    HWND seen = nullptr;
    dialog.onLoad = [&] {
        seen = dialog.hwnd();
        dialog.close();
    };
    EXPECT_FALSE(dialog.createModeless(nullptr));
    EXPECT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_FALSE(dialog.isOpen());
}

// Shown while it loads, a dialog appears once the load has ended, as the load left it.
TEST(DialogWindowShow, DuringTheLoad_TakesEffectWhenTheLoadEnds) {
    struct Row {
        bool hideAgain, visibleAfter;
    };
    for (const Row row : {Row{false, true}, Row{true, false}}) {
        win32::DialogWindow dialog{GetModuleHandleA(nullptr), kTemplate, "frmProbe", {{"cmdGo", 1003, "CommandButton"}}};
        bool windowShownInLoad = true, viewShownInLoad = false;
        dialog.onLoad = [&] {
            dialog.show();
            dialog.setCaption("cmdGo", "Changed");
            windowShownInLoad = IsWindowVisible(dialog.hwnd()) != FALSE;
            viewShownInLoad = dialog.visible();
            if (row.hideAgain) dialog.hide();
        };
        ASSERT_TRUE(dialog.createModeless(nullptr));
        EXPECT_FALSE(windowShownInLoad);
        EXPECT_TRUE(viewShownInLoad);
        EXPECT_EQ(IsWindowVisible(dialog.hwnd()) != FALSE, row.visibleAfter) << "hidden again: " << row.hideAgain;
        EXPECT_EQ(dialog.caption("cmdGo"), "Changed");
    }
}

TEST_F(DialogWindowTest, FormCaptionAndGeometry_ReachTheRealWindows) {
    ASSERT_TRUE(dialog.createModeless(nullptr));
    dialog.setCaption("frmProbe", "VANTORA Probe");
    char text[64] = {};
    GetWindowTextA(dialog.hwnd(), text, sizeof text);
    EXPECT_STREQ(text, "VANTORA Probe");
    EXPECT_EQ(dialog.className("Label2"), "Label");
    EXPECT_EQ(dialog.className("frmProbe"), "Form");

    const int t = dialog.twipsPerPixelX();
    dialog.setBounds("cmdGo", {120 * t, 10 * t, 81 * t, 25 * t});
    EXPECT_EQ(dialog.bounds("cmdGo"), (ui::Rect{120 * t, 10 * t, 81 * t, 25 * t}));
}

TEST_F(DialogWindowTest, Colors_AnswerTheControlsColourMessages) {
    ASSERT_TRUE(dialog.createModeless(nullptr));
    dialog.setForeColor("Label2", ui::kColorGrayText);
    dialog.setBackColor("Label2", ui::rgb(1, 2, 3));
    const win32::WindowDc label(control(1004));
    HDC dc = label.get();
    const auto brush = SendMessageA(dialog.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(control(1004)));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
    // A new colour takes the place of the old one, brush and all.
    dialog.setBackColor("Label2", ui::kColorWindow);
    const auto brush2 = SendMessageA(dialog.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(control(1004)));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    LOGBRUSH info{};
    ASSERT_TRUE(GetObjectA(reinterpret_cast<HBRUSH>(brush2), sizeof info, &info));
    EXPECT_EQ(info.lbColor, GetSysColor(COLOR_WINDOW));
}

TEST_F(DialogWindowTest, Closed_IsReportedOnce_ForTheCloseBoxAndForClose) {
    int closed = 0;
    dialog.onClosed = [&] { ++closed; };
    ASSERT_TRUE(dialog.createModeless(nullptr));
    SendMessageA(dialog.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(1, closed);
    dialog.close();  // already gone
    EXPECT_EQ(1, closed);
    ASSERT_TRUE(dialog.createModeless(nullptr));
    dialog.close();
    EXPECT_EQ(2, closed);
}

// A listener that throws must not unwind through the system's dispatcher, also on the
// last message a window gets.
TEST(FormWindowClose, AThrowingClosedListener_StaysInsideTheWindowProcedure) {
    win32::FormWindow form(GetModuleHandleA(nullptr), "frmProbe");
    ASSERT_TRUE(form.createWindow({"Vantora.Test.ThrowingForm", "probe"}));
    bool heard = false;
    form.onClosed = [&] {
        heard = true;
        throw std::runtime_error("listener failed");
    };
    EXPECT_TRUE(DestroyWindow(form.hwnd()));
    EXPECT_TRUE(heard);
    EXPECT_EQ(nullptr, form.hwnd());
}

int frameChanges = 0;
WNDPROC formProcedure = nullptr;

LRESULT CALLBACK countFrameChanges(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCALCSIZE) ++frameChanges;
    return CallWindowProcA(formProcedure, w, message, wParam, lParam);
}

// A popup list's items are captioned each time it shows; the menu bar, which does not
// hold them, is redrawn only for an item of its own (a redraw is a trip to the X server).
TEST(FormWindowMenus, ACaptionRedrawsTheMenuBarOnlyForAnItemItHolds) {
    win32::MainFormWindow form(GetModuleHandleA(nullptr), "frmProbe");
    form.setMenus({{"mTop", 3011}, {"mEntry", 3021}}, {{"mPopup", 302}});
    ASSERT_TRUE(form.createWindow({"Vantora.Test.MenuForm", "probe", WS_OVERLAPPEDWINDOW, 301}));
    formProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(form.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&countFrameChanges)));
    const struct {
        const char* item;
        bool redrawn;
    } cases[] = {{"mTop", true}, {"mEntry", false}};
    for (const auto& c : cases) {
        frameChanges = 0;
        form.setCaption(c.item, "changed");
        EXPECT_EQ(c.redrawn, frameChanges > 0) << c.item;
        EXPECT_EQ("changed", form.caption(c.item)) << c.item;
    }
    SetWindowLongPtrA(form.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(formProcedure));
    DestroyWindow(form.hwnd());
}

// Template units meant for a font twice as wide and tall as the one the system picked:
// every control and the client area come out twice the size they would have had.
TEST_F(DialogWindowTest, DesignBaseUnits_PutControlsWhereTheTemplateMeantThem) {
    ASSERT_TRUE(dialog.createModeless(nullptr));
    RECT units{0, 0, 4, 8};
    ASSERT_TRUE(MapDialogRect(dialog.hwnd(), &units));
    auto placed = [](HWND w, int id) {
        RECT r{};
        GetWindowRect(GetDlgItem(w, id), &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT plain = placed(dialog.hwnd(), 1003);
    auto dropHeight = [&] {
        RECT box{}, dropped{};
        GetWindowRect(GetDlgItem(dialog.hwnd(), 1002), &box);
        SendMessageA(GetDlgItem(dialog.hwnd(), 1002), CB_GETDROPPEDCONTROLRECT, 0,
                     reinterpret_cast<LPARAM>(&dropped));
        return std::pair{dropped.bottom - box.top, box.bottom - box.top};
    };
    const auto [plainDrop, closedBox] = dropHeight();
    RECT plainClient{};
    GetClientRect(dialog.hwnd(), &plainClient);
    dialog.close();

    const int dpi = win32::screenDpi();
    dialog.setDesignBaseUnits(MulDiv(units.right * 2, 96, dpi), MulDiv(units.bottom * 2, 96, dpi));
    ASSERT_TRUE(dialog.createModeless(nullptr));
    const RECT fitted = placed(dialog.hwnd(), 1003);
    RECT fittedClient{};
    GetClientRect(dialog.hwnd(), &fittedClient);
    EXPECT_NEAR(2 * plain.left, fitted.left, 2);
    EXPECT_NEAR(2 * plain.top, fitted.top, 2);
    EXPECT_NEAR(2 * (plain.right - plain.left), fitted.right - fitted.left, 2);
    EXPECT_NEAR(2 * (plain.bottom - plain.top), fitted.bottom - fitted.top, 2);
    EXPECT_NEAR(2 * plainClient.right, fittedClient.right, 2);
    EXPECT_NEAR(2 * plainClient.bottom, fittedClient.bottom, 2);
    // The drop-down list keeps a list to drop: its full height scales, not its closed box.
    EXPECT_NEAR(2 * plainDrop, dropHeight().first, closedBox + 4);
}

// A design nests controls in frames; the template lays them out flat. Through the view a
// control's place is within its frame, and a frame takes its controls along.
TEST(DialogWindowFrames, BoundsWithinTheFrame_AMovedFrameTakesItsControlsAlong) {
    win32::DialogWindow form{GetModuleHandleA(nullptr), 102, "frmProbe",
                             {{"fraA", 1011, "Frame"},
                              {"optA1", 1007, "OptionButton", "fraA"},
                              {"optA2", 1008, "OptionButton", "fraA"},
                              {"cmdGo", 1003, "CommandButton"}}};
    ASSERT_TRUE(form.createModeless(nullptr));
    auto placed = [&](int id) {
        RECT r{};
        GetWindowRect(GetDlgItem(form.hwnd(), id), &r);
        MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const int t = form.twipsPerPixelX();
    const RECT frame = placed(1011), a1 = placed(1007), a2 = placed(1008), go = placed(1003);
    EXPECT_EQ((ui::Rect{(a1.left - frame.left) * t, (a1.top - frame.top) * t, (a1.right - a1.left) * t,
                        (a1.bottom - a1.top) * t}),
              form.bounds("optA1"));

    form.setBounds("optA1", {5 * t, 7 * t, 40 * t, 12 * t});
    EXPECT_EQ(frame.left + 5, placed(1007).left);
    EXPECT_EQ(frame.top + 7, placed(1007).top);

    ui::Rect moved = form.bounds("fraA");
    moved.left += 20 * t, moved.top += 10 * t;
    form.setBounds("fraA", moved);
    EXPECT_EQ(frame.left + 20 + 5, placed(1007).left);
    EXPECT_EQ(frame.top + 10 + 7, placed(1007).top);
    EXPECT_EQ(a2.left + 20, placed(1008).left);
    EXPECT_EQ(a2.top + 10, placed(1008).top);
    EXPECT_EQ((ui::Rect{5 * t, 7 * t, 40 * t, 12 * t}), form.bounds("optA1")) << "its place within the frame stays";
    EXPECT_EQ(go.top, placed(1003).top) << "a control outside the frame stays";

    ui::Rect taller = form.bounds("fraA");
    taller.height += 30 * t;
    form.setBounds("fraA", taller);
    EXPECT_EQ(a2.top + 10, placed(1008).top) << "a frame that only grows moves nothing";
    form.close();
}

// A misspelt design name acts on nothing; each host says so on the system's debug output,
// once per form and name, and never for a name its window has.
TEST(UnknownNames, AreReportedOnce_BothHosts) {
    testing::DebugOutput output;
    ASSERT_TRUE(output.listening());
    win32::DialogWindow dialog{GetModuleHandleA(nullptr), kTemplate, "frmProbe",
                               {{"chkCheck", 1001, "CheckBox"}, {"txtName", 1005, "TextBox"}}};
    ASSERT_TRUE(dialog.createModeless(nullptr));
    win32::MainFormWindow form(GetModuleHandleA(nullptr), "frmMain");
    form.setWindowlessLabels({{"Label1(0)"}, "MS Sans Serif", true});
    form.setMenus({{"mTop", 40001}, {ui::indexed("mCmd", 0), 40010}}, {{"umTray", 1}});
    ASSERT_TRUE(form.createWindow({"Vantora.Test.NamedForm", "probe"}));

    const struct {
        const char* name;
        std::function<void()> use;
        std::size_t reports;
    } cases[] = {
        {"txtNmae", [&] { dialog.setCaption("txtNmae", "x"), dialog.textBox("txtNmae").setText("y"); }, 1},
        {"chkChekc", [&] { dialog.setValue("chkChekc", 1), dialog.setEnabled("chkChekc", false); }, 1},
        {"mTpo", [&] { form.setChecked("mTpo", true), form.setChecked("mTpo", false); }, 1},
        {"Label1(1)", [&] { form.setCaption("Label1(1)", "F2"); }, 1},
        {"frmProbe", [&] { dialog.setCaption("frmProbe", "p"), dialog.setTag("frmProbe", "t"); }, 0},
        {"txtName", [&] { dialog.textBox("txtName").setText("n"), dialog.setFocus("txtName"); }, 0},
        {"Label1(0)", [&] { form.setCaption("Label1(0)", "F1"), form.setToolTip("Label1(0)", "tip"); }, 0},
        {"mCmd(3)", [&] { form.load("mCmd(3)"), form.setCaption("mCmd(3)", "c"); }, 0},
        {"umTray", [&] { form.popupMenu("umTray", 0); }, 0},
    };
    for (const auto& c : cases) c.use();
    const auto settled = [&] { return output.linesWith("has no control named").size() >= 4; };
    const auto end = GetTickCount() + 5000;
    while (!settled() && GetTickCount() < end) Sleep(20);
    for (const auto& c : cases)
        EXPECT_EQ(c.reports, output.linesWith("named \"" + std::string(c.name) + "\"").size()) << c.name;
    dialog.close();
}

}  // namespace
}  // namespace vantora
