#include "launcher/launching.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "launcher/assignments.h"
#include "launcher/command_line.h"
#include "launcher/store.h"

namespace vantora::launcher {

namespace {

std::optional<ResolvedCommand> resolve(LaunchContext& c, const std::string& command) {
    return resolveCommand(command, [&files = c.files](const std::string& name) { return files.findFile(name); });
}

bool isMainWindowForeground(LaunchContext& c) {
    return c.windows.GetForegroundWindow() == c.state.MainWindowHandle;
}

void minimizeOnUse(LaunchContext& c, const StoredString& minimize) {
    if (minimize.text == "1") c.form1.goToTray();
}

void unassignedKey(LaunchContext& c) {
    const ui::WindowState shown = c.form1View.windowState();
    if (!c.state.anyDialogOpen()) {
        if (shown == ui::WindowState::Normal) {
            if (c.showForm3) c.showForm3(true);
            if (!isMainWindowForeground(c)) c.windows.SetForegroundWindow(c.state.MainWindowHandle);
        } else if (shown == ui::WindowState::Minimized) {
            if (c.showForm3) c.showForm3(false);
        }
        return;
    }
    if (shown == ui::WindowState::Normal) {
        if (!isMainWindowForeground(c)) c.windows.SetForegroundWindow(c.state.MainWindowHandle);
    } else {
        c.windows.SetForegroundWindow(c.state.activeFormWindow());
    }
}

void popupList(LaunchContext& c, const std::string& command) {
    const std::string prg = std::string(kPrgKey) + "\\" + c.state.CurrentKeyName;
    const StoredString fileCount = c.store.readUser(prg.c_str(), "FileCount");
    if (!fileCount.exists()) return;
    // A list whose entries are all gone has nothing to offer but its folder.
    if (numericValue(fileCount.text) == 0 || !c.form1.showPopupList()) c.shell.ShellExecuteA(command.substr(1));
}

// The shell takes a file, not a command line: a command with arguments handed to it
// whole opens nothing. Then the file the command names goes with the rest as its
// parameters. A command that names no file is not split: the shell would take its
// first word for the program, as CreateProcess does.
void openCommand(LaunchContext& c, const std::string& command) {
    if (c.shell.ShellExecuteA(command)) return;
    if (const auto resolved = resolve(c, command); resolved && resolved->file != command)
        c.shell.ShellExecuteA(resolved->file, resolved->arguments);
}

struct EarlierCopy {
    enum { None, Running, Unknown } state = None;
    WindowHandle window = 0;  // 0 while the running program shows no window
};

// The copy started for key i, if that very program still runs. The window recorded
// at the start is used while it still belongs to the program; otherwise the program's
// window is looked up again (it may have had none yet when it was started).
EarlierCopy earlierCopy(LaunchContext& c, int i) {
    const ProcessId id = c.state.LaunchedProcessIds[i];
    if (id == 0) return {};
    const auto snapshot = c.processes.processIds();
    if (!snapshot) return {EarlierCopy::Unknown};
    const std::string label = labelName(i);
    const bool listed = std::find(snapshot->begin(), snapshot->end(), id) != snapshot->end();
    if (!listed || !c.processes.isRunning(id)) {
        c.processes.forget(id);
        c.state.LaunchedProcessIds[i] = 0;
        c.form1View.setTag(label, "0");
        return {};
    }
    const auto recorded = static_cast<WindowHandle>(numericValue(c.form1View.tag(label)));
    if (recorded != 0 && c.windows.IsWindow(recorded) && c.processes.windowProcess(recorded) == id)
        return {EarlierCopy::Running, recorded};
    const WindowHandle now = c.processes.mainWindowOf(id);
    c.form1View.setTag(label, std::to_string(now));
    return {EarlierCopy::Running, now};
}

void switchToOrStart(LaunchContext& c, const std::string& command, const StoredString& minimize) {
    const int i = c.state.CurrentKeyIndex;
    if (i < 0 || i >= kKeyCount) return;
    const EarlierCopy earlier = earlierCopy(c, i);
    if (earlier.state == EarlierCopy::Unknown) return;
    if (earlier.state == EarlierCopy::Running) {
        if (earlier.window != 0) {
            c.windows.ShowWindow(earlier.window, c.windows.IsIconic(earlier.window) ? kSwShowNormal : kSwShow);
            c.windows.SetForegroundWindow(earlier.window);
        }
        minimizeOnUse(c, minimize);
        return;
    }
    // A command that names no file starts nothing; the shell, given it whole, fails
    // as it does for any missing file.
    const auto resolved = resolve(c, command);
    if (!resolved) {
        c.shell.ShellExecuteA(command);
        return;
    }
    const auto started = c.processes.startProcess(resolved->file, resolved->commandLine());
    if (!started) {
        openCommand(c, command);
        return;
    }
    c.state.LaunchedProcessIds[i] = *started;
    c.form1View.setTag(labelName(i), std::to_string(c.processes.startedWindow(*started)));
    minimizeOnUse(c, minimize);
}

}  // namespace

void LaunchCurrentKey(LaunchContext& c) {
    LauncherState& s = c.state;
    s.CurrentKeyStatus = 100;
    const StoredString switchOption = c.store.readUser(kOptsKey, s.CurrentKeyName);
    const StoredString command = c.store.readUser(kCmdKey, s.CurrentKeyName);
    s.CurrentKeyStatus = command.status;
    if (!command.exists()) {
        unassignedKey(c);
        return;
    }
    if (!isMainWindowForeground(c)) {
        c.shell.mouseMove(-1, 1);
        c.shell.mouseMove(1, 1);
    }
    const StoredString minimize = c.store.readUser(kCfgKey, "opts3");
    if (!command.text.empty() && command.text[0] == '@') {
        popupList(c, command.text);
    } else if (numericValue(switchOption.text) == 0) {
        openCommand(c, command.text);
        minimizeOnUse(c, minimize);
    } else {
        switchToOrStart(c, command.text, minimize);
    }
}

void ResolveShortcut(CommonModulePort& module, const std::string& shortcutPath, ShortcutInfo& info) {
    std::array<std::array<char, kShortcutTextChars>, 5> texts{};
    std::int32_t number1 = 0, number2 = 0;
    try {
        if (module.GetShortCutInfo(texts[0].data(), shortcutPath.c_str(), texts[1].data(), texts[2].data(),
                                   texts[3].data(), texts[4].data(), &number1, &number2) == 0)
            return;
    } catch (const CommonModuleError&) {
        return;  // without the module there is nothing to resolve
    }
    auto text = [](const std::array<char, kShortcutTextChars>& b) {
        const void* end = std::memchr(b.data(), '\0', b.size());
        return end ? std::string(b.data(), static_cast<const char*>(end)) : std::string();
    };
    info = {text(texts[0]), text(texts[1]), text(texts[2]), text(texts[3]), text(texts[4]), number1, number2};
}

}  // namespace vantora::launcher
