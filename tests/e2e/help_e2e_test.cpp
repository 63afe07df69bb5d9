// The help files shown by Wine's help viewer, reached as a user reaches them: F1 and the
// Help buttons in every launcher window, its menus and tray, F1 on a highlighted menu
// item, and What's This clicks on MERIDALE's controls. Each page is read from the
// viewer's own text control; the viewer is closed after each one.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "launcher/launcher_constants.h"
#include "launcher/win32/resource.h"
#include "tests/e2e/meridale_e2e_support.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;
using namespace vantora::launcher;

// The page the help viewer shows, heading first; empty while there is no viewer.
BOOL CALLBACK readPage(HWND child, LPARAM page) {
    char name[32] = {}, text[4096] = {};
    GetClassNameA(child, name, sizeof name);
    if (std::string(name).rfind("RichEdit", 0) != 0) return TRUE;
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &unused);
    *reinterpret_cast<std::string*>(page) = text;
    return FALSE;
}

std::string shownPage() {
    std::string page;
    HWND viewer = FindWindowA("MS_WINHELP", nullptr);
    if (viewer && IsWindowVisible(viewer)) EnumChildWindows(viewer, readPage, reinterpret_cast<LPARAM>(&page));
    return page;
}

void closeViewer() {
    for (HWND w = FindWindowA("MS_WINHELP", nullptr); w; w = FindWindowA("MS_WINHELP", nullptr)) {
        PostMessageA(w, WM_CLOSE, 0, 0);
        if (!waitFor([&] { return !IsWindow(w); }, 10000)) {
            ADD_FAILURE() << "the help viewer stays open";
            return;
        }
    }
}

// The viewer shows a page whose heading ends with `title` (Halibut numbers its
// headings) and that holds `text`; it is closed afterwards.
void expectPage(const std::string& title, const std::string& road, const std::string& text = {}) {
    std::string page;
    const bool shown = waitFor([&] {
        const std::string heading = (page = shownPage()).substr(0, page.find_first_of("\r\n"));
        return heading.ends_with(title) && page.find(text) != std::string::npos;
    }, 20000);
    EXPECT_TRUE(shown) << road << ": the viewer shows \"" << page.substr(0, 200) << '"';
    closeViewer();
}

// The window in front, with the keyboard: Wine hands it over a moment after.
void toFront(HWND w) {
    SetForegroundWindow(w);
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == w; }, 5000)) << "the window does not come to the front";
    pumpFor(400);
}

HWND awaitWindow(const char* title) {
    HWND w = nullptr;
    EXPECT_TRUE(waitFor([&] { return (w = onlyWindowTitled(title)) != nullptr; }, 10000)) << "no " << title;
    return w;
}

void click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

class HelpE2E : public ::testing::Test {
protected:
    ChildProcess keyloom;
    HWND window = nullptr;

    void SetUp() override {
        closeViewer();
        deleteTree(HKEY_CURRENT_USER, kMakerKey);
    }
    void TearDown() override {
        closeViewer();
        for (const char* t : {"Application Explorer", "Key Assignment Confirmation", "Add/Edit Command",
                              "Assignment Type", "Function Key Assignments", "About Keyloom"})
            if (HWND w = onlyWindowTitled(t)) PostMessageA(w, WM_CLOSE, 0, 0);
        if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        if (keyloom.started()) {
            EXPECT_TRUE(keyloom.ended(15000)) << "Keyloom did not end after WM_CLOSE";
        }
        deleteTree(HKEY_CURRENT_USER, kMakerKey);
    }
    // F1 in the dialog, then its Help button (none: F1 only); the same page both times.
    void f1AndHelpButton(HWND dialog, int helpButton, const char* title) {
        toFront(dialog);
        keys({}, VK_F1, 200);
        expectPage(title, std::string(title) + ", F1");
        if (!helpButton) return;
        click(dialog, helpButton);
        expectPage(title, std::string(title) + ", its Help button");
    }
};

TEST_F(HelpE2E, Keyloom_EveryWindowMenuAndTheTray_OpenTheirTopics) {
    ASSERT_TRUE(writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-A", "notepad.exe"));
    ASSERT_TRUE(window = startedKeyloom(keyloom));

    toFront(window);
    keys({}, VK_F1, 200);
    expectPage("The Keyloom window", "main window, F1", "notification area");
    toFront(window);
    keys({VK_MENU}, 'H', 200);
    keys({}, 'I', 200);
    expectPage("The Keyloom window", "Help, Index");
    PostMessageA(window, TrayCallbackMessage, kTrayIconId, WM_RBUTTONUP);
    pumpFor(800);
    keys({}, VK_UP, 200);  // the menu's last item, "Open Keyloom Help"
    keys({}, VK_RETURN, 200);
    expectPage("The Keyloom window", "tray, Open Keyloom Help");
    toFront(window);
    keys({VK_MENU}, 'O', 200);  // the Options menu opens on its first item, "Always On Top"
    keys({}, VK_F1, 200);
    expectPage("Always On Top", "F1 on the highlighted Always On Top");
    toFront(window);
    keys({}, VK_ESCAPE, 200);
    keys({}, VK_ESCAPE, 200);
    EXPECT_TRUE(readText(HKEY_CURRENT_USER, kCfgKey, "opts1") == "0") << "F1 on the item does not choose it";

    // The dialogs, one opening the next.
    toFront(window);
    keys({VK_MENU}, 'A', 200);
    HWND list = awaitWindow("Function Key Assignments");
    ASSERT_TRUE(list);
    f1AndHelpButton(list, IDC_FORM2_COMMAND3, "Function Key Assignments");
    click(list, IDC_FORM2_COMMAND1);
    ASSERT_TRUE(waitFor([] { return onlyWindowTitled("Function Key Assignments") == nullptr; }, 10000));

    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(28 + 8, 96 + 8));  // Fn-A
    HWND form3 = awaitWindow("Assignment Type");
    ASSERT_TRUE(form3);
    f1AndHelpButton(form3, IDC_FORM3_COMMAND5, "Assignment Type");
    click(form3, IDC_FORM3_COMMAND1);
    HWND form4 = awaitWindow("Add/Edit Command");
    ASSERT_TRUE(form4);
    f1AndHelpButton(form4, IDC_FORM4_COMMAND5, "Add/Edit Command");
    click(form4, IDC_FORM4_COMMAND4);
    HWND explorer = awaitWindow("Application Explorer");
    ASSERT_TRUE(explorer);
    f1AndHelpButton(explorer, 0, "Application Explorer");
    click(explorer, IDC_FORM6_COMMAND2);
    ASSERT_TRUE(waitFor([] { return onlyWindowTitled("Application Explorer") == nullptr; }, 10000));
    SetDlgItemTextA(form4, IDC_FORM4_TEXT2, "wordpad.exe");
    click(form4, IDC_FORM4_COMMAND1);  // a changed assigned key: confirmation first
    HWND form7 = awaitWindow("Key Assignment Confirmation");
    ASSERT_TRUE(form7);
    f1AndHelpButton(form7, IDC_FORM7_COMMAND3, "Key Assignment Confirmation");
    click(form7, IDC_FORM7_COMMAND2);
    ASSERT_TRUE(waitFor([] { return onlyWindowTitled("Key Assignment Confirmation") == nullptr; }, 10000));

    toFront(window);
    keys({VK_MENU}, 'H', 200);
    keys({}, 'A', 200);
    HWND about = awaitWindow("About Keyloom");
    ASSERT_TRUE(about);
    f1AndHelpButton(about, 0, "The Keyloom window");
}

class MeridaleHelpE2E : public meridale::MeridaleE2E {
protected:
    // The dialog's What's This button, then a click on the control: as a user asks
    // what a control is for.
    void whatsThis(int control) {
        toFront(dialog);
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
        pumpFor(300);
        RECT r;
        GetWindowRect(GetDlgItem(dialog, control), &r);
        // Moved and clicked in one stream of input, so that the click lands where the
        // pointer was sent.
        const LONG x = MulDiv((r.left + r.right) / 2, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        const LONG y = MulDiv((r.top + r.bottom) / 2, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
        for (DWORD flag : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
            INPUT in{};
            in.type = INPUT_MOUSE;
            in.mi.dx = x;
            in.mi.dy = y;
            in.mi.dwFlags = flag | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            SendInput(1, &in, sizeof in);
            pumpFor(60);
        }
    }
    void TearDown() override {
        closeViewer();
        MeridaleE2E::TearDown();
    }
};

TEST_F(MeridaleHelpE2E, WhatsThis_ShowsEachControlsText_AndTheDialogItsOwnTopic) {
    startService();
    startDialog(meridale, &dialog);
    RECT was{}, now{};  // the dialog settles at its place before it is clicked
    ASSERT_TRUE(waitFor([&] {
        const bool still = GetWindowRect(dialog, &now) && EqualRect(&was, &now);
        was = now;
        pumpFor(200);
        return still;
    }, 10000));
    const struct {
        int control;
        const char* title;
        const char* text;
    } cases[] = {
        {IDC_CHKSTICKYKEY, "Use Fn-StickyKey", "Turns Fn-StickyKey on or off."},
        {IDC_CANCEL, "Cancel", "Closes the dialog without changing any setting"},
        {IDC_LABEL1, "Fn-StickyKey Settings", "The settings are kept in the registry"},  // no topic of its own
    };
    for (const auto& c : cases) {
        whatsThis(c.control);
        expectPage(c.title, std::string("What's This on ") + c.title, c.text);
    }
    EXPECT_TRUE(IsWindow(dialog)) << "Cancel was only asked about, not pressed";
}

}  // namespace
