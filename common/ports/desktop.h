#pragma once
// The parts of the window manager, screen, shell and file system that the programs use.
// Window handles are 32-bit values.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantora {

using WindowHandle = std::uint32_t;

inline constexpr int kSmCxScreen = 0;
inline constexpr int kSmCyScreen = 1;
inline constexpr int kSmCyMenu = 15;
inline constexpr int kSmCySize = 31;
inline constexpr int kLogPixelsX = 88;

class ScreenPort {
public:
    virtual ~ScreenPort() = default;
    virtual int GetSystemMetrics(int index) = 0;
    // GetDeviceCaps on the screen's device context, which is released again.
    virtual int screenDeviceCaps(int index) = 0;
};

inline constexpr WindowHandle kHwndTopMost = 0xFFFFFFFFu;    // -1
inline constexpr WindowHandle kHwndNoTopMost = 0xFFFFFFFEu;  // -2
inline constexpr std::uint32_t kSwpNoMoveNoSize = 3;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;
inline constexpr int kSwRestore = 9;

class WindowManagerPort {
public:
    virtual ~WindowManagerPort() = default;
    virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int x, int y, int cx, int cy,
                              std::uint32_t flags) = 0;
    virtual bool ShowWindow(WindowHandle window, int command) = 0;
    virtual bool SetForegroundWindow(WindowHandle window) = 0;
    virtual WindowHandle GetForegroundWindow() = 0;
    virtual bool IsIconic(WindowHandle window) = 0;
    virtual bool IsWindow(WindowHandle window) = 0;
};

// Notification-area icon: the record fields the launcher fills.
struct TrayIconRecord {
    std::uint32_t size = 88;
    WindowHandle window = 0;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    std::uint32_t callbackMessage = 0;
    std::string tip;
};

class TrayPort {
public:
    virtual ~TrayPort() = default;
    virtual bool add(const TrayIconRecord& record) = 0;
    virtual bool remove(const TrayIconRecord& record) = 0;
    // The message a new taskbar broadcasts, after which every icon must be added again.
    virtual std::uint32_t taskbarCreatedMessage() = 0;
};

class HelpPort {
public:
    virtual ~HelpPort() = default;
    virtual void showContext(const std::string& helpFile, std::uint32_t context) = 0;
    // The file's contents topic: help on a window as a whole, where no number names it.
    virtual void showContents(const std::string& helpFile) = 0;
    // A What's This topic: a popup beside the control rather than the help window.
    // Hosts without popups show the whole topic.
    virtual void showContextPopup(const std::string& helpFile, std::uint32_t context) {
        showContext(helpFile, context);
    }
};

struct DirectoryEntry {
    std::string name;
    bool hidden = false;
    bool directory = false;
    // A junction or symbolic link: a walk down the tree that follows one may never end.
    bool reparsePoint = false;
};

class FileSystemPort {
public:
    virtual ~FileSystemPort() = default;
    // Files and folders of a folder, in the order the file system lists them.
    virtual std::vector<DirectoryEntry> listFolder(const std::string& folder) = 0;
    // The file a name leads to, looked for as CreateProcess looks for a program: a name
    // with a folder (a backslash, slash or colon in it) where it stands, returned as
    // written; a bare name in the program's own folder, the system folders and the
    // folders of PATH, returned with the folder it was found in, and never in the
    // current directory. Nothing for a folder or a name that leads nowhere.
    virtual std::optional<std::string> findFile(const std::string& name) = 0;
};

}  // namespace vantora
