#pragma once
// The shell and the process list in memory: what was opened or started, in order,
// and a failure switch for each call that can fail.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/ports/shell.h"

namespace vantora::testing {

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

// Programs the port started, and the other processes a snapshot lists.
struct FakeProcesses : ProcessPort {
    struct Program {
        std::string commandLine;
        WindowHandle window = 0;  // its main window; 0 while it has none
        bool running = true;
    };
    std::map<ProcessId, Program> programs;
    std::vector<ProcessId> others;
    std::set<std::string> notPrograms;  // files that fail to start
    std::vector<std::string> started;   // program file + " | " + command line
    bool snapshotFails = false;
    bool windowWhenStarted = true;  // the program has its window by the time the start returns
    ProcessId nextId = 0x500;
    WindowHandle nextWindow = 0x7000;

    std::optional<ProcessId> startProcess(const std::string& program, const std::string& commandLine) override {
        started.push_back(program + " | " + commandLine);
        if (notPrograms.count(program)) return std::nullopt;
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

}  // namespace vantora::testing
