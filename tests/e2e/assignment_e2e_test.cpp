// The assignment dialogs of the real Keyloom.exe, worked as a user works them: the key
// list, Assignment Type, Add/Edit Command with its file browser, and the confirmation;
// what they leave in the store, byte for byte, and what the keys then start.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>

#include "launcher/launcher_constants.h"
#include "launcher/win32/resource.h"
#include "standins/hotkey-service/hotkey_service_protocol.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;
using vantora::launcher::kCfgKey;
using vantora::launcher::kCmdKey;
using vantora::launcher::kCwdKey;
using vantora::launcher::kDescKey;
using vantora::launcher::kMakerKey;
using vantora::launcher::kOptsKey;
using vantora::launcher::kPrgKey;

constexpr int kPrevious7 = IDC_FORM7_LABEL3 + 1, kNew7 = IDC_FORM7_LABEL3 + 7;  // command; +2 description, +4 directory
const Bytes kEmptied{0, 0, 0};

Bytes stored(const std::string& text) {
    Bytes b(text.begin(), text.end());
    b.push_back(0);
    return b;
}

// The value's bytes; a missing value or one of another type fails the comparison.
Bytes valueOf(const char* path, const char* name) {
    DWORD type = 0;
    Bytes data;
    if (!readValue(HKEY_CURRENT_USER, path, name, &type, &data) || type != REG_SZ) return {'?'};
    return data;
}

HWND awaitWindow(const char* title) {
    HWND w = nullptr;
    EXPECT_TRUE(waitFor([&] { return (w = onlyWindowTitled(title)) != nullptr; }, 10000)) << "no " << title;
    return w;
}

// A modal dialog closed under a nested one is hidden at once and destroyed when its loop ends.
bool gone(HWND w) {
    return waitFor([&] { return !IsWindow(w) || !IsWindowVisible(w); }, 10000);
}

void click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Asked of the control itself: Wine answers GetWindowTextLength of another process's
// window from its caption, which an edit control does not keep.
std::string textOf(HWND dialog, int id) {
    std::string text(static_cast<size_t>(SendDlgItemMessageA(dialog, id, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A left click with the mouse on the main window's first menu item, "&Assignments...".
void clickAssignmentsMenu(HWND main) {
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    SetCursorPos(origin.x + 20, origin.y - GetSystemMetrics(SM_CYMENU) / 2);
    for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        SendInput(1, &in, sizeof in);
        pumpFor(100);
    }
}

int rowOfKey(const std::vector<Row>& rows, const std::string& key) {
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].text == "     " + key || rows[i].text.rfind("     " + key + "     ", 0) == 0) return static_cast<int>(i);
    return -1;
}

class AssignmentE2E : public ::testing::Test {
protected:
    ChildProcess keyloom;
    HWND window = nullptr;

    void SetUp() override {
        killProbes();
        deleteTree(HKEY_CURRENT_USER, kMakerKey);
    }
    void TearDown() override {
        for (const char* t : {"Keyloom Browser", "Key Assignment Confirmation", "Application Explorer",
                              "Add/Edit Command", "Assignment Type", "Function Key Assignments"}) {
            if (HWND w = onlyWindowTitled(t)) {
                PostMessageA(w, WM_CLOSE, 0, 0);
                gone(w);
            }
        }
        if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        if (keyloom.started()) {
            EXPECT_TRUE(keyloom.ended(15000)) << "Keyloom did not end after WM_CLOSE";
        }
        killProbes();
    }
    static void killProbes() { endProcessesNamed({"probe_app.exe", "fn-b.exe", "notepad.exe", "uninstalled.exe"}); }
    void startKeyloom(const std::string& directory = "") { ASSERT_TRUE(window = startedKeyloom(keyloom, directory)); }
    // "&Assignments..." from the keyboard, with the launcher in front.
    HWND openKeyList() {
        SetForegroundWindow(window);
        EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == window && IsWindowEnabled(window); }, 5000));
        pumpFor(500);  // Wine hands the keyboard over a moment after the window comes to the front
        keys({VK_MENU}, 'A');
        return awaitWindow("Function Key Assignments");
    }
    // The key's row chosen with the arrow keys, then "&Edit...": Assignment Type for it.
    HWND editFromKeyList(HWND list, const std::string& key) {
        HWND rows = GetDlgItem(list, IDC_FORM2_LISTVIEW1);
        const int wanted = rowOfKey(rowsOf(rows), key);
        EXPECT_LE(0, wanted) << key << " is not listed";
        SetForegroundWindow(list);
        SendMessageA(list, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(rows), TRUE);
        keys({}, VK_HOME);
        for (int i = 0; i < wanted; ++i) keys({}, VK_DOWN);
        EXPECT_EQ(wanted, SendMessageA(rows, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(GetDlgItem(list, IDC_FORM2_COMMAND2)) != FALSE; }, 5000));
        click(list, IDC_FORM2_COMMAND2);
        HWND form3 = awaitWindow("Assignment Type");
        EXPECT_EQ(key, textOf(form3, IDC_FORM3_LABEL1));
        return form3;
    }
    // Add/Edit Command for the key, reached through the key list.
    HWND openAddEdit(const std::string& key) {
        HWND list = openKeyList();
        if (!list) return nullptr;
        click(editFromKeyList(list, key), IDC_FORM3_COMMAND1);
        HWND form4 = awaitWindow("Add/Edit Command");
        EXPECT_FALSE(IsWindowEnabled(list)) << "the key list takes input behind Add/Edit Command";
        return form4;
    }
    // Cancel, and Esc on the key list that stays open under it.
    static void cancelAddEdit(HWND form4) {
        click(form4, IDC_FORM4_COMMAND2);
        EXPECT_TRUE(gone(form4));
        PostMessageA(onlyWindowTitled("Function Key Assignments"), WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(waitFor([] { return onlyWindowTitled("Function Key Assignments") == nullptr; }, 10000));
    }
    void fill(HWND form4, const std::string& description, const std::string& command, const std::string& directory) {
        SetDlgItemTextA(form4, IDC_FORM4_TEXT1, description.c_str());
        SetDlgItemTextA(form4, IDC_FORM4_TEXT2, command.c_str());
        SetDlgItemTextA(form4, IDC_FORM4_TEXT3, directory.c_str());
    }
    // "&Browse..." of Add/Edit Command, and the file chosen in the dialog a user sees.
    static void browse(HWND form4, const std::string& file) {
        click(form4, IDC_FORM4_COMMAND3);
        HWND browser = awaitWindow("Keyloom Browser");
        ASSERT_TRUE(browser);
        // The file name box is a combo box with an edit of its own.
        HWND box = GetDlgItem(browser, cmb13) ? GetDlgItem(browser, cmb13) : GetDlgItem(browser, edt1);
        ASSERT_TRUE(box) << "no file name box";
        HWND edit = reinterpret_cast<HWND>(SendMessageA(box, CBEM_GETEDITCONTROL, 0, 0));
        SetWindowTextA(edit ? edit : box, file.c_str());
        SetForegroundWindow(browser);
        EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == browser; }, 5000));
        pumpFor(500);  // as for the launcher: the keyboard follows the front window a moment later
        keys({}, VK_RETURN);
        EXPECT_TRUE(gone(browser)) << file;
    }
    static std::string tempFolder() {
        char dir[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, dir);
        return dir;
    }
};

// Fn-B given a program through the key list, then pressed as a user presses it: the
// hotkey service's Fn key (Scroll Lock here) held with B.
TEST_F(AssignmentE2E, KeyList_AssignsFnBDirectly_AndFnPlusBThroughTheHotkeyServiceStartsIt) {
    const std::string folder = tempFolder() + "vantora-fn-b", program = folder + "\\fn-b.exe";
    const std::string log = folder + "\\started.log", command = quoted(program) + " --log " + log + " fn-b";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA(log.c_str());
    ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), program.c_str(), FALSE));
    startKeyloom();
    HWND form4 = openAddEdit("Fn-B");
    ASSERT_TRUE(form4);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(form4, IDC_FORM4_CHECK1)) << "a new key switches to its program";
    fill(form4, "Probe B", command, folder);
    click(form4, IDC_FORM4_COMMAND1);
    ASSERT_TRUE(gone(form4));
    EXPECT_TRUE(waitFor([] { return onlyWindowTitled("Function Key Assignments") == nullptr; }, 10000))
        << "OK closes the key list as well";
    EXPECT_TRUE(IsWindowEnabled(window));

    // Every value this road wrote; the switch key, created for it, holds "0" for the others.
    const struct {
        const char* path;
        const char* name;
        Bytes bytes;
    } values[] = {{kCmdKey, "Fn-B", stored(command)}, {kDescKey, "Fn-B", stored("Probe B")},
                  {kCwdKey, "Fn-B", stored(folder)},  {kOptsKey, "Fn-B", stored("1")},
                  {kOptsKey, "Fn-1", stored("0")}};
    for (const auto& v : values) EXPECT_EQ(v.bytes, valueOf(v.path, v.name)) << v.path << "\\" << v.name;

    ChildProcess service;
    ASSERT_TRUE(service.start(programPath("VHotkey.exe"), "/log " + log + ".service"));
    ASSERT_TRUE(waitFor([] { return FindWindowA(vantora::hotkey::kWindowClass, nullptr) != nullptr; }, 20000));
    pumpFor(300);
    keys({VK_SCROLL}, 'B');
    EXPECT_TRUE(waitFor([&] { return fileLines(log) == std::vector<std::string>{"fn-b"}; }, 20000))
        << "Fn+B did not start the assigned program";
    PostMessageA(FindWindowA(vantora::hotkey::kWindowClass, nullptr), WM_CLOSE, 0, 0);
    EXPECT_TRUE(service.ended(10000));
    killProbes();
    DeleteFileA(program.c_str());
    DeleteFileA(log.c_str());
    DeleteFileA((log + ".service").c_str());
    RemoveDirectoryA(folder.c_str());
}

// A key assigned, edited with confirmation and cleared, through the launcher's own
// dialogs, as a user clicks through them; each write checked byte for byte.
TEST_F(AssignmentE2E, AssignmentDialogs_AssignEditConfirmAndClearAKey) {
    startKeyloom();
    const LPARAM onKeyQ = MAKELPARAM(20 + 8, 71 + 8);
    const auto assignmentType = [&] {
        PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, onKeyQ);
        return awaitWindow("Assignment Type");
    };

    // A new key: Direct..., fields typed, OK: stored at once, never confirmed.
    HWND form3 = assignmentType();
    click(form3, IDC_FORM3_COMMAND1);
    HWND form4 = awaitWindow("Add/Edit Command");
    ASSERT_TRUE(form4);
    EXPECT_TRUE(gone(form3)) << "Add/Edit Command closes Assignment Type";
    fill(form4, "Probe", "probe.exe --first", "C:\\first");
    click(form4, IDC_FORM4_COMMAND1);
    ASSERT_TRUE(gone(form4));
    EXPECT_EQ(stored("probe.exe --first"), valueOf(kCmdKey, "Fn-Q"));
    EXPECT_TRUE(IsWindowEnabled(window));

    // Confirmation switched off and on again from Assignment Type: two bytes each time.
    form3 = assignmentType();
    for (const char* expected : {"0", "1"}) {
        click(form3, IDC_FORM3_CHECK1);
        EXPECT_TRUE(waitFor([&] { return valueOf(kCfgKey, "opts5") == stored(expected); }, 5000)) << expected;
    }

    // Edited: the stored fields come back; a change asks for confirmation, which shows
    // both definitions. Cancel writes nothing, OK applies the new one.
    for (const bool confirmed : {false, true}) {
        if (confirmed) form3 = assignmentType();
        click(form3, IDC_FORM3_COMMAND1);
        form4 = awaitWindow("Add/Edit Command");
        ASSERT_TRUE(form4);
        EXPECT_EQ("probe.exe --first", textOf(form4, IDC_FORM4_TEXT2));
        fill(form4, "Probe 2", "probe.exe --second", "C:\\second");
        click(form4, IDC_FORM4_COMMAND1);
        HWND form7 = awaitWindow("Key Assignment Confirmation");
        ASSERT_TRUE(form7);
        const std::pair<int, const char*> shown[] = {
            {kPrevious7, "probe.exe --first"}, {kPrevious7 + 2, "Probe"},  {kPrevious7 + 4, "C:\\first"},
            {kNew7, "probe.exe --second"},     {kNew7 + 2, "Probe 2"},      {kNew7 + 4, "C:\\second"}};
        for (auto [id, text] : shown) EXPECT_EQ(text, textOf(form7, id)) << id;
        EXPECT_EQ(stored("probe.exe --first"), valueOf(kCmdKey, "Fn-Q")) << "nothing before OK";
        click(form7, confirmed ? IDC_FORM7_COMMAND1 : IDC_FORM7_COMMAND2);
        EXPECT_TRUE(gone(form7) && gone(form4));
        const char* command = confirmed ? "probe.exe --second" : "probe.exe --first";
        const char* description = confirmed ? "Probe 2" : "Probe";
        const char* directory = confirmed ? "C:\\second" : "C:\\first";
        EXPECT_EQ(stored(command), valueOf(kCmdKey, "Fn-Q"));
        EXPECT_EQ(stored(description), valueOf(kDescKey, "Fn-Q"));
        EXPECT_EQ(stored(directory), valueOf(kCwdKey, "Fn-Q"));
        EXPECT_TRUE(IsWindowEnabled(window));
    }

    // Cleared, confirmed: the new definition reads "none"; OK leaves the key unassigned
    // with its description and directory emptied.
    form3 = assignmentType();
    click(form3, IDC_FORM3_COMMAND3);
    HWND form7 = awaitWindow("Key Assignment Confirmation");
    ASSERT_TRUE(form7);
    EXPECT_EQ("none", textOf(form7, kNew7));
    click(form7, IDC_FORM7_COMMAND1);
    EXPECT_TRUE(gone(form7));
    DWORD type = 0;
    Bytes value;
    EXPECT_FALSE(readValue(HKEY_CURRENT_USER, kCmdKey, "Fn-Q", &type, &value));
    EXPECT_EQ(kEmptied, valueOf(kDescKey, "Fn-Q"));
    EXPECT_EQ(kEmptied, valueOf(kCwdKey, "Fn-Q"));
    EXPECT_TRUE(IsWindowEnabled(window));
}

// Fn+B delivered while Add/Edit Command is open for Fn-Q starts Fn-B's program, and
// the dialog still edits Fn-Q: Fn-B's values stay byte for byte as they were.
TEST_F(AssignmentE2E, FnPressOfAnotherKey_WhileAddEditIsOpen_LaunchesIt_AndOkWritesOnlyTheEditedKey) {
    TempFolder folder("vantora-other-key");
    const std::string log = folder.file("started.log");
    const struct {
        const char* path;
        Bytes bytes;
    } fnB[] = {{kCmdKey, stored(quoted(programPath("probe_app.exe")) + " --log " + log + " fn-b")},
               {kDescKey, stored("Bee")},
               {kCwdKey, stored(folder.path)},
               {kOptsKey, stored("1")}};
    for (const auto& v : fnB) writeValue(HKEY_CURRENT_USER, v.path, "Fn-B", REG_SZ, v.bytes);
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-Q", "old.exe");
    writeText(HKEY_CURRENT_USER, kDescKey, "Fn-Q", "Old");
    startKeyloom();
    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20 + 8, 71 + 8));
    HWND form3 = awaitWindow("Assignment Type");
    ASSERT_TRUE(form3);
    click(form3, IDC_FORM3_COMMAND1);
    HWND form4 = awaitWindow("Add/Edit Command");
    ASSERT_TRUE(form4);
    EXPECT_EQ("old.exe", textOf(form4, IDC_FORM4_TEXT2));

    PostMessageA(window, vantora::launcher::FnKeyMessage, vantora::launcher::kFnKeyWParam, 0x30);
    EXPECT_TRUE(waitFor([&] { return fileLines(log) == std::vector<std::string>{"fn-b"}; }, 20000))
        << "Fn+B did not start its own program";
    fill(form4, "New", "new.exe", "C:\\New");
    click(form4, IDC_FORM4_COMMAND1);
    HWND form7 = awaitWindow("Key Assignment Confirmation");
    ASSERT_TRUE(form7);
    EXPECT_EQ("Fn-Q", textOf(form7, IDC_FORM7_LABEL1));
    EXPECT_EQ("old.exe", textOf(form7, kPrevious7));
    click(form7, IDC_FORM7_COMMAND1);
    EXPECT_TRUE(gone(form7));
    EXPECT_EQ(stored("new.exe"), valueOf(kCmdKey, "Fn-Q"));
    EXPECT_EQ(stored("New"), valueOf(kDescKey, "Fn-Q"));
    for (const auto& v : fnB) EXPECT_EQ(v.bytes, valueOf(v.path, "Fn-B")) << v.path;
}

// Add/Edit Command, the Application Explorer and the confirmation each close Assignment
// Type as they load; the main window stays disabled behind each until it closes.
TEST_F(AssignmentE2E, DialogThatClosedTheOneBelow_KeepsTheMainWindowDisabled_UntilItCloses) {
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-Q", "old.exe");
    startKeyloom();
    clickAssignmentsMenu(window);  // the click reaches the menu while nothing is open
    HWND list = awaitWindow("Function Key Assignments");
    ASSERT_TRUE(list) << "a click on the menu bar does not reach the menu";
    PostMessageA(list, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(list); }, 10000));
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(window) != FALSE; }, 5000));

    const std::pair<int, const char*> roads[] = {{IDC_FORM3_COMMAND1, "Add/Edit Command"},
                                                 {IDC_FORM3_COMMAND2, "Application Explorer"},
                                                 {IDC_FORM3_COMMAND3, "Key Assignment Confirmation"}};
    for (auto [button, title] : roads) {
        PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20 + 8, 71 + 8));
        HWND form3 = awaitWindow("Assignment Type");
        ASSERT_TRUE(form3) << title;
        click(form3, button);
        HWND dialog = awaitWindow(title);
        ASSERT_TRUE(dialog) << title;
        EXPECT_TRUE(gone(form3)) << title;
        pumpFor(300);
        EXPECT_FALSE(IsWindowEnabled(window)) << title;
        clickAssignmentsMenu(window);
        pumpFor(700);
        if (HWND opened = onlyWindowTitled("Function Key Assignments")) {
            ADD_FAILURE() << "the key list opened behind " << title;
            PostMessageA(opened, WM_COMMAND, IDCANCEL, 0);
            gone(opened);
        }
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(gone(dialog)) << title;
        EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(window) != FALSE; }, 5000)) << title << ": still disabled";
    }
    EXPECT_EQ(stored("old.exe"), valueOf(kCmdKey, "Fn-Q")) << "nothing was written";
}

// "&Browse..." through the file dialog a user sees: a program fills the fields from its
// own path, a shortcut from the program it points to.
TEST_F(AssignmentE2E, Browse_FillsTheFieldsFromAProgram_OrFromTheTargetOfAShortcut) {
    TempFolder folder("vantora-browse");
    const std::string target = folder.file("probe_app.exe"), shortcut = folder.file("Probe Link.lnk");
    ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), target.c_str(), FALSE));
    ASSERT_TRUE(writeLink(shortcut, linkTo(target)));
    startKeyloom();
    const struct {
        std::string chosen;
        const char* description;
    } cases[] = {{target, "probe_app.exe"}, {shortcut, "probe_app.exe"}};
    for (const auto& c : cases) {
        HWND form4 = openAddEdit("Fn-C");
        ASSERT_TRUE(form4);
        browse(form4, c.chosen);
        EXPECT_TRUE(waitFor([&] { return textOf(form4, IDC_FORM4_TEXT2) == target; }, 5000)) << c.chosen;
        EXPECT_EQ(c.description, textOf(form4, IDC_FORM4_TEXT1)) << c.chosen;
        EXPECT_EQ(folder.path, textOf(form4, IDC_FORM4_TEXT3)) << c.chosen;
        cancelAddEdit(form4);
    }
}

// Programs planted where Keyloom was started from and where the user then browsed to: a
// notepad.exe, and one named as a program that is found nowhere else (since uninstalled).
// Keys that name them bare start the system's notepad and nothing else, on either road,
// since Keyloom's current directory is its own folder from its start on. A key that
// starts the probe by its full name is pressed last: once it ran, the presses before it
// were handled.
TEST_F(AssignmentE2E, StartedAndBrowsedInAFolderWithPlantedPrograms_BareNamesNeverStartThem) {
    TempFolder folder("vantora-browsed");
    const std::string planted = folder.file("notepad.exe"), log = folder.file("started.log");
    for (const std::string& copy : {planted, folder.file("uninstalled.exe")})
        ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), copy.c_str(), FALSE)) << copy;
    SetEnvironmentVariableA("VANTORA_PROBE_LOG", log.c_str());
    for (auto [key, command, switching] : {std::tuple{"Fn-A", "notepad.exe x", "1"}, std::tuple{"Fn-B", "uninstalled.exe", "0"}}) {
        writeText(HKEY_CURRENT_USER, kCmdKey, key, command);
        writeText(HKEY_CURRENT_USER, kOptsKey, key, switching);
    }
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-Q", quoted(programPath("probe_app.exe")));
    startKeyloom(folder.path);
    HWND form4 = openAddEdit("Fn-C");
    ASSERT_TRUE(form4);
    browse(form4, planted);
    EXPECT_TRUE(waitFor([&] { return textOf(form4, IDC_FORM4_TEXT2) == planted; }, 5000));
    cancelAddEdit(form4);
    for (LPARAM scan : {0x1E, 0x30, 0x10})  // Fn-A, Fn-B, Fn-Q
        PostMessageA(window, vantora::launcher::FnKeyMessage, vantora::launcher::kFnKeyWParam, scan);
    EXPECT_TRUE(waitFor([&] { return !fileLines(log).empty(); }, 20000)) << "not even the probe started";
    pumpFor(1000);
    EXPECT_EQ(std::vector<std::string>{"probe_app.exe"}, fileLines(log));
    SetEnvironmentVariableA("VANTORA_PROBE_LOG", nullptr);
    killProbes();  // before the folder goes
}

// Text as long as a user may type, and values that another program left in the store:
// the dialogs show and keep what the store's rules make of them, and none goes down.
TEST_F(AssignmentE2E, LongTextsAndForeignValues_AreKeptWhole_OrReadAsAbsent) {
    const std::string longDescription(1000, 'd'), longCommand = "C:\\" + std::string(996, 'c'),
                      longDirectory = "D:\\" + std::string(997, 'w');
    const auto dword = [](DWORD v) { return Bytes{BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}; };
    const struct {
        const char* key;
        const char* path;
        DWORD type;
        Bytes data;
        Row row;  // as the key list shows it
    } foreign[] = {
        {"Fn-D", kDescKey, REG_SZ, Bytes{'N', 'o', 't', 'e'}, {"     Fn-D     Note", 0}},  // no terminator
        {"Fn-E", kDescKey, REG_DWORD, dword(7), {"     Fn-E", 0}},
        {"Fn-F", kDescKey, REG_SZ, Bytes(32769, 'x'), {"     Fn-F", 0}},  // over the store's longest string
        {"Fn-G", kCmdKey, REG_BINARY, Bytes{'@', 'C', ':', 0}, {"     Fn-G", 0}},
        {"Fn-H", kCmdKey, REG_EXPAND_SZ, stored("@C:\\x"), {"     Fn-H", 0}},
    };
    for (const auto& f : foreign) writeValue(HKEY_CURRENT_USER, f.path, f.key, f.type, f.data);
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-D", "probe.exe");
    startKeyloom();

    HWND form4 = openAddEdit("Fn-C");
    ASSERT_TRUE(form4);
    fill(form4, longDescription, longCommand, longDirectory);
    click(form4, IDC_FORM4_COMMAND1);
    ASSERT_TRUE(gone(form4));
    EXPECT_EQ(stored(longCommand), valueOf(kCmdKey, "Fn-C"));
    EXPECT_EQ(stored(longDescription), valueOf(kDescKey, "Fn-C"));
    EXPECT_EQ(stored(longDirectory), valueOf(kCwdKey, "Fn-C"));

    HWND list = openKeyList();
    ASSERT_TRUE(list);
    const auto rows = rowsOf(GetDlgItem(list, IDC_FORM2_LISTVIEW1));
    ASSERT_EQ(24u, rows.size());
    EXPECT_EQ((Row{"     Fn-C     " + longDescription, 0}), rows[rowOfKey(rows, "Fn-C")]);
    for (const auto& f : foreign) {
        const int i = rowOfKey(rows, f.key);
        ASSERT_LE(0, i) << f.key;
        EXPECT_EQ(f.row, rows[i]) << f.key;
    }

    // Opened for editing, the long texts come back whole; the confirmation shows them whole.
    click(editFromKeyList(list, "Fn-C"), IDC_FORM3_COMMAND1);
    form4 = awaitWindow("Add/Edit Command");
    ASSERT_TRUE(form4);
    EXPECT_EQ(longDescription, textOf(form4, IDC_FORM4_TEXT1));
    EXPECT_EQ(longCommand, textOf(form4, IDC_FORM4_TEXT2));
    EXPECT_EQ(longDirectory, textOf(form4, IDC_FORM4_TEXT3));
    SetDlgItemTextA(form4, IDC_FORM4_TEXT2, (longCommand + "!").c_str());
    click(form4, IDC_FORM4_COMMAND1);
    HWND form7 = awaitWindow("Key Assignment Confirmation");
    ASSERT_TRUE(form7);
    EXPECT_EQ(longCommand, textOf(form7, kPrevious7));
    EXPECT_EQ(longCommand + "!", textOf(form7, kNew7));
    EXPECT_EQ(longDirectory, textOf(form7, kNew7 + 4));
    click(form7, IDC_FORM7_COMMAND1);
    EXPECT_TRUE(gone(form7));
    EXPECT_EQ(stored(longCommand + "!"), valueOf(kCmdKey, "Fn-C"));

    // A key whose stored values are foreign opens with what the store can read of them.
    const struct {
        const char* key;
        const char* description;
        const char* command;
    } edits[] = {{"Fn-D", "Note", "probe.exe"}, {"Fn-G", "", ""}};
    for (const auto& e : edits) {
        form4 = openAddEdit(e.key);
        ASSERT_TRUE(form4) << e.key;
        EXPECT_EQ(e.description, textOf(form4, IDC_FORM4_TEXT1)) << e.key;
        EXPECT_EQ(e.command, textOf(form4, IDC_FORM4_TEXT2)) << e.key;
        cancelAddEdit(form4);
    }
}

// The key list, as a keyboard user works it: "&Assignments..." opens it, the arrows
// choose a key, "&Edit..." opens Assignment Type for that key, and the expand switch is
// kept for the next opening.
TEST_F(AssignmentE2E, KeyList_ByKeyboard_ChoosesAKeyToEdit_AndKeepsTheExpandSwitch) {
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-2", "@C:\\Lists");
    writeText(HKEY_CURRENT_USER, kDescKey, "Fn-2", "Lists");
    for (const char* entry : {"Notes", "Readme.txt"}) {
        const std::string path = std::string(kPrgKey) + "\\Fn-2\\" + entry;
        writeText(HKEY_CURRENT_USER, path.c_str(), entry, std::string("C:\\Lists\\") + entry);
    }
    writeText(HKEY_CURRENT_USER, kCmdKey, "Fn-A", "notepad.exe");
    writeText(HKEY_CURRENT_USER, kDescKey, "Fn-A", "Notepad");
    startKeyloom();
    HWND list = openKeyList();
    ASSERT_TRUE(list);
    HWND rows = GetDlgItem(list, IDC_FORM2_LISTVIEW1);
    EXPECT_EQ(24, SendMessageA(rows, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(list, IDC_FORM2_COMMAND2)));
    HWND form3 = editFromKeyList(list, "Fn-2");
    ASSERT_TRUE(form3);
    PostMessageA(form3, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form3); }, 10000));

    PostMessageA(GetDlgItem(list, IDC_FORM2_CHECK1), BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor([&] { return SendMessageA(rows, LVM_GETITEMCOUNT, 0, 0) == 26; }, 5000)) << "two entry rows";
    EXPECT_EQ(stored("1"), valueOf(kCfgKey, "fIcon"));
    PostMessageA(list, WM_COMMAND, IDCANCEL, 0);  // Esc
    ASSERT_TRUE(waitFor([&] { return !IsWindow(list); }, 10000));
    EXPECT_TRUE(IsWindowEnabled(window));
    list = openKeyList();
    ASSERT_TRUE(list);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(list, IDC_FORM2_CHECK1));
    const auto shown = rowsOf(GetDlgItem(list, IDC_FORM2_LISTVIEW1));
    ASSERT_EQ(26u, shown.size());
    const int fn2 = rowOfKey(shown, "Fn-2");
    ASSERT_LE(0, fn2);
    EXPECT_EQ((std::vector<Row>{{"     Fn-2     Lists", 1},
                                {std::string(25, ' ') + "Notes", 2},
                                {std::string(25, ' ') + "Readme.txt", 2}}),
              std::vector<Row>(shown.begin() + fn2, shown.begin() + fn2 + 3));

    // For the README's picture: the list stays up until the picture is taken.
    if (const char* signal = std::getenv("VANTORA_FORM2_PICTURE")) {
        RECT r{};
        GetWindowRect(list, &r);
        std::ofstream(signal) << (r.right - r.left) << 'x' << (r.bottom - r.top) << '+' << r.left << '+' << r.top;
        waitFor([&] { return GetFileAttributesA(signal) == INVALID_FILE_ATTRIBUTES; }, 30000);
    }
    PostMessageA(list, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace
