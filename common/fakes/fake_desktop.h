#pragma once
// The screen, window manager, tray, help and file system in memory. Calls that change
// something are recorded in order; `fails` makes every call that can fail do so, as
// a window that went away or a tray that refuses the icon would.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/ports/desktop.h"

namespace vantora::testing {

struct FakeScreen : ScreenPort {
    int dpi = 96, width = 1024, height = 768, menu = 19, caption = 18;
    int GetSystemMetrics(int i) override {
        switch (i) {
        case kSmCxScreen: return width;
        case kSmCyScreen: return height;
        case kSmCyMenu: return menu;
        case kSmCySize: return caption;
        default: return 0;
        }
    }
    int screenDeviceCaps(int i) override { return i == kLogPixelsX ? dpi : 0; }
};

struct FakeWindows : WindowManagerPort {
    struct Call {
        std::string what;
        WindowHandle window;
        long arg;  // ShowWindow: the command; SetWindowPos: insert-after * 10 + flags
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    WindowHandle foreground = 0;
    std::set<WindowHandle> iconic, destroyed;
    bool fails = false;

    bool SetWindowPos(WindowHandle w, WindowHandle after, int, int, int, int, std::uint32_t flags) override {
        calls.push_back({"SetWindowPos", w, static_cast<long>(static_cast<std::int32_t>(after)) * 10 + long(flags)});
        return !fails;
    }
    bool ShowWindow(WindowHandle w, int cmd) override {
        calls.push_back({"ShowWindow", w, cmd});
        return !fails;
    }
    bool SetForegroundWindow(WindowHandle w) override {
        calls.push_back({"SetForegroundWindow", w, 0});
        if (fails) return false;
        foreground = w;
        return true;
    }
    WindowHandle GetForegroundWindow() override { return foreground; }
    bool IsIconic(WindowHandle w) override { return iconic.count(w) != 0; }
    bool IsWindow(WindowHandle w) override { return destroyed.count(w) == 0; }
};

// The icons the tray shows now; a refused add shows nothing.
struct FakeTray : TrayPort {
    std::vector<TrayIconRecord> icons;
    int removed = 0;
    bool fails = false;
    bool add(const TrayIconRecord& r) override {
        if (fails) return false;
        icons.push_back(r);
        return true;
    }
    static constexpr std::uint32_t kTaskbarCreated = 0xC123;
    std::uint32_t taskbarCreatedMessage() override { return kTaskbarCreated; }
    bool remove(const TrayIconRecord& r) override {
        for (auto it = icons.begin(); it != icons.end(); ++it)
            if (it->window == r.window && it->id == r.id) {
                icons.erase(it);
                ++removed;
                return true;
            }
        return false;
    }
};

// Help topics asked for, the help window's and the What's This popups apart.
struct FakeHelp : HelpPort {
    using Topic = std::pair<std::string, std::uint32_t>;  // help file, context
    std::vector<Topic> shown, popups;
    std::vector<std::string> contents;  // help files opened at their contents
    void showContext(const std::string& f, std::uint32_t c) override { shown.emplace_back(f, c); }
    void showContents(const std::string& f) override { contents.push_back(f); }
    void showContextPopup(const std::string& f, std::uint32_t c) override { popups.emplace_back(f, c); }
};

struct FakeFiles : FileSystemPort {
    std::map<std::string, std::vector<DirectoryEntry>> folders;
    std::set<std::string> files;
    std::vector<std::string> searchPath;  // where a bare name is looked for, in order
    std::vector<DirectoryEntry> listFolder(const std::string& f) override { return folders[f]; }
    std::optional<std::string> findFile(const std::string& name) override {
        if (name.find_first_of("\\/:") != std::string::npos) return files.count(name) ? std::optional(name) : std::nullopt;
        for (const auto& folder : searchPath)
            if (files.count(folder + "\\" + name)) return folder + "\\" + name;
        return std::nullopt;
    }
    // A file or folder at a full path, listed in its parent folder.
    void addEntry(const std::string& path, bool hidden, bool directory, bool reparsePoint = false) {
        const auto slash = path.rfind('\\');
        folders[path.substr(0, slash)].push_back({path.substr(slash + 1), hidden, directory, reparsePoint});
        if (!directory) files.insert(path);
    }
};

}  // namespace vantora::testing
