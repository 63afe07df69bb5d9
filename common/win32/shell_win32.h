#pragma once
#include <windows.h>

#include <map>

#include "common/ports/shell.h"
#include "common/win32/owners.h"

namespace vantora::win32 {

class Win32Shell : public ShellPort {
public:
    bool ShellExecuteA(const std::string& file, const std::string& parameters) override;
    void mouseMove(int dx, int dy) override;
};

class Win32Processes : public ProcessPort {
public:
    std::optional<ProcessId> startProcess(const std::string& program, const std::string& commandLine) override;
    bool isRunning(ProcessId id) override;
    void forget(ProcessId id) override;
    std::optional<std::vector<ProcessId>> processIds() override;
    WindowHandle mainWindowOf(ProcessId id) override;
    WindowHandle startedWindow(ProcessId id) override;
    ProcessId windowProcess(WindowHandle window) override;

private:
    std::map<ProcessId, UniqueHandle> started_;  // held so that their ids stay theirs
};

}  // namespace vantora::win32
