#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "common/fakes/fake_desktop.h"
#include "common/fakes/fake_input_timing.h"
#include "common/fakes/fake_registry.h"
#include "common/fakes/fake_shell.h"
#include "common/fakes/test_view.h"
#include "launcher/assignments.h"
#include "launcher/tests/launcher_fakes.h"

namespace vantora::launcher {
namespace {

using namespace vantora::launcher::testing;
using namespace vantora::testing;
using Bytes = std::vector<std::uint8_t>;

Bytes rawValue(RegistryPort& reg, const char* path, const char* name, std::uint32_t* type = nullptr) {
    auto key = ScopedRegKey::open(reg, kHkeyCurrentUser, path);
    if (!key) return {};
    std::uint32_t size = 0;
    if (reg.RegQueryValueExA(key.get(), name, type, nullptr, &size) != kErrorSuccess) return {};
    Bytes data(size, 0xCC);
    reg.RegQueryValueExA(key.get(), name, type, data.data(), &size);
    return data;
}

class Form1Test : public ::testing::Test {
protected:
    FakeRegistry reg;
    Store store{reg};
    LauncherState state;
    vantora::testing::TestView view{0x00020456};
    const bool declared_ = (declareForm1(view), true);  // before the form takes the view
    FakeScreen screen;
    FakeWindows windows;
    FakeTray tray;
    FakeHelp help;
    FakeProcedures procedures;
    FakeShell shell;
    FakeInputTiming timing;
    int launches = 0, assignmentDialogs = 0;
    std::function<void()> duringLaunch;  // runs once inside the next launch
    Form1 form{state, store, view, procedures, {screen, windows, tray, help, shell, timing, "C:\\Program Files\\Vantora"},
               {[this] {
                    ++launches;
                    if (auto meanwhile = std::exchange(duringLaunch, nullptr)) meanwhile();
                },
                [this] { ++assignmentDialogs; }, {}, {}}};

    void SetUp() override {
        for (const auto& k : kKeyTable) {
            view.setCaption(labelName(k.index), k.caption);
            view.setFontSize(labelName(k.index), 12);
        }
    }
    void TearDown() override { EXPECT_EQ(0, reg.openHandleCount()); }
    void setCfg(const char* name, const char* text) { store.writeUser(kCfgKey, name, text); }
};

TEST_F(Form1Test, FirstRun_PublishesHandle_WritesDefaults_AddsTrayIcon) {
    form.Form_Load();

    std::uint32_t type = 0;
    EXPECT_EQ((Bytes{0x56, 0x04, 0x02, 0x00}), rawValue(reg, kMakerKey, "Keyloom", &type));
    EXPECT_EQ(kRegDword, type);
    const std::pair<const char*, Bytes> defaults[] = {{"fIcon", {'0', 0}}, {"opts1", {'0', 0}}, {"opts2", {'1', 0}},
                                                      {"opts3", {'0', 0}}, {"opts4", {'1', 0}}, {"opts5", {'1', 0}}};
    for (const auto& [name, bytes] : defaults) EXPECT_EQ(bytes, rawValue(reg, kCfgKey, name)) << name;

    // Window: 318 x (165 + 19 + 18) pixels at 15 twips; placed at a fifth of the free space.
    const ui::Rect r = view.formBounds();
    EXPECT_EQ(318 * 15, r.width);
    EXPECT_EQ((165 + 19 + 18) * 15, r.height);
    EXPECT_EQ((1024 * 15 - r.width) / 5, r.left);
    EXPECT_EQ((768 * 15 - r.height) / 5, r.top);
    Bytes x = rawValue(reg, kCfgKey, "X");
    EXPECT_EQ(5u, x.size());
    EXPECT_EQ(std::to_string(r.left), store.readUser(kCfgKey, "X").text);

    ASSERT_EQ(1u, tray.icons.size());
    EXPECT_EQ(88u, tray.icons[0].size);
    EXPECT_EQ(9999u, tray.icons[0].id);
    EXPECT_EQ(0x464u, tray.icons[0].callbackMessage);
    EXPECT_EQ(7u, tray.icons[0].flags);
    EXPECT_EQ("Keyloom", tray.icons[0].tip);
    EXPECT_EQ(0x00020456u, state.MainWindowHandle);
    EXPECT_TRUE(procedures.subclassed());
    EXPECT_EQ("C:\\Program Files\\Vantora\\Keyloom32.hlp", form.helpFile());
    // Option marks from the defaults, and not top-most.
    EXPECT_FALSE(view.checked("mTop"));
    EXPECT_TRUE(view.checked("mPopups"));
    EXPECT_FALSE(view.checked("mMinimize"));
    EXPECT_TRUE(view.checked("mHints"));
    EXPECT_TRUE(view.checked("mConfirm"));
    // The window is made so: nothing is asked of the window manager for it.
    for (const FakeWindows::Call& call : windows.calls) EXPECT_NE("SetWindowPos", call.what);
    for (const auto& k : kKeyTable)
        EXPECT_EQ((ui::Rect{k.left, k.top, 24, 24}), view.bounds(labelName(k.index))) << k.name;
    EXPECT_EQ(24u, state.KeyNames.size());
    EXPECT_EQ("Fn-Z", state.KeyNames[23]);
}

TEST_F(Form1Test, StoredPosition_IsUsed_NegativeFallsBackToFirstRunPlace) {
    setCfg("opts1", "1");
    store.writeCoordinate("X", 12345);
    store.writeCoordinate("Y", 2000);
    form.Form_Load();
    EXPECT_EQ(12345, view.formBounds().left);
    EXPECT_EQ(2000, view.formBounds().top);
    EXPECT_TRUE(state.TopMostFlag);
    EXPECT_TRUE(view.checked("mTop"));
    EXPECT_EQ((FakeWindows::Call{"SetWindowPos", 0x00020456, -1 * 10 + 3}), windows.calls.back());
    EXPECT_FALSE(view.checked("mPopups"));  // a missing value reads as off

    store.writeCoordinate("X", 500);
    store.writeCoordinate("Y", -30);
    form.Form_Load();
    EXPECT_EQ((1024 * 15 - view.formBounds().width) / 5, view.formBounds().left);
    EXPECT_EQ((768 * 15 - view.formBounds().height) / 5, view.formBounds().top);
}

TEST_F(Form1Test, LabelFont_ScalesWithScreenResolution) {
    EXPECT_EQ(12, scaledLabelFontSize(96, 12));
    EXPECT_EQ(10, scaledLabelFontSize(120, 12));  // 9.6
    EXPECT_EQ(12, scaledLabelFontSize(110, 12));
    EXPECT_EQ(16, scaledLabelFontSize(72, 12));
    EXPECT_EQ(8, scaledLabelFontSize(144, 12));
    EXPECT_EQ(6, scaledLabelFontSize(192, 12));
    EXPECT_EQ(2, scaledLabelFontSize(576, 12));   // 2.0
    EXPECT_EQ(4, scaledLabelFontSize(256, 12));   // 4.5 rounds to even
    screen.dpi = 120;
    form.Form_Load();
    EXPECT_EQ(10, view.fontSize(labelName(0)));
    EXPECT_EQ(10, view.fontSize(labelName(23)));
}

TEST_F(Form1Test, Minimize_HidesWindow_TrayDoubleClickRestoresAndRedraws) {
    form.Form_Load();
    store.writeUser(kCmdKey, "Fn-A", "@C:\\L");
    view.setWindowState(ui::WindowState::Minimized);
    form.Form_Resize();
    EXPECT_FALSE(view.visible());
    const int clsBefore = view.clsCount();

    EXPECT_EQ(42, form.MainWindowProc(state.MainWindowHandle, TrayCallbackMessage, 9999, 0x203));
    EXPECT_TRUE(view.visible());
    EXPECT_EQ(ui::WindowState::Normal, view.windowState());
    EXPECT_EQ(clsBefore + 1, view.clsCount());
    EXPECT_EQ(6u, view.lines().size());  // the new popup mark
    EXPECT_EQ(AssignedColor, view.foreColor(labelName(6)));
    EXPECT_EQ((std::vector<std::uint32_t>{TrayCallbackMessage}), procedures.passedOn);

    // Another id or another notification changes nothing but is passed on.
    view.setWindowState(ui::WindowState::Minimized);
    view.hide();
    form.MainWindowProc(state.MainWindowHandle, TrayCallbackMessage, 9998, 0x203);
    form.MainWindowProc(state.MainWindowHandle, TrayCallbackMessage, 9999, 0x201);
    EXPECT_FALSE(view.visible());
    EXPECT_EQ(3u, procedures.passedOn.size());
}

TEST_F(Form1Test, TrayRestore_WithDialogOpen_RaisesTheDialogOnly) {
    form.Form_Load();
    view.setWindowState(ui::WindowState::Minimized);
    view.hide();
    state.AssignmentTypeOpen = true;
    state.OpenForms = {0x3333};
    form.MainWindowProc(state.MainWindowHandle, TrayCallbackMessage, 9999, 0x203);
    EXPECT_FALSE(view.visible());
    EXPECT_EQ((FakeWindows::Call{"SetForegroundWindow", 0x3333, 0}), windows.calls.back());

    form.MainWindowProc(state.MainWindowHandle, TrayCallbackMessage, 9999, 0x205);
    EXPECT_EQ((std::vector<std::pair<std::string, std::uint32_t>>{{"umTray", 8}}), view.popups());

    // umLaunch always raises the active form; when that is the main window it comes back.
    state.AssignmentTypeOpen = false;
    state.OpenForms.clear();
    form.umLaunch_Click();
    EXPECT_TRUE(view.visible());
}

// Right-clicks on the tray icon that waited in the queue while its menu showed are dropped.
TEST_F(Form1Test, TrayMenuFlood_RightClicksPostedWhileTheMenuShowed_AreDropped) {
    form.Form_Load();
    const struct {
        std::uint32_t posted, handled;
        bool opens;
    } clicks[] = {{1000, 1000, true}, {1200, 3000, false}, {2999, 3000, false}, {3000, 3000, true}, {9000, 9100, true}};
    std::size_t menus = 0;
    for (const auto& click : clicks) {
        timing.now = click.handled;
        timing.postedAt(click.posted);
        view.whilePopupShows = [&] { timing.now += 2000; };
        form.MainWindowProc(state.MainWindowHandle, TrayCallbackMessage, 9999, 0x205);
        if (click.opens) ++menus;
        EXPECT_EQ(menus, view.popups().size()) << "posted at " << click.posted;
    }
}

TEST_F(Form1Test, OptionToggles_StoreTwoByteSwitches) {
    form.Form_Load();
    store.writeUser(kCmdKey, "Fn-B", "@C:\\L");
    form.mPopups_Click();  // on -> off: marks cleared, colours kept
    EXPECT_EQ((Bytes{'0', 0}), rawValue(reg, kCfgKey, "opts2"));
    EXPECT_FALSE(view.checked("mPopups"));
    EXPECT_TRUE(view.lines().empty());
    form.mPopups_Click();
    EXPECT_EQ(6u, view.lines().size());

    form.mTop_Click();
    EXPECT_TRUE(state.TopMostFlag);
    EXPECT_EQ((Bytes{'1', 0}), rawValue(reg, kCfgKey, "opts1"));
    EXPECT_EQ((FakeWindows::Call{"SetWindowPos", 0x00020456, -1 * 10 + 3}), windows.calls.back());
    form.mTop_Click();
    EXPECT_FALSE(state.TopMostFlag);

    struct {
        void (Form1::*click)();
        const char* option;
        const char* item;
    } toggles[] = {{&Form1::mMinimize_Click, "opts3", "mMinimize"},
                   {&Form1::mHints_Click, "opts4", "mHints"},
                   {&Form1::mConfirm_Click, "opts5", "mConfirm"}};
    for (const auto& t : toggles) {
        const bool before = store.option(t.option);
        (form.*t.click)();
        EXPECT_EQ(!before, store.option(t.option)) << t.option;
        EXPECT_EQ(!before, view.checked(t.item)) << t.item;
    }
    form.mIndex_Click();
    form.umHelp_Click();
    ASSERT_EQ(2u, help.shown.size());
    EXPECT_EQ(102u, help.shown[1].second);
}

TEST_F(Form1Test, Hints_ShowDescriptionOrNone_OffClearsTip) {
    form.Form_Load();
    store.writeUser(kDescKey, "Fn-A", "Editor");
    store.writeUser(kDescKey, "Fn-B", "");
    form.Label1_MouseMove(6, 0, 0, 1, 1);
    EXPECT_EQ("Editor", view.toolTip(labelName(6)));
    EXPECT_EQ("Fn-A", state.CurrentKeyName);
    form.Label1_MouseMove(7, 0, 0, 1, 1);
    EXPECT_EQ("none", view.toolTip(labelName(7)));
    form.Label1_MouseMove(8, 0, 0, 1, 1);
    EXPECT_EQ("none", view.toolTip(labelName(8)));
    EXPECT_NE(0, state.CurrentKeyStatus);
    setCfg("opts4", "0");
    form.Label1_MouseMove(6, 0, 0, 1, 1);
    EXPECT_EQ("", view.toolTip(labelName(6)));
}

TEST_F(Form1Test, Clicks_ReservedIgnored_LeftLaunches_RightOpensAssignment) {
    auto reserve = ScopedRegKey::create(reg, kHkeyLocalMachine, kReserveKey);
    reg.RegSetValueExA(reserve.get(), "Q", kRegSz, nullptr, 0);
    reserve.reset();
    form.Form_Load();
    form.Label1_MouseDown(15, kMouseRight, 0, 1, 1);  // Fn-Q, reserved
    form.Label1_MouseDown(15, kMouseLeft, 0, 1, 1);
    EXPECT_EQ(0, launches + assignmentDialogs);

    form.Label1_MouseDown(14, kMouseLeft, 0, 1, 1);
    EXPECT_EQ(1, launches);
    EXPECT_EQ("Fn-N", state.CurrentKeyName);
    EXPECT_EQ(14, state.CurrentKeyIndex);

    store.writeUser(kCmdKey, "Fn-C", "calc.exe");
    form.Label1_MouseDown(8, kMouseRight, 0, 1, 1);
    EXPECT_EQ(1, assignmentDialogs);
    EXPECT_EQ(0, state.CurrentKeyStatus);
    form.Label1_MouseDown(9, kMouseRight, 0, 1, 1);  // unassigned opens it too
    EXPECT_EQ(2, assignmentDialogs);
    EXPECT_NE(0, state.CurrentKeyStatus);
}

TEST_F(Form1Test, FnKeyMessage_OnlyTableScanCodesAct) {
    form.Form_Load();
    const std::pair<std::uint32_t, const char*> acting[] = {{0x02, "Fn-1"}, {0x31, "Fn-N"}, {0x1E, "Fn-A"}};
    for (auto [scan, name] : acting) {
        form.MainWindowProc(state.MainWindowHandle, FnKeyMessage, 0x100, scan);
        EXPECT_EQ(name, state.CurrentKeyName);
    }
    EXPECT_EQ(3, launches);
    for (std::uint32_t scan : {0x00u, 0x01u, 0x08u, 0x0Fu, 0x16u, 0x17u, 0x1Du, 0x24u, 0x2Bu, 0x32u, 0x102u,
                               0xFFFFFFFFu})
        form.MainWindowProc(state.MainWindowHandle, FnKeyMessage, 0x100, scan);
    form.MainWindowProc(state.MainWindowHandle, FnKeyMessage, 0x101, 0x1E);
    EXPECT_EQ(3, launches);
    EXPECT_EQ(16u, procedures.passedOn.size());
}

// F1 on a highlighted menu item opens that item's topic; F1 on the window, the window's.
TEST_F(Form1Test, F1_OnAHighlightedMenuItem_OpensThatItemsTopic) {
    form.Form_Load();
    const std::pair<const char*, std::uint32_t> items[] = {
        {"mTop", 109}, {"mPopups", 110}, {"mMinimize", 111}, {"mHints", 112}, {"mConfirm", 113},
        {"mAbout", 114}, {"mAssignments", 102}, {"mIndex", 102}, {"umLaunch", 102}, {"umHelp", 102}};
    for (const auto& [item, context] : items) {
        help.shown.clear();
        view.raise(kForm1, ui::Event::Help, static_cast<int>(view.control(item).helpContext));
        EXPECT_EQ((std::vector<FakeHelp::Topic>{{form.helpFile(), context}}), help.shown) << item;
    }
}

// Any process may post the Fn-key message: a flood starts a key's program at most once
// per key-repeat interval, and presses that waited in the queue during the launch are dropped.
TEST_F(Form1Test, FnKeyFlood_OneLaunchPerKeyAndRepeatInterval_QueuedPressesDropped) {
    form.Form_Load();
    timing.repeatMs = 33;
    struct Press {
        const char* what;
        std::uint32_t scan, posted, handled, launchMs;
        bool launches;
    };
    const Press presses[] = {
        {"first press of Fn-A", 0x1E, 1000, 1000, 500, true},
        {"Fn-A posted while its launch was under way", 0x1E, 1200, 1500, 0, false},
        {"Fn-B posted meanwhile: another key", 0x30, 1200, 1500, 0, true},
        {"Fn-A posted after its launch ended", 0x1E, 1510, 1510, 0, true},
        {"Fn-A again within a repeat interval", 0x1E, 1530, 1530, 0, false},
        {"Fn-A once the interval passed", 0x1E, 1543, 1543, 0, true},
        {"Fn-Z just before the clock wraps", 0x2C, 0xFFFFFFF0u, 0xFFFFFFF0u, 0, true},
        {"Fn-Z across the wrap, too soon", 0x2C, 5, 5, 0, false},
        {"Fn-Z across the wrap, later", 0x2C, 0x20, 0x20, 0, true},
    };
    for (const Press& p : presses) {
        const int before = launches;
        timing.now = p.handled;
        timing.postedAt(p.posted);
        if (p.launchMs) duringLaunch = [&] { timing.now += p.launchMs; };
        form.MainWindowProc(state.MainWindowHandle, FnKeyMessage, 0x100, p.scan);
        EXPECT_EQ(p.launches ? before + 1 : before, launches) << p.what;
    }

    // Delivered by a nested message loop while the launch runs (a popup menu, a dialog).
    timing.now = 5000;
    timing.postedAt(5000);
    duringLaunch = [&] {
        form.MainWindowProc(state.MainWindowHandle, FnKeyMessage, 0x100, 0x1E);
        form.MainWindowProc(state.MainWindowHandle, FnKeyMessage, 0x100, 0x2E);
    };
    const int before = launches;
    form.MainWindowProc(state.MainWindowHandle, FnKeyMessage, 0x100, 0x1E);
    EXPECT_EQ(before + 2, launches) << "Fn-A once, and Fn-C within it";
}

// The host reports every event through the view; the window's own handlers answer.
TEST_F(Form1Test, Events_ReachTheirHandlersThroughTheView) {
    form.Form_Load();
    view.raise("mTop", ui::Event::Click);
    EXPECT_EQ("1", store.readUser(kCfgKey, "opts1").text);
    view.raise("Label1(6)", ui::Event::MouseDown, kMouseRight);
    EXPECT_EQ(1, assignmentDialogs);
    EXPECT_EQ(6, state.CurrentKeyIndex);
    view.raise("Label1(7)", ui::Event::MouseDown, kMouseLeft);
    EXPECT_EQ(1, launches);
    view.raise("umHelp", ui::Event::Click);
    view.raise("Form1", ui::Event::Help);  // F1
    EXPECT_EQ((std::vector<std::pair<std::string, std::uint32_t>>(2, {form.helpFile(), 102})), help.shown);

    // With a dialog open a right click only brings that dialog forward; its key stays current.
    state.AssignmentTypeOpen = true;
    state.OpenForms = {0x3333};
    const std::string editing = state.CurrentKeyName;
    view.raise("Label1(8)", ui::Event::MouseDown, kMouseRight);
    EXPECT_EQ(1, assignmentDialogs);
    EXPECT_EQ(editing, state.CurrentKeyName);
    EXPECT_EQ((FakeWindows::Call{"SetForegroundWindow", 0x3333, 0}), windows.calls.back());

    // A new taskbar forgets every icon: the window adds its icon again.
    tray.icons.clear();
    procedures.installed(state.MainWindowHandle, FakeTray::kTaskbarCreated, 0, 0);
    EXPECT_EQ(1u, tray.icons.size());
}

TEST_F(Form1Test, UnloadAndTerminate_StorePosition_RemoveIconAndHandle) {
    form.Form_Load();
    view.setTag(labelName(3), "1234");
    view.moveForm(3000, 1500);
    form.Form_Unload();
    form.Form_Terminate();
    EXPECT_EQ("0", view.tag(labelName(3)));
    EXPECT_EQ("3000", store.readUser(kCfgKey, "X").text);
    EXPECT_EQ("1500", store.readUser(kCfgKey, "Y").text);
    EXPECT_TRUE(tray.icons.empty());
    EXPECT_FALSE(procedures.subclassed());
    EXPECT_EQ(nullptr, view.picture()) << "Form5 unloaded";
    EXPECT_TRUE(rawValue(reg, kMakerKey, "Keyloom").empty());

    // Minimized windows report a position at or above the corner: it is not stored.
    view.moveForm(-32000, -32000);
    form.Form_Unload();
    EXPECT_EQ("3000", store.readUser(kCfgKey, "X").text);
}

struct FakeInstances : SingleCopyPort {
    bool running = false;
    std::uint32_t genuineWindow = 0x00020456;  // what Form_Load publishes
    bool anotherCopyRunning() override { return running; }
    bool isRunningCopy(std::uint32_t w) override { return w != 0 && w == genuineWindow; }
};

TEST_F(Form1Test, StartUp_SecondCopyRaisesFirstAndLoadsNothing) {
    FakeInstances instances;
    int loads = 0;
    EXPECT_TRUE(StartUp(state, store, instances, windows, false, [&] { ++loads; }));
    EXPECT_EQ(1, loads);
    EXPECT_EQ(100, state.CurrentKeyStatus);

    form.Form_Load();  // publishes 0x00020456
    windows.calls.clear();
    instances.running = true;
    EXPECT_FALSE(StartUp(state, store, instances, windows, true, [&] { ++loads; }));
    EXPECT_EQ(1, loads);
    EXPECT_EQ((std::vector<FakeWindows::Call>{{"ShowWindow", 0x00020456, 9}, {"SetForegroundWindow", 0x00020456, 0}}),
              windows.calls);
    EXPECT_TRUE(state.Win98OrMeFlag);

}

// Any program of the user may hold the token and publish a window: unless the running
// copy is verified, this one starts and is raised by nothing.
TEST_F(Form1Test, StartUp_UnverifiedRunningCopy_IsNotRaised_AndThisCopyStarts) {
    form.Form_Load();  // publishes 0x00020456
    const struct {
        const char* what;
        bool published;
    } cases[] = {{"a window that is no copy of ours", true}, {"nothing published", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.published) form.Form_Terminate();
        FakeInstances instances;
        instances.running = true;
        instances.genuineWindow = 0;
        windows.calls.clear();
        int loads = 0;
        EXPECT_TRUE(StartUp(state, store, instances, windows, false, [&] { ++loads; }));
        EXPECT_EQ(1, loads);
        EXPECT_TRUE(windows.calls.empty());
    }
}

TEST(Win98OrMe, VersionRule) {
    EXPECT_TRUE(IsWin98OrMe(true, 4, 10, 1));
    EXPECT_TRUE(IsWin98OrMe(true, 4, 90, 1));
    EXPECT_FALSE(IsWin98OrMe(true, 4, 0, 1));
    EXPECT_FALSE(IsWin98OrMe(true, 5, 1, 2));
    EXPECT_TRUE(IsWin98OrMe(true, 5, 0, 1));
    EXPECT_FALSE(IsWin98OrMe(false, 4, 10, 1));
}

}  // namespace
}  // namespace vantora::launcher
