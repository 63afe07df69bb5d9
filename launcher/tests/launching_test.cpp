// What a key press does, for every kind of assignment, against the fake shell, the
// fake process table and the test view of the main window.
#include <gtest/gtest.h>

#include "common/fakes/fake_common_module.h"
#include "common/fakes/fake_desktop.h"
#include "common/fakes/fake_input_timing.h"
#include "common/fakes/fake_registry.h"
#include "common/fakes/fake_shell.h"
#include "common/fakes/test_view.h"
#include "launcher/assignments.h"
#include "launcher/launching.h"
#include "launcher/tests/launcher_fakes.h"

namespace vantora::launcher {
namespace {

using namespace vantora::launcher::testing;
using namespace vantora::testing;
using Strings = std::vector<std::string>;
using Moves = std::vector<std::pair<int, int>>;

constexpr WindowHandle kMain = 0x00020456;
constexpr WindowHandle kDialog = 0x00030100;
constexpr WindowHandle kOther = 0x00040200;

class LaunchTest : public ::testing::Test {
protected:
    FakeRegistry reg;
    Store store{reg};
    LauncherState state;
    vantora::testing::TestView view{kMain};
    const bool declared_ = (launcher::testing::declareForm1(view), true);  // before the form takes the view
    FakeScreen screen;
    FakeWindows windows;
    FakeTray tray;
    FakeHelp help;
    FakeProcedures procedures;
    FakeShell shell;
    FakeInputTiming timing;
    FakeProcesses processes;
    std::vector<bool> form3Shows;  // true = modal
    Form1 form{state, store, view, procedures, {screen, windows, tray, help, shell, timing, "C:\\Program Files\\Vantora"}, {}};
    FakeFiles files;
    LaunchContext context{state, store, form, view, windows, shell, processes, files,
                          [this](bool modal) { form3Shows.push_back(modal); }};

    void SetUp() override {
        state.MainWindowHandle = kMain;
        windows.foreground = kMain;
        state.OpenForms = {kDialog};
        for (int i = 0; i < kKeyCount; ++i) view.setTag(labelName(i), "0");
        choose("Fn-A");
        files.searchPath = {"C:\\Windows"};
        files.files = {"C:\\Windows\\calc.exe", "C:\\Windows\\edit.exe", "C:\\Windows\\slow.exe",
                       "C:\\Windows\\readme.txt", "C:\\Tools\\edit.exe"};
    }
    void TearDown() override { EXPECT_EQ(0, reg.openHandleCount()); }

    // As the Fn-key message and a click on a key do before launching.
    void choose(const char* keyName) {
        state.CurrentKeyName = keyName;
        for (const auto& k : kKeyTable)
            if (k.name == keyName) state.CurrentKeyIndex = static_cast<std::int16_t>(k.index);
    }
    void launch() { LaunchCurrentKey(context); }
    void assign(const char* command, const char* switching = nullptr, const char* minimize = "0") {
        store.writeUser(kCmdKey, state.CurrentKeyName, command);
        if (switching) store.writeUser(kOptsKey, state.CurrentKeyName, switching);
        store.writeUser(kCfgKey, "opts3", minimize);
    }
    void popupList(const char* fileCount, const Strings& entries) {
        const std::string prg = std::string(kPrgKey) + "\\" + state.CurrentKeyName;
        if (fileCount) store.writeUser(prg.c_str(), "FileCount", fileCount);
        for (const auto& e : entries) {
            auto key = ScopedRegKey::create(reg, kHkeyCurrentUser, (prg + "\\" + e).c_str());
            Store::writeString(reg, key.get(), e, "C:\\Lists\\" + e);
        }
    }
    std::string tagA() { return view.tag(labelName(6)); }
};

TEST_F(LaunchTest, UnassignedKey_DependsOnTheMainWindowsState) {
    struct Case {
        ui::WindowState shown;
        WindowHandle foreground;
        std::vector<bool> form3;
        Strings raised;
    } cases[] = {
        {ui::WindowState::Normal, kMain, {true}, {}},
        {ui::WindowState::Normal, kOther, {true}, {"main"}},  // raised after the modal dialog
        {ui::WindowState::Minimized, kOther, {false}, {}},
        {ui::WindowState::Maximized, kOther, {}, {}},
    };
    for (const Case& c : cases) {
        form3Shows.clear(), windows.calls.clear();
        view.setWindowState(c.shown);
        windows.foreground = c.foreground;
        launch();
        Strings raised;
        for (const auto& call : windows.calls)
            if (call.what == "SetForegroundWindow") raised.push_back(call.window == kMain ? "main" : "other");
        EXPECT_EQ(c.form3, form3Shows) << int(c.shown);
        EXPECT_EQ(c.raised, raised) << int(c.shown);
        EXPECT_EQ(kErrorFileNotFound, state.CurrentKeyStatus);
    }
    EXPECT_TRUE(shell.opened.empty() && shell.moves.empty() && processes.started.empty());
}

TEST_F(LaunchTest, UnassignedKey_WithADialogOpen_OnlyRaisesWindows) {
    state.AssignmentTypeOpen = true;
    windows.foreground = kOther;
    launch();
    view.setWindowState(ui::WindowState::Minimized);
    launch();
    EXPECT_TRUE(form3Shows.empty());
    ASSERT_EQ(2u, windows.calls.size());
    EXPECT_EQ(kMain, windows.calls[0].window) << "normal main window: itself";
    EXPECT_EQ(kDialog, windows.calls[1].window) << "hidden main window: the open dialog";
}

TEST_F(LaunchTest, AssignedKey_NudgesThePointerOnlyWhenTheMainWindowIsNotInFront) {
    assign("notepad.exe");
    launch();
    EXPECT_TRUE(shell.moves.empty());
    windows.foreground = kOther;
    launch();
    EXPECT_EQ((Moves{{-1, 1}, {1, 1}}), shell.moves);
    EXPECT_EQ(0, state.CurrentKeyStatus);
}

TEST_F(LaunchTest, SwitchingOff_OpensTheWholeCommandEveryTime) {
    // A missing or non-numeric switch option counts as off: the shell opens anything.
    const char* options[] = {"0", "", "abc", nullptr};
    const char* keys[] = {"Fn-1", "Fn-2", "Fn-3", "Fn-4"};
    for (int k = 0; k < 4; ++k) {
        const char* option = options[k];
        choose(keys[k]);
        shell.opened.clear();
        assign("C:\\Tools\\edit.exe /r notes.txt", option);
        launch();
        launch();
        EXPECT_EQ((Strings{"C:\\Tools\\edit.exe /r notes.txt", "C:\\Tools\\edit.exe /r notes.txt"}), shell.opened)
            << (option ? option : "(none)");
        EXPECT_TRUE(processes.started.empty());
    }
}

TEST_F(LaunchTest, SwitchingOff_ACommandTheShellCannotOpenWhole_GoesAsProgramAndParameters) {
    shell.openable = {"C:\\My Tools\\edit.exe"};
    files.files.insert("C:\\My Tools\\edit.exe");
    assign("\"C:\\My Tools\\edit.exe\" /r  notes.txt", "0");
    launch();
    EXPECT_EQ((Strings{"\"C:\\My Tools\\edit.exe\" /r  notes.txt", "C:\\My Tools\\edit.exe | /r  notes.txt"}),
              shell.opened);

    shell.opened.clear();
    assign("C:\\gone.exe", "0");  // nothing to split off: tried once
    launch();
    EXPECT_EQ(Strings{"C:\\gone.exe"}, shell.opened);
}

// Nothing a command does not name may start: not a file planted where a shorter run of
// its words leads, whether or not the program itself is still there.
TEST_F(LaunchTest, CommandNamingNoFile_StartsNothing_AndTheShellGetsItWhole) {
    files.files = {"C:\\Program.exe"};
    shell.openable = {"C:\\Program.exe"};
    const std::string gone = "C:\\Program Files\\Gone App\\app";
    for (const char* switching : {"1", "0"}) {
        shell.opened.clear();
        assign(gone.c_str(), switching);
        launch();
        EXPECT_EQ(Strings{gone}, shell.opened) << "switching " << switching;
    }
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(LaunchTest, MinimizeOnUse_HidesTheMainWindowOnlyWhenSet) {
    assign("calc.exe", "0", "0");
    launch();
    EXPECT_EQ(ui::WindowState::Normal, view.windowState());
    assign("calc.exe", "0", "1");
    launch();
    EXPECT_EQ(ui::WindowState::Minimized, view.windowState());

    // From the tray the window stays there, whatever the road of the launch.
    view.hide();
    for (const char* switching : {"0", "1"}) {
        assign("calc.exe", switching, "1");
        launch();
        launch();
        EXPECT_FALSE(view.visible()) << "switching " << switching;
    }
    popupList("1", {"a.txt"});
    assign("@C:\\Lists", "0", "1");
    form.DynPopupMenu();
    form.mPopupCmd_Click(0);
    EXPECT_FALSE(view.visible()) << "popup entry";
}

TEST_F(LaunchTest, SwitchingOn_StartsOnce_ThenBringsTheProgramsOwnWindowForward) {
    assign("C:\\Tools\\edit.exe notes.txt", "1");
    windows.foreground = kMain;  // the launcher is in front right after the start
    launch();
    ASSERT_EQ(Strings{"C:\\Tools\\edit.exe | \"C:\\Tools\\edit.exe\" notes.txt"}, processes.started)
        << "the file found, started by its name and quoted in the command line";
    const ProcessId id = state.LaunchedProcessIds[6];
    const WindowHandle own = processes.programs[id].window;
    EXPECT_EQ(std::to_string(own), tagA()) << "the program's window, not whatever was in front";

    windows.calls.clear();
    launch();
    EXPECT_EQ(1u, processes.started.size());
    EXPECT_EQ((std::vector<FakeWindows::Call>{{"ShowWindow", own, kSwShow}, {"SetForegroundWindow", own, 0}}),
              windows.calls);

    windows.iconic.insert(own);
    windows.calls.clear();
    launch();
    EXPECT_EQ(kSwShowNormal, windows.calls.at(0).arg) << "a minimized window is restored first";
}

TEST_F(LaunchTest, SwitchingOn_AfterTheProgramEnded_StartsItAgain_EvenWhenItsIdWasReused) {
    assign("edit.exe", "1");
    launch();
    const ProcessId first = state.LaunchedProcessIds[6];
    processes.exitAndReuse(first);  // another program now runs under that id
    windows.calls.clear();
    launch();
    const std::string edit = "C:\\Windows\\edit.exe | \"C:\\Windows\\edit.exe\"";
    EXPECT_EQ((Strings{edit, edit}), processes.started);
    EXPECT_TRUE(windows.calls.empty()) << "nothing stale may be raised";
    EXPECT_NE(first, state.LaunchedProcessIds[6]);
    EXPECT_EQ(0u, processes.programs.count(first)) << "the ended program is let go";
}

TEST_F(LaunchTest, SwitchingOn_WindowThatAppearedLater_IsFoundAtTheNextPress) {
    assign("slow.exe", "1");
    processes.windowWhenStarted = false;
    launch();
    EXPECT_EQ("0", tagA());
    const WindowHandle own = processes.programs[state.LaunchedProcessIds[6]].window;
    launch();
    EXPECT_EQ(1u, processes.started.size()) << "still running: no second copy";
    EXPECT_EQ(std::to_string(own), tagA());
    EXPECT_EQ(own, windows.foreground);

    // The recorded window closed; the program opened another one.
    windows.destroyed.insert(own);
    processes.programs[state.LaunchedProcessIds[6]].window = own + 4;
    launch();
    EXPECT_EQ(own + 4, windows.foreground);
}

TEST_F(LaunchTest, SwitchingOn_FailuresOfTheProcessCalls) {
    assign("edit.exe", "1", "1");
    launch();
    view.setWindowState(ui::WindowState::Normal);
    processes.snapshotFails = true;
    windows.calls.clear();
    launch();
    EXPECT_EQ(1u, processes.started.size()) << "no snapshot: nothing started";
    EXPECT_TRUE(windows.calls.empty());
    EXPECT_EQ(ui::WindowState::Normal, view.windowState());

    // Not a program: the shell opens it, nothing is recorded and the window stays.
    choose("Fn-B");
    assign("readme.txt", "1", "1");
    processes.notPrograms.insert("C:\\Windows\\readme.txt");
    launch();
    EXPECT_EQ(Strings{"readme.txt"}, shell.opened);
    EXPECT_EQ(0u, state.LaunchedProcessIds[7]);
    EXPECT_EQ("0", view.tag(labelName(7)));
    EXPECT_EQ(ui::WindowState::Normal, view.windowState());
}

TEST_F(LaunchTest, PopupKey_FileCountDecidesBetweenMenuAndFolder) {
    assign("@C:\\Lists", "1", "1");
    launch();  // no FileCount: nothing
    EXPECT_TRUE(shell.opened.empty() && view.popups().empty());

    popupList("0", {});
    launch();
    EXPECT_EQ(Strings{"C:\\Lists"}, shell.opened);

    popupList("2", {"alpha.lnk", "beta.txt"});
    const int enumerated = reg.callCount(RegOp::EnumKey);
    launch();
    EXPECT_EQ(2, reg.callCount(RegOp::EnumKey) - enumerated) << "the entries are read once a press";
    ASSERT_EQ(1u, view.popups().size());
    EXPECT_EQ("mDynamics", view.popups()[0].first);
    EXPECT_EQ("alpha.lnk", view.caption("mPopupCmd(0)"));
    EXPECT_EQ("beta.txt", view.caption("mPopupCmd(1)"));
    EXPECT_EQ(ui::WindowState::Normal, view.windowState()) << "minimized only when an entry is chosen";
    EXPECT_TRUE(processes.started.empty());
}

TEST_F(LaunchTest, PopupKey_WithACountButNoEntries_OpensItsFolder) {
    assign("@C:\\Lists");
    popupList("3", {});
    launch();
    EXPECT_TRUE(view.popups().empty());
    EXPECT_EQ(Strings{"C:\\Lists"}, shell.opened);
}

TEST_F(LaunchTest, DynPopupMenu_LoadsAndUnloadsMenuElementsToMatchTheList) {
    popupList("3", {"a", "b", "c"});
    form.DynPopupMenu();
    EXPECT_EQ("Fn-A", view.caption("mDynFnKey"));
    EXPECT_TRUE(view.checked("mDynFnKey"));
    for (int j : {0, 1, 2}) EXPECT_TRUE(form.IsLoaded(ui::indexed("mPopupCmd", j))) << j;
    EXPECT_FALSE(form.IsLoaded("mPopupCmd(3)"));
    EXPECT_EQ("c", view.caption("mPopupCmd(2)"));

    choose("Fn-B");
    popupList("1", {"only"});
    form.DynPopupMenu();
    EXPECT_EQ(2, view.unloads());
    EXPECT_EQ("only", view.caption("mPopupCmd(0)"));
    EXPECT_TRUE(view.isVisible("mPopupCmd(0)"));
    EXPECT_TRUE(form.IsLoaded("mPopupCmd(0)"));
    EXPECT_FALSE(form.IsLoaded("mPopupCmd(1)"));
}

// A list of more entries than a menu can show: the first thousand by name, whatever
// the case of their letters, and a last item, not to be chosen, that counts the rest.
TEST_F(LaunchTest, DynPopupMenu_ShowsTheFirstThousandByName_AndCountsTheRest) {
    Strings entries;
    for (int i = 1002; i >= 0; --i) entries.push_back((i % 2 ? "E" : "e") + std::to_string(10000 + i));
    popupList("1003", entries);
    form.DynPopupMenu();
    EXPECT_EQ("e10000", view.caption("mPopupCmd(0)"));
    EXPECT_EQ("E10999", view.caption("mPopupCmd(999)"));
    EXPECT_TRUE(view.enabled("mPopupCmd(999)"));
    EXPECT_EQ("(3 more not shown)", view.caption("mPopupCmd(1000)"));
    EXPECT_FALSE(view.enabled("mPopupCmd(1000)"));
    EXPECT_FALSE(form.IsLoaded("mPopupCmd(1001)"));
}

TEST_F(LaunchTest, PopupChoice_OpensTheEntrysPath_AndMinimizesWhenSet) {
    assign("@C:\\Lists", nullptr, "1");
    popupList("2", {"alpha.lnk", "beta.txt"});
    form.DynPopupMenu();
    form.mPopupCmd_Click(1);
    EXPECT_EQ(Strings{"C:\\Lists\\beta.txt"}, shell.opened);
    EXPECT_EQ(ui::WindowState::Minimized, view.windowState());

    view.setWindowState(ui::WindowState::Normal);
    view.setCaption("mPopupCmd(1)", "gone.txt");  // an entry removed meanwhile
    form.mPopupCmd_Click(1);
    EXPECT_EQ(1u, shell.opened.size());
    EXPECT_EQ(ui::WindowState::Normal, view.windowState());
}

// While a key's popup list shows, a press of another popup key neither rebuilds the open
// list nor changes the key under which the chosen entry is looked up.
TEST_F(LaunchTest, PopupChoice_IsLookedUpUnderTheKeyTheOpenListShows) {
    choose("Fn-B");
    assign("@C:\\Other");
    popupList("1", {"other.txt"});
    choose("Fn-A");
    assign("@C:\\Lists");
    popupList("2", {"alpha.lnk", "beta.txt"});
    view.whilePopupShows = [&] {
        choose("Fn-B");
        launch();
        form.mPopupCmd_Click(1);
    };
    launch();
    EXPECT_EQ(1u, view.popups().size());
    EXPECT_EQ("beta.txt", view.caption("mPopupCmd(1)"));
    EXPECT_EQ(Strings{"C:\\Lists\\beta.txt"}, shell.opened);
}

// A module that writes a text without any terminator into the first buffer.
struct UnterminatedModule : vantora::testing::FakeCommonModule {
    std::int32_t GetShortCutInfo(char* t1, const char* p, char* t2, char* t3, char* t4, char* t5, std::int32_t* n1,
                                 std::int32_t* n2) override {
        FakeCommonModule::GetShortCutInfo(t1, p, t2, t3, t4, t5, n1, n2);
        std::memset(t1, 'x', kShortcutTextChars);
        return 1;
    }
};

TEST(ResolveShortcut, CopiesEveryField_OrLeavesTheRecordOnFailure) {
    vantora::testing::FakeCommonModule module;
    module.shortcuts["C:\\Desk\\Edit.lnk"] = {"C:\\Tools\\edit.exe", "/r", "C:\\Work", "Editor", "C:\\i.ico", 3, 7};
    ShortcutInfo info;
    ResolveShortcut(module, "C:\\Desk\\Edit.lnk", info);
    EXPECT_EQ("C:\\Tools\\edit.exe", info.TargetPath);
    EXPECT_EQ((Strings{"/r", "C:\\Work", "Editor", "C:\\i.ico"}),
              (Strings{info.Arguments, info.WorkingDirectory, info.Description, info.IconLocation}));
    EXPECT_EQ(3, info.IconIndex);
    EXPECT_EQ(7, info.ShowCommand);

    ShortcutInfo untouched;
    untouched.TargetPath = "kept";
    ResolveShortcut(module, "C:\\Desk\\missing.lnk", untouched);
    EXPECT_EQ("kept", untouched.TargetPath);
    module.removeLibrary();
    ResolveShortcut(module, "C:\\Desk\\Edit.lnk", untouched);
    EXPECT_EQ("kept", untouched.TargetPath);

    UnterminatedModule odd;
    odd.shortcuts["a.lnk"].target = "target";
    odd.shortcuts["a.lnk"].arguments = "args";
    ResolveShortcut(odd, "a.lnk", info);
    EXPECT_EQ("", info.TargetPath) << "a buffer without a terminator gives nothing";
    EXPECT_EQ("args", info.Arguments);
}

}  // namespace
}  // namespace vantora::launcher
