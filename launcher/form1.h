#pragma once
// Form1: the keyboard-picture main window, its menus and the tray icon.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/ports/screen.h"
#include "common/ports/window_manager.h"
#include "common/ports/tray.h"
#include "common/ports/help.h"
#include "common/ports/os_version.h"
#include "common/ports/input_timing.h"
#include "common/ports/shell.h"
#include "common/ports/single_copy.h"
#include "common/ui/view.h"
#include "launcher/key_press_gate.h"
#include "launcher/launcher_language.h"
#include "launcher/launcher_state.h"
#include "launcher/store.h"

namespace vantora::launcher {

inline constexpr int kMouseLeft = ui::kMouseLeft;
inline constexpr int kMouseRight = ui::kMouseRight;
inline constexpr std::uint32_t kTrayMenuRightAlign = 8;
inline constexpr int kMaxPopupEntries = 32767;  // highest index of mPopupCmd
inline constexpr char kForm1[] = "Form1";

// The help topic of each menu item, which F1 on the highlighted item opens.
struct MenuHelpContext {
    const char* item;
    std::uint32_t context;
};
inline constexpr MenuHelpContext kMenuHelpContexts[] = {
    {"mAssignments", 102}, {"mOptions", 102}, {"mTop", 109},   {"mPopups", 110},   {"mMinimize", 111}, {"mHints", 112},
    {"mConfirm", 113},     {"mHelp", 102},    {"mIndex", 102}, {"mAbout", 114},    {"umLaunch", 102},  {"umHelp", 102}};

struct Form1Ports {
    ScreenPort& screen;
    WindowManagerPort& windows;
    TrayPort& tray;
    HelpPort& help;
    ShellPort& shell;
    InputTimingPort& timing;  // tells a key press from a flood of messages
    std::string programFolder;  // where the help file lies
    const LanguagePorts* language = nullptr;  // none: the design texts
};

// The calls that leave this window for launching and for the assignment dialog.
struct Form1Actions {
    std::function<void()> LaunchCurrentKey;
    std::function<void()> showAssignmentTypeModal;  // Form3, owned by Form1
    std::function<void()> showAssignments;          // Form2
    std::function<void()> showAbout;                // frmAbout
};

class Form1 {
public:
    // Every event of the window reaches its handler through the view.
    Form1(LauncherState& state, Store& store, ui::View& view, ui::WindowProcedureHost& procedures, Form1Ports ports,
          Form1Actions actions);

    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    void Form_Terminate();
    void Label1_MouseDown(int index, int button, int shift, int x, int y);
    void Label1_MouseMove(int index, int button, int shift, int x, int y);

    void mAssignments_Click();
    void mTop_Click();
    void mPopups_Click();
    void mMinimize_Click();
    void mHints_Click();
    void mConfirm_Click();
    void mIndex_Click();
    void mAbout_Click();
    void umLaunch_Click();
    void umHelp_Click();

    // The popup list of CurrentKeyName in mDynamics, and the choice of one entry, which
    // is looked up under the key the list was made for.
    void DynPopupMenu();
    bool IsLoaded(std::string_view element);
    void mPopupCmd_Click(int index);
    // DynPopupMenu shown at the pointer. One list at a time: a press of another popup key
    // while one shows would rewrite the entries that the open menu names. False, and
    // nothing shown, when the key's list has no entries: its folder is all it offers.
    bool showPopupList();

    // Also after the taskbar was re-created, which forgets every icon.
    void addTrayIcon();
    // Minimize on use: the window goes to the tray, and one that is there already stays
    // hidden (minimizing a hidden window would show it on the taskbar).
    void goToTray();

    ui::MessageResult MainWindowProc(WindowHandle window, std::uint32_t message, ui::MessageParam wParam,
                                     ui::MessageParam lParam);

    const std::string& helpFile() const { return helpFile_; }
    int labelFontSize() const { return labelFontSize_; }

private:
    void applyTopMost(bool on);
    bool toggleOption(const char* option, std::string_view menuItem);
    void restoreFromTray(bool doubleClick);
    void firstRunPosition();
    void showHelp(std::uint32_t context);
    void unloadForm5();

    LauncherState& state_;
    Store& store_;
    ui::View& view_;
    ui::WindowProcedureHost& procedures_;
    ui::Picture Form5_Image1_;  // the hidden form that holds the keyboard picture
    Form1Ports ports_;
    Form1Actions actions_;
    std::string helpFile_;
    int labelFontSize_ = 12;
    std::string popupKey_;
    bool popupListShowing_ = false;
    int popupEntries_ = 0;  // what the last DynPopupMenu found
    KeyPressGate pressGate_;
    std::optional<std::uint32_t> trayMenuClosed_;  // on the message clock
};

// Font size of the key labels for the screen's horizontal resolution.
int scaledLabelFontSize(int dpi, int designSize);

// The 9x family from Windows 98 on; false when the version query failed.
bool IsWin98OrMe(bool queryOk, std::uint32_t major, std::uint32_t minor, std::uint32_t platformId);
bool IsWin98OrMe(OsVersionPort& os);

// Single copy: when another copy runs, restore and raise its published window.
// Returns true when this copy goes on to load Form1.
bool StartUp(LauncherState& state, Store& store, SingleCopyPort& instances, WindowManagerPort& windows,
             bool win98OrMe, const std::function<void()>& loadAndShowForm1);

}  // namespace vantora::launcher
