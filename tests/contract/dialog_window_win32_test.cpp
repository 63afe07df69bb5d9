// The generic dialog view on real windows: names reach the template's controls, user
// actions become handler calls once each, and values set by the logic raise the same
// Click a user's action would.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/win32/dialog_window.h"
#include "common/win32/owners.h"

namespace vantora {
namespace {

constexpr int kTemplate = 101;

void CALLBACK endDialogTimer(HWND w, UINT, UINT_PTR, DWORD) { EndDialog(w, 0); }

class DialogWindowTest : public ::testing::Test {
protected:
    win32::DialogWindow dialog{GetModuleHandleA(nullptr), kTemplate, "frmProbe",
                               {{"chkCheck", 1001, "CheckBox"},
                                {"comList", 1002, "ComboBox"},
                                {"cmdGo", 1003, "CommandButton"},
                                {"Label2", 1004, "Label"},
                                {"txtName", 1005, "TextBox"}}};
    std::vector<std::string> events;

    void record(const char* control, ui::Event e, const char* what) {
        dialog.on(control, e, [this, what](int argument) {
            events.push_back(std::string(what) + (argument ? ":" + std::to_string(argument) : ""));
        });
    }
    HWND control(int id) const { return GetDlgItem(dialog.hwnd(), id); }
    // Pumps this thread's messages through the dialog manager, as the program's loop does.
    void pump() {
        MSG msg;
        const DWORD deadline = GetTickCount() + 500;
        while (GetTickCount() < deadline) {
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                Sleep(10);
                continue;
            }
            if (dialog.hwnd() && IsDialogMessageA(dialog.hwnd(), &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
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

TEST_F(DialogWindowTest, CheckBox_SetValueAndUserClick_RaiseOneClickEach) {
    ASSERT_TRUE(dialog.createModeless(nullptr));
    record("chkCheck", ui::Event::Click, "click");
    dialog.setValue("chkCheck", ui::kChecked);
    dialog.setValue("chkCheck", ui::kChecked);
    EXPECT_EQ(SendMessageA(control(1001), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageA(control(1001), BM_CLICK, 0, 0);  // the user's click unchecks it
    EXPECT_EQ(dialog.value("chkCheck"), ui::kUnchecked);
    EXPECT_EQ(events, (std::vector<std::string>{"click", "click"}));
}

TEST_F(DialogWindowTest, ComboBox_ItemsAndSelection) {
    ASSERT_TRUE(dialog.createModeless(nullptr));
    record("comList", ui::Event::Click, "click");
    for (const char* item : {"1", "2", "3", "4", "5"}) dialog.addItem("comList", item);
    EXPECT_EQ(dialog.listCount("comList"), 5);
    EXPECT_EQ(dialog.listItem("comList", 4), "5");
    EXPECT_EQ(dialog.listItem("comList", 5), "");
    EXPECT_EQ(dialog.listIndex("comList"), -1);
    dialog.setListIndex("comList", 7);  // not accepted
    EXPECT_EQ(dialog.listIndex("comList"), -1);
    dialog.setListIndex("comList", 0);
    EXPECT_EQ(SendMessageA(control(1002), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(events, std::vector<std::string>{"click"});
    dialog.clearList("comList");
    EXPECT_EQ(dialog.listCount("comList"), 0);
}

TEST_F(DialogWindowTest, TextsEnabledVisibleAndGeometry_ReachTheRealControls) {
    ASSERT_TRUE(dialog.createModeless(nullptr));
    dialog.setCaption("frmProbe", "VANTORA Probe");
    dialog.setCaption("txtName", std::string(300, 'x'));
    char text[64] = {};
    GetWindowTextA(dialog.hwnd(), text, sizeof text);
    EXPECT_STREQ(text, "VANTORA Probe");
    EXPECT_EQ(dialog.caption("txtName"), std::string(300, 'x'));
    EXPECT_EQ(dialog.caption("nothing"), "");

    dialog.setEnabled("cmdGo", false);
    EXPECT_FALSE(IsWindowEnabled(control(1003)));
    EXPECT_FALSE(dialog.enabled("cmdGo"));
    dialog.setVisible("Label2", false);
    EXPECT_FALSE(dialog.isVisible("Label2"));
    EXPECT_EQ(dialog.className("Label2"), "Label");

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

TEST_F(DialogWindowTest, EscapeReachesTheFormAsAKey_CloseBoxRaisesUnloadAndCloses) {
    ASSERT_TRUE(dialog.createModeless(nullptr));
    record("frmProbe", ui::Event::KeyPress, "key");
    record("frmProbe", ui::Event::Unload, "unload");
    dialog.show();
    SetFocus(control(1001));
    PostMessageA(control(1001), WM_KEYDOWN, VK_ESCAPE, 0);
    pump();
    EXPECT_EQ(events, std::vector<std::string>{"key:27"});
    HWND window = dialog.hwnd();
    SendMessageA(window, WM_CLOSE, 0, 0);
    dialog.close();  // a second close is nothing
    EXPECT_EQ(events, (std::vector<std::string>{"key:27", "unload"}));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DialogWindowTest, Modal_ReturnsWhenAHandlerCloses) {
    dialog.onLoad = [&] {
        PostMessageA(dialog.hwnd(), WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control(1003)));
        // A dialog that never closes must not hang the run.
        SetTimer(dialog.hwnd(), 1, 5000, &endDialogTimer);
    };
    dialog.on("cmdGo", ui::Event::Click, [&] { events.push_back("go"), dialog.close(); });
    const DWORD start = GetTickCount();
    dialog.showModal(nullptr);
    EXPECT_LT(GetTickCount() - start, 4000u);
    EXPECT_EQ(events, std::vector<std::string>{"go"});
    EXPECT_FALSE(dialog.isOpen());
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

}  // namespace
}  // namespace vantora
