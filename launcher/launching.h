#pragma once
// What an Fn+key press or a left click on a key does: start the key's program, bring
// back the copy started earlier, show its popup list, or ask for an assignment.
#include <cstdint>
#include <functional>
#include <string>

#include "common/ports/common_module.h"
#include "common/ports/file_system.h"
#include "common/ports/shell.h"
#include "launcher/form1.h"

namespace vantora::launcher {

struct LaunchContext {
    LauncherState& state;
    Store& store;
    Form1& form1;
    ui::View& form1View;
    WindowManagerPort& windows;
    ShellPort& shell;
    ProcessPort& processes;
    FileSystemPort& files;
    std::function<void(bool modal)> showForm3;  // the Assignment Type dialog
};

void LaunchCurrentKey(LaunchContext& c);

// What the common module tells about a shortcut, in the order of its arguments.
struct ShortcutInfo {
    std::string TargetPath, Arguments, WorkingDirectory, Description, IconLocation;
    std::int32_t IconIndex = 0, ShowCommand = 0;
};

// A failed or unavailable lookup leaves `info` as it was.
void ResolveShortcut(CommonModulePort& module, const std::string& shortcutPath, ShortcutInfo& info);

}  // namespace vantora::launcher
