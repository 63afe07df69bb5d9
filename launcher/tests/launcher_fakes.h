#pragma once
#include <map>
#include <string>
#include <vector>

#include "common/ports/desktop.h"
#include "common/testing/fake_registry.h"
#include "common/testing/test_view.h"
#include "launcher/form1.h"

namespace vantora::launcher::testing {

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
        long arg;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    WindowHandle foreground = 0;
    bool SetWindowPos(WindowHandle w, WindowHandle after, int, int, int, int, std::uint32_t flags) override {
        calls.push_back({"SetWindowPos", w, static_cast<long>(static_cast<std::int32_t>(after)) * 10 + long(flags)});
        return true;
    }
    bool ShowWindow(WindowHandle w, int cmd) override { calls.push_back({"ShowWindow", w, cmd}); return true; }
    bool SetForegroundWindow(WindowHandle w) override {
        calls.push_back({"SetForegroundWindow", w, 0});
        foreground = w;
        return true;
    }
    WindowHandle GetForegroundWindow() override { return foreground; }
    bool IsIconic(WindowHandle) override { return false; }
    bool IsWindow(WindowHandle) override { return true; }
};

struct FakeTray : TrayPort {
    std::vector<TrayIconRecord> icons;
    int removed = 0;
    bool add(const TrayIconRecord& r) override { icons.push_back(r); return true; }
    bool remove(const TrayIconRecord& r) override {
        for (auto it = icons.begin(); it != icons.end(); ++it)
            if (it->window == r.window && it->id == r.id) { icons.erase(it); ++removed; return true; }
        return false;
    }
};

struct FakeHelp : HelpPort {
    std::vector<std::pair<std::string, std::uint32_t>> shown;
    void showContext(const std::string& f, std::uint32_t c) override { shown.emplace_back(f, c); }
};

struct FakeHost : MainWindowHost {
    bool subclassed = false, form5Unloaded = false, pictureShown = false;
    std::vector<std::pair<std::string, std::uint32_t>> popups;
    std::vector<std::uint32_t> passedOn;
    WindowHandle active = 0;
    void showPicture() override { pictureShown = true; }
    void popupMenu(std::string_view m, std::uint32_t f) override { popups.emplace_back(std::string(m), f); }
    void replaceWindowProc() override { subclassed = true; }
    void restoreWindowProc() override { subclassed = false; }
    long callPreviousWindowProc(WindowHandle, std::uint32_t msg, std::uint32_t, std::uint32_t) override {
        passedOn.push_back(msg);
        return 42;
    }
    WindowHandle activeFormWindow() override { return active; }
    std::string programFolder() override { return "C:\\Program Files\\Vantora"; }
    void unloadForm5() override { form5Unloaded = true; }
};

struct FakeFiles : FileSystemPort {
    std::map<std::string, std::vector<DirectoryEntry>> folders;
    std::vector<DirectoryEntry> listFolder(const std::string& f) override { return folders[f]; }
};

}  // namespace vantora::launcher::testing
