#pragma once
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/ports/desktop.h"
#include "common/ports/shell.h"
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
    std::set<WindowHandle> iconic, destroyed;
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
    bool IsIconic(WindowHandle w) override { return iconic.count(w) != 0; }
    bool IsWindow(WindowHandle w) override { return destroyed.count(w) == 0; }
};

struct FakeTray : TrayPort {
    std::vector<TrayIconRecord> icons;
    int removed = 0;
    bool add(const TrayIconRecord& r) override { icons.push_back(r); return true; }
    static constexpr std::uint32_t kTaskbarCreated = 0xC123;
    std::uint32_t taskbarCreatedMessage() override { return kTaskbarCreated; }
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

// The main window's replaced window procedure: every message it passes on is recorded.
struct FakeProcedures : ui::WindowProcedureHost {
    Procedure installed;
    std::vector<std::uint32_t> passedOn;
    void replaceWindowProc(Procedure p) override { installed = std::move(p); }
    void restoreWindowProc() override { installed = nullptr; }
    ui::MessageResult callPreviousWindowProc(std::uint32_t, std::uint32_t msg, ui::MessageParam,
                                             ui::MessageParam) override {
        passedOn.push_back(msg);
        return 42;
    }
    bool subclassed() const { return installed != nullptr; }
};

struct FakeShell : ShellPort {
    std::vector<std::string> opened;  // file, or file + " | " + parameters
    std::set<std::string> openable;   // when not empty, only these files open
    std::vector<std::pair<int, int>> moves;
    bool ShellExecuteA(const std::string& file, const std::string& parameters) override {
        opened.push_back(parameters.empty() ? file : file + " | " + parameters);
        return openable.empty() || openable.count(file) != 0;
    }
    void mouseMove(int dx, int dy) override { moves.emplace_back(dx, dy); }
};

// Programs this launcher started, and the other processes a snapshot lists.
struct FakeProcesses : ProcessPort {
    struct Program {
        std::string commandLine;
        WindowHandle window = 0;  // its main window; 0 while it has none
        bool running = true;
    };
    std::map<ProcessId, Program> programs;
    std::vector<ProcessId> others;
    std::set<std::string> notPrograms;  // command lines that fail to start
    std::vector<std::string> started;
    bool snapshotFails = false;
    bool windowWhenStarted = true;  // the program has its window by the time the start returns
    ProcessId nextId = 0x500;
    WindowHandle nextWindow = 0x7000;

    std::optional<ProcessId> startProcess(const std::string& commandLine) override {
        started.push_back(commandLine);
        if (notPrograms.count(commandLine)) return std::nullopt;
        const ProcessId id = nextId++;
        programs[id] = {commandLine, nextWindow++, true};
        return id;
    }
    bool isRunning(ProcessId id) override { return programs.count(id) && programs[id].running; }
    void forget(ProcessId id) override { programs.erase(id); }
    std::optional<std::vector<ProcessId>> processIds() override {
        if (snapshotFails) return std::nullopt;
        std::vector<ProcessId> ids = others;
        for (auto& [id, p] : programs)
            if (p.running) ids.push_back(id);
        return ids;
    }
    WindowHandle mainWindowOf(ProcessId id) override { return isRunning(id) ? programs[id].window : 0; }
    WindowHandle startedWindow(ProcessId id) override { return windowWhenStarted ? mainWindowOf(id) : 0; }
    ProcessId windowProcess(WindowHandle w) override {
        for (auto& [id, p] : programs)
            if (p.window == w && p.running) return id;
        return 0;
    }
    // The program ends and another one is given its id.
    void exitAndReuse(ProcessId id) {
        programs[id].running = false;
        others.push_back(id);
    }
};

struct FakeFiles : FileSystemPort {
    std::map<std::string, std::vector<DirectoryEntry>> folders;
    std::set<std::string> files;
    std::vector<DirectoryEntry> listFolder(const std::string& f) override { return folders[f]; }
    bool fileExists(const std::string& path) override { return files.count(path) != 0; }
};

}  // namespace vantora::launcher::testing
