#pragma once
// Processes as the launcher starts, finds and brings back the programs a key holds.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "common/ports/window_handle.h"

namespace vantora {

using ProcessId = std::uint32_t;

class ProcessPort {
public:
    virtual ~ProcessPort() = default;

    // Starts this program file, searched for nowhere, with this command line as a new
    // process, shown normally and given the focus. Returns its id, or nullopt for
    // anything that is not a program. The port keeps hold of every process it started
    // until forget(), so that such an id cannot be handed to another program while the
    // launcher still remembers it.
    virtual std::optional<ProcessId> startProcess(const std::string& program, const std::string& commandLine) = 0;
    // The program started under this id is still running (not merely some process
    // that now carries the id).
    virtual bool isRunning(ProcessId id) = 0;
    virtual void forget(ProcessId id) = 0;

    // The ids of a process snapshot; nullopt when the snapshot cannot be taken.
    virtual std::optional<std::vector<ProcessId>> processIds() = 0;

    // The visible top-level window a user would call the program's window (unowned,
    // not a tool window); 0 when it has none. startedWindow first waits, within a
    // short bound, for a program just started to become ready for input.
    virtual WindowHandle mainWindowOf(ProcessId id) = 0;
    virtual WindowHandle startedWindow(ProcessId id) = 0;
    virtual ProcessId windowProcess(WindowHandle window) = 0;
};

}  // namespace vantora
