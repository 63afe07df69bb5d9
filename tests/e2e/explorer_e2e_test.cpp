// The Application Explorer of the real Keyloom.exe over the prefix's own Start menu,
// filled by the test: a folder in both Programs folders with shortcuts, a text file of
// the same name in each and a hidden file. A popup list made from it, shown by Fn+X, and
// a shortcut chosen for Add/Edit Command; a click on the folder already chosen; links
// that loop and a folder of more files than the list shows.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "launcher/launcher_constants.h"
#include "launcher/win32/resource.h"
#include "tests/e2e/win32_test_support.h"

namespace {

using namespace vantora::testing;
using vantora::launcher::FnKeyMessage;
using vantora::launcher::kCmdKey;
using vantora::launcher::kDescKey;
using vantora::launcher::kFnKeyWParam;
using vantora::launcher::kMakerKey;
using vantora::launcher::kPrgKey;

constexpr char kFolder[] = "Vantora Explorer Test";
constexpr LPARAM kScanX = 0x2D;
constexpr LPARAM kOnKeyX = MAKELPARAM(64 + 8, 123 + 8);  // inside the X key's label

std::string shellFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

HWND awaitWindow(const char* title) {
    HWND w = nullptr;
    EXPECT_TRUE(waitFor([&] { return (w = onlyWindowTitled(title)) != nullptr; }, 10000)) << "no " << title;
    return w;
}

bool gone(HWND w) { return waitFor([&] { return !IsWindow(w) || !IsWindowVisible(w); }, 10000); }

void click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string textOf(HWND dialog, int id) {
    std::string text(static_cast<size_t>(SendDlgItemMessageA(dialog, id, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(GetDlgItemTextA(dialog, id, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A key as the control's keyboard user presses it; the dialog's loop hands arrows on.
void press(HWND control, WORD vk) {
    PostMessageA(control, WM_KEYDOWN, vk, 1);
    PostMessageA(control, WM_KEYUP, vk, 0xC0000001);
    pumpFor(100);
}

std::set<std::string> texts(const std::vector<Row>& rows) {
    std::set<std::string> s;
    for (const Row& r : rows) s.insert(r.text);
    return s;
}

HTREEITEM nodeAt(HWND tree, HTREEITEM from, WPARAM relation) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
}

// A user's left click on the node's text, as the mouse gives it.
void clickNode(HWND tree, HTREEITEM item) {
    RemoteBuffer remote(tree, sizeof(RECT));
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the rectangle's first field names the node
    ASSERT_TRUE(remote.put(0, &r, sizeof r));
    ASSERT_TRUE(SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.at)));
    ASSERT_TRUE(remote.get(0, &r, sizeof r));
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tree, &at);
    const DWORD x = static_cast<DWORD>(at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
    const DWORD y = static_cast<DWORD>(at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    for (DWORD button : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        mouse_event(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | button, x, y, 0, 0);
        pumpFor(100);
    }
    pumpFor(200);
}

// Runs a program of the Unix side from a Windows folder: Wine starts what is no
// Windows program as a Unix process in the folder's Unix counterpart.
bool runUnix(const std::string& commandLine, const std::string& directory) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION info{};
    std::string line = commandLine;
    const std::string program = "Z:\\bin\\" + commandLine.substr(0, commandLine.find(' '));
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &si, &info))
        return false;
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
    return true;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int indexOf(const std::vector<std::string>& all, const std::string& text) {
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i] == text) return static_cast<int>(i);
    return -1;
}

class ExplorerE2E : public ::testing::Test {
protected:
    ChildProcess keyloom;
    HWND window = nullptr;
    std::string common = shellFolder(CSIDL_COMMON_PROGRAMS) + "\\" + kFolder;
    std::string mine = shellFolder(CSIDL_PROGRAMS) + "\\" + kFolder;
    TempFolder programs{"vantora-explorer"};
    std::string probe = programs.file("explorer_probe.exe"), log = programs.file("started.log");
    std::vector<std::string> made, madeFolders, madeLinks;

    void SetUp() override {
        endProcessesNamed({"explorer_probe.exe"});
        deleteTree(HKEY_CURRENT_USER, kMakerKey);
        ASSERT_TRUE(CopyFileA(programPath("probe_app.exe").c_str(), probe.c_str(), FALSE));
        for (const std::string& folder : {common, mine})  // one left by a run that ended early will do
            ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) << folder;
        Link shared = linkTo(probe), own = linkTo(probe);
        shared.arguments = "--log " + log + " shared";
        own.arguments = "--log " + log + " own";
        ASSERT_TRUE(writeLink(made.emplace_back(common + "\\Probe.lnk"), shared));
        ASSERT_TRUE(writeLink(made.emplace_back(mine + "\\Own Probe.lnk"), own));
        for (const std::string& text : {common + "\\Readme.txt", mine + "\\Readme.txt", common + "\\Secret.txt"})
            std::ofstream(made.emplace_back(text)) << "text\n";
        SetFileAttributesA((common + "\\Secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    }
    void TearDown() override {
        for (const char* t : {"Application Explorer", "Key Assignment Confirmation", "Add/Edit Command", "Assignment Type"})
            if (HWND w = onlyWindowTitled(t)) {
                PostMessageA(w, WM_CLOSE, 0, 0);
                gone(w);
            }
        if (window && IsWindow(window)) PostMessageA(window, WM_CLOSE, 0, 0);
        if (keyloom.started()) {
            EXPECT_TRUE(keyloom.ended(15000)) << "Keyloom did not end after WM_CLOSE";
        }
        endProcessesNamed({"explorer_probe.exe"});
        SetFileAttributesA((common + "\\Secret.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        for (const std::string& link : madeLinks) {
            const auto slash = link.rfind('\\');
            runUnix("rm -f " + link.substr(slash + 1), link.substr(0, slash));
            EXPECT_TRUE(waitFor([&] { return !exists(link); }, 5000)) << link << " is left";
        }
        for (const std::string& file : made) DeleteFileA(file.c_str());
        for (const std::string& folder : madeFolders) RemoveDirectoryA(folder.c_str());
        DeleteFileA(probe.c_str());
        DeleteFileA(log.c_str());
        for (const std::string& folder : {common, mine}) RemoveDirectoryA(folder.c_str());
    }

    // A symbolic link to `target` (relative to the link's folder), which Wine reports as
    // a reparse point, as Windows does a junction.
    void makeLink(const std::string& link, const char* target) {
        const auto slash = link.rfind('\\');
        madeLinks.push_back(link);
        ASSERT_TRUE(runUnix("ln -s " + std::string(target) + " " + link.substr(slash + 1), link.substr(0, slash)));
        ASSERT_TRUE(waitFor([&] { return exists(link); }, 5000)) << "no link " << link;
        ASSERT_TRUE(GetFileAttributesA(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) << link;
    }
    // The explorer opened as Add/Edit Command's "&Application..." opens it.
    HWND applicationExplorer() {
        HWND form3 = assignmentType();
        if (!form3) return nullptr;
        click(form3, IDC_FORM3_COMMAND1);
        HWND form4 = awaitWindow("Add/Edit Command");
        if (!form4) return nullptr;
        click(form4, IDC_FORM4_COMMAND4);
        return awaitWindow("Application Explorer");
    }

    // Assignment Type for Fn-X, from a right click on its key.
    HWND assignmentType() {
        PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, kOnKeyX);
        return awaitWindow("Assignment Type");
    }
    // The explorer choosing Fn-X's popup folder, from Assignment Type; that dialog's
    // window in `form3`.
    HWND popupExplorer(HWND* form3 = nullptr) {
        HWND type = assignmentType();
        if (form3) *form3 = type;
        if (!type) return nullptr;
        click(type, IDC_FORM3_COMMAND2);
        return awaitWindow("Application Explorer");
    }
    // The test's folder chosen in the tree from the keyboard: Home, then down to it.
    // Returns the explorer's list of files once it shows the folder's rows.
    HWND chooseFolder(HWND explorer, size_t rows) {
        HWND tree = GetDlgItem(explorer, IDC_FORM6_TREEVIEW1), list = GetDlgItem(explorer, IDC_FORM6_LISTVIEW1);
        const std::vector<std::string> top = topNodes(tree);
        EXPECT_EQ(1, std::count(top.begin(), top.end(), std::string(kFolder))) << "the folder of both places, once";
        const int wanted = indexOf(top, kFolder);
        press(tree, VK_HOME);
        for (int i = 0; i < wanted; ++i) press(tree, VK_DOWN);
        EXPECT_TRUE(waitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == static_cast<LRESULT>(rows); }, 10000))
            << "the folder's files are not listed";
        return list;
    }
};

// A folder of both Programs folders becomes Fn-X's popup list; Fn+X shows it and starts
// what is chosen from it.
TEST_F(ExplorerE2E, PopupMode_TheMergedFolderBecomesFnXsPopupList) {
    ASSERT_TRUE(window = startedKeyloom(keyloom));
    HWND form3 = nullptr;
    HWND explorer = popupExplorer(&form3);
    ASSERT_TRUE(form3);
    ASSERT_TRUE(explorer);
    EXPECT_TRUE(gone(form3)) << "the explorer closes Assignment Type";
    EXPECT_EQ("Fn-X", textOf(explorer, IDC_FORM6_LABEL3));

    HWND list = chooseFolder(explorer, 3);
    const std::vector<Row> rows = rowsOf(list);
    EXPECT_EQ((std::set<std::string>{"Probe", "Readme", "Own Probe"}), texts(rows)) << "hidden skipped, Readme once";
    for (const Row& r : rows) EXPECT_LE(0, r.picture) << r.text << " has no icon";
    EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(GetDlgItem(explorer, IDC_FORM6_COMMAND1)) != FALSE; }, 5000));
    click(explorer, IDC_FORM6_COMMAND1);
    ASSERT_TRUE(gone(explorer));
    EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(window) != FALSE; }, 5000));

    // Exactly what the popup list is made of: the count of both copies, an entry per
    // name, the second folder's file for the name both have.
    const std::string key = std::string(kPrgKey) + "\\Fn-X";
    EXPECT_EQ("@" + common, readText(HKEY_CURRENT_USER, kCmdKey, "Fn-X"));
    EXPECT_EQ(kFolder, readText(HKEY_CURRENT_USER, kDescKey, "Fn-X"));
    EXPECT_EQ("4", readText(HKEY_CURRENT_USER, key.c_str(), "FileCount"));
    const auto listKey = openKey(HKEY_CURRENT_USER, key.c_str());
    ASSERT_TRUE(listKey);
    const std::pair<const char*, std::string> entries[] = {
        {"Own Probe", mine + "\\Own Probe.lnk"}, {"Probe", common + "\\Probe.lnk"}, {"Readme.txt", mine + "\\Readme.txt"}};
    std::uint32_t subkeys = 0;
    registry().RegQueryInfoKeyA(listKey.get(), &subkeys, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(3u, subkeys);
    for (const auto& [name, path] : entries)
        EXPECT_EQ(path, readText(HKEY_CURRENT_USER, (key + "\\" + name).c_str(), name)) << name;

    // Fn+X: the key name, past the separator to the first entry in registry order.
    SetForegroundWindow(window);
    PostMessageA(window, FnKeyMessage, kFnKeyWParam, kScanX);
    HWND menu = nullptr;
    ASSERT_TRUE(waitFor([&] { return (menu = FindWindowA("#32768", nullptr)) != nullptr && IsWindowVisible(menu); }, 10000))
        << "no popup menu";
    for (WORD vk : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
        keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
        pumpFor(150);
    }
    EXPECT_TRUE(waitFor([&] { return fileLines(log) == std::vector<std::string>{"own"}; }, 20000))
        << "the first entry, Own Probe, did not start";
}

// A shortcut chosen in application mode fills Add/Edit Command with the program it points to.
TEST_F(ExplorerE2E, ApplicationMode_AShortcutFillsAddEditCommandWithItsTarget) {
    ASSERT_TRUE(window = startedKeyloom(keyloom));
    HWND form3 = assignmentType();
    ASSERT_TRUE(form3);
    click(form3, IDC_FORM3_COMMAND1);
    HWND form4 = awaitWindow("Add/Edit Command");
    ASSERT_TRUE(form4);
    click(form4, IDC_FORM4_COMMAND4);
    HWND explorer = awaitWindow("Application Explorer");
    ASSERT_TRUE(explorer);
    HWND list = chooseFolder(explorer, 3);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(explorer, IDC_FORM6_COMMAND1))) << "a folder is no application";
    std::vector<std::string> shown;
    for (const Row& r : rowsOf(list)) shown.push_back(r.text);
    const int wanted = indexOf(shown, "Probe");
    ASSERT_LE(0, wanted);
    press(list, VK_HOME);
    for (int i = 0; i < wanted; ++i) press(list, VK_RIGHT);
    EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(GetDlgItem(explorer, IDC_FORM6_COMMAND1)) != FALSE; }, 5000));
    EXPECT_EQ(wanted, SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    click(explorer, IDC_FORM6_COMMAND1);
    ASSERT_TRUE(gone(explorer));
    EXPECT_TRUE(waitFor([&] { return textOf(form4, IDC_FORM4_TEXT2) == probe; }, 5000));
    EXPECT_EQ("Probe", textOf(form4, IDC_FORM4_TEXT1));
    EXPECT_EQ(programs.path, textOf(form4, IDC_FORM4_TEXT3));
    click(form4, IDC_FORM4_COMMAND2);
    EXPECT_TRUE(gone(form4));

    // For the README's picture: the explorer with the folder's icons stays up until taken.
    if (const char* signal = std::getenv("VANTORA_EXPLORER_PICTURE")) {
        Link notepad = linkTo(shellFolder(CSIDL_WINDOWS) + "\\notepad.exe");
        notepad.iconPath = notepad.target;
        ASSERT_TRUE(writeLink(made.emplace_back(common + "\\Notepad.lnk"), notepad));
        click(assignmentType(), IDC_FORM3_COMMAND2);
        explorer = awaitWindow("Application Explorer");
        ASSERT_TRUE(explorer);
        chooseFolder(explorer, 4);
        RECT r{};
        GetWindowRect(explorer, &r);
        std::ofstream(signal) << (r.right - r.left) << 'x' << (r.bottom - r.top) << '+' << r.left << '+' << r.top;
        waitFor([&] { return GetFileAttributesA(signal) == INVALID_FILE_ATTRIBUTES; }, 30000);
        PostMessageA(explorer, WM_COMMAND, IDCANCEL, 0);
    }
}

// The tree selects its first folder as it takes the focus: that folder is then chosen,
// as a user's click would choose it. A click on the folder already chosen lists it
// afresh and lets go of the file chosen in it, so that OK waits for a file again.
TEST_F(ExplorerE2E, TheSelectedFolderIsTheChosenOne_AndAClickOnItListsItAfresh) {
    ASSERT_TRUE(window = startedKeyloom(keyloom));
    HWND explorer = popupExplorer();
    ASSERT_TRUE(explorer);
    HWND tree = GetDlgItem(explorer, IDC_FORM6_TREEVIEW1);
    ASSERT_TRUE(waitFor([&] { return nodeAt(tree, nullptr, TVGN_CARET) != nullptr; }, 5000))
        << "the tree selected no folder on taking the focus";
    EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(GetDlgItem(explorer, IDC_FORM6_COMMAND1)) != FALSE; }, 5000))
        << "popup mode: the folder shown selected is not the one OK would take";
    click(explorer, IDC_FORM6_COMMAND2);
    ASSERT_TRUE(gone(explorer));

    explorer = applicationExplorer();
    ASSERT_TRUE(explorer);
    tree = GetDlgItem(explorer, IDC_FORM6_TREEVIEW1);
    HWND ok = GetDlgItem(explorer, IDC_FORM6_COMMAND1);
    HWND list = chooseFolder(explorer, 3);
    press(list, VK_HOME);
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(ok) != FALSE; }, 5000)) << "no file chosen";
    clickNode(tree, nodeAt(tree, nullptr, TVGN_CARET));
    EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(ok) == FALSE; }, 5000)) << "the file is still chosen";
    EXPECT_EQ(-1, SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)) << "not listed afresh";
    EXPECT_EQ(3, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

// Links in the Start menu that lead back up the tree (as a junction to C:\ would lead
// to the whole disk) are passed over, so the explorer opens at once. A folder of more
// files than the list shows gives the first thousand by name and a row counting the rest.
TEST_F(ExplorerE2E, LinksThatLoopAreNotWalked_AndABigFolderShowsItsFirstThousand) {
    makeLink(common + "\\Up", "..");
    makeLink(common + "\\Self", ".");
    ASSERT_TRUE(CreateDirectoryA(madeFolders.emplace_back(common + "\\Real").c_str(), nullptr));
    for (int i = 0; i < 1005; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "\\Bulk%04d.txt", i);
        std::ofstream(made.emplace_back(mine + name)) << "bulk\n";
    }
    ASSERT_TRUE(window = startedKeyloom(keyloom));
    HWND explorer = popupExplorer();
    ASSERT_TRUE(explorer) << "the walk did not end";

    HWND tree = GetDlgItem(explorer, IDC_FORM6_TREEVIEW1);
    const std::vector<std::string> top = topNodes(tree);
    HTREEITEM folder = nodeAt(tree, nullptr, TVGN_ROOT);
    for (int i = indexOf(top, kFolder); i > 0; --i) folder = nodeAt(tree, folder, TVGN_NEXT);
    ASSERT_LE(0, indexOf(top, kFolder));
    EXPECT_EQ(std::vector<std::string>{"Real"}, nodeTexts(tree, nodeAt(tree, folder, TVGN_CHILD)));

    const std::vector<Row> rows = rowsOf(chooseFolder(explorer, 1001));
    ASSERT_EQ(1001u, rows.size());
    EXPECT_EQ("Bulk0000", rows[0].text);
    EXPECT_EQ("Bulk0999", rows[999].text);
    EXPECT_EQ("(8 more not shown)", rows[1000].text) << "Bulk1000..1004, Own Probe, Probe, Readme";
}

}  // namespace
