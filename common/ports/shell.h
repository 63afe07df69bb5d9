#pragma once
// The shell, as the launcher uses it to open what a key holds and to nudge the pointer.
#include <string>

#include "common/ports/processes.h"  // the shell's fake plays the process list too

namespace vantora {

class ShellPort {
public:
    virtual ~ShellPort() = default;
    // ShellExecuteA with no owner, the default verb, no directory and show command 1.
    // True when the shell opened it (a result above 32).
    virtual bool ShellExecuteA(const std::string& file, const std::string& parameters = "") = 0;
    // mouse_event: a relative pointer move (flags 1), no data, no extra information.
    virtual void mouseMove(int dx, int dy) = 0;
};

}  // namespace vantora
