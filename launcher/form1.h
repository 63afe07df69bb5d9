#pragma once
// Form1: the keyboard-picture main window, its menus and the tray icon.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/ports/desktop.h"
#include "common/ports/shell.h"
#include "common/ports/single_copy.h"
#include "common/ui/view.h"
#include "launcher/launcher_state.h"
#include "launcher/store.h"

namespace vantora::launcher {

inline constexpr int kMouseLeft = 1;
inline constexpr int kMouseRight = 2;
inline constexpr std::uint32_t kTrayMenuRightAlign = 8;
inline constexpr int kMaxPopupEntries = 32767;  // highest index of mPopupCmd

// What the main window needs from its host beyond control properties.
class MainWindowHost {
public:
    virtual ~MainWindowHost() = default;
    virtual void showPicture() = 0;  // Form5's keyboard picture as the background
    virtual void popupMenu(std::string_view menu, std::uint32_t flags) = 0;
    virtual void replaceWindowProc() = 0;  // MainWindowProc in, previous one kept
    virtual void restoreWindowProc() = 0;
    virtual long callPreviousWindowProc(WindowHandle window, std::uint32_t message, std::uint32_t wParam,
                                        std::uint32_t lParam) = 0;
    virtual WindowHandle activeFormWindow() = 0;  // the window of the form that is active now
    virtual std::string programFolder() = 0;
    virtual void unloadForm5() = 0;
    // Elements of menu control arrays ("mPopupCmd(3)") are loaded and unloaded at run
    // time; element 0 exists from the start.
    virtual bool menuItemExists(std::string_view item) = 0;
    virtual void loadMenuItem(std::string_view item) = 0;
    virtual void unloadMenuItem(std::string_view item) = 0;
};

struct Form1Ports {
    ScreenPort& screen;
    WindowManagerPort& windows;
    TrayPort& tray;
    HelpPort& help;
    ShellPort& shell;
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
    Form1(LauncherState& state, Store& store, ui::View& view, MainWindowHost& host, Form1Ports ports,
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

    // The popup list of CurrentKeyName in mDynamics, and the choice of one entry.
    void DynPopupMenu();
    bool IsLoaded(std::string_view element);
    void mPopupCmd_Click(int index);

    // Also after the taskbar was re-created, which forgets every icon.
    void addTrayIcon();

    long MainWindowProc(WindowHandle window, std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam);

    const std::string& helpFile() const { return helpFile_; }
    int labelFontSize() const { return labelFontSize_; }

private:
    void applyTopMost(bool on);
    bool toggleOption(const char* option, std::string_view menuItem);
    void restoreFromTray(bool doubleClick);
    void firstRunPosition();
    void showHelp();

    LauncherState& state_;
    Store& store_;
    ui::View& view_;
    MainWindowHost& host_;
    Form1Ports ports_;
    Form1Actions actions_;
    std::string helpFile_;
    int labelFontSize_ = 12;
};

// Font size of the key labels for the screen's horizontal resolution.
int scaledLabelFontSize(int dpi, int designSize);

// The 9x family from Windows 98 on; false when the version query failed.
bool IsWin98OrMe(bool queryOk, std::uint32_t major, std::uint32_t minor, std::uint32_t platformId);

// Single copy: when another copy runs, restore and raise its published window.
// Returns true when this copy goes on to load Form1.
bool StartUp(LauncherState& state, Store& store, SingleCopyPort& instances, WindowManagerPort& windows,
             bool win98OrMe, const std::function<void()>& loadAndShowForm1);

}  // namespace vantora::launcher
