// Keyloom: wires the launcher's logic to its windows and to the system.
#include <windows.h>

#include <memory>

#include "common/win32/desktop_win32.h"
#include "common/win32/common_module_win32.h"
#include "common/win32/dialog_window.h"
#include "common/win32/file_dialog_win32.h"
#include "common/win32/files_win32.h"
#include "common/win32/firmware_device_win32.h"
#include "common/win32/guarded.h"
#include "common/win32/input_timing_win32.h"
#include "common/win32/program_folder.h"
#include "common/win32/shell_folders_win32.h"
#include "common/win32/shell_win32.h"
#include "common/win32/single_copy_win32.h"
#include "common/win32/string_library_win32.h"
#include "common/win32/version_info_win32.h"
#include "common/win32/win32_registry.h"
#include "common/win32/window_identity.h"
#include "launcher/form1.h"
#include "launcher/form3.h"
#include "launcher/form_controls.h"
#include "launcher/launching.h"
#include "launcher/win32/dialogs.h"
#include "launcher/win32/resource.h"

namespace {

using namespace vantora;
using namespace vantora::launcher;

constexpr char kSingleCopyMutex[] = "Vantora.Keyloom.SingleCopy";

constexpr char kForm1Class[] = "Vantora.Keyloom.Form1";

// What a second copy may bring back: only the first copy's main window. After a crash the
// published number may name a window of any other program.
class FirstCopyWindow : public win32::Win32Windows {
public:
    bool ShowWindow(WindowHandle w, int command) override { return ours(w) && Win32Windows::ShowWindow(w, command); }
    bool SetForegroundWindow(WindowHandle w) override { return ours(w) && Win32Windows::SetForegroundWindow(w); }

private:
    static bool ours(WindowHandle w) {
        return win32::isWindowOf(win32::toHwnd(w), kForm1Class, win32::programNameOf(GetCurrentProcessId()).c_str());
    }
};

// The main window: the keyboard picture with a windowless label on each key.
std::unique_ptr<win32::FormWindow> makeForm1(HINSTANCE instance) {
    auto window = std::make_unique<win32::FormWindow>(instance, kForm1);
    win32::WindowlessLabels labels{{}, "MS Sans Serif", true};
    for (int i = 0; i < kKeyCount; ++i) labels.names.push_back(labelName(i));
    window->setWindowlessLabels(std::move(labels));
    window->setMenus(ui::bindIds<win32::MenuBinding>(kForm1Menus, {IDM_ASSIGNMENTS, IDM_TOP, IDM_POPUPS, IDM_MINIMIZE,
                                                                 IDM_HINTS, IDM_CONFIRM, IDM_INDEX, IDM_ABOUT, IDM_OPTIONS,
                                                                 IDM_HELP, IDM_UMLAUNCH, IDM_UMHELP, IDM_DYNFNKEY,
                                                                 IDM_POPUPCMD0}),
                     ui::bindIds<win32::PopupMenuBinding>(kForm1PopupMenus, {IDR_TRAYMENU, IDR_DYNMENU}));
    const win32::WindowClassSpec windowClass{kForm1Class,
                                      "Keyloom",
                                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                      IDR_MAINMENU,
                                      IDI_KEYLOOM,
                                      static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)),
                                      kPictureWidth,
                                      kPictureHeight};
    if (!window->createWindow(windowClass)) return nullptr;
    for (const auto& k : kKeyTable) window->setCaption(labelName(k.index), k.caption);
    return window;
}

}  // namespace

static int runKeyloom(HINSTANCE instance) {
    win32::restrictDllSearch();
    win32::enterProgramFolder();

    Win32Registry registry;
    Store store(registry);
    LauncherState state;
    win32::Win32SingleCopy instances(kSingleCopyMutex, win32::SingleCopyBoundary::User);
    win32::Win32Windows windows;
    win32::Win32Screen screen;
    win32::Win32Shell shell;
    win32::Win32Processes processes;
    win32::Win32InputTiming timing;
    Win32OsVersion os;
    win32::Win32Files files;
    win32::Win32StringLibrary libraries(win32::programFolder());
    win32::Win32VersionInfo version;
    const LanguagePorts language{libraries, screen};

    std::unique_ptr<win32::FormWindow> window;
    std::unique_ptr<win32::Win32Tray> tray;
    std::unique_ptr<win32::Win32Help> help;
    std::unique_ptr<Form1> form;
    std::unique_ptr<LaunchContext> launching;
    std::unique_ptr<KeyloomForms> dialogs;
    win32::Win32FileDialog fileDialog;
    win32::Win32CommonModule commonModule;
    win32::Win32ShellFolders shellFolders;
    auto showForm3 = [&](bool modal) { dialogs->showForm3(modal); };

    FirstCopyWindow firstCopy;
    const bool first = StartUp(state, store, instances, firstCopy, IsWin98OrMe(os), [&] {
        window = makeForm1(instance);
        if (!window) return;
        // Also when the session ends, after which the message loop never returns.
        window->onClosed = [&] {
            if (form) form->Form_Terminate();
            PostQuitMessage(0);
        };
        tray = std::make_unique<win32::Win32Tray>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_KEYLOOM)));
        help = std::make_unique<win32::Win32Help>(window->hwnd());
        const std::string folder = win32::programFolder();
        form = std::make_unique<Form1>(
            state, store, *window, *window, Form1Ports{screen, windows, *tray, *help, shell, timing, folder, &language},
            Form1Actions{[&] { LaunchCurrentKey(*launching); }, [&] { showForm3(true); }, [&] { dialogs->showForm2(); },
                         [&] { dialogs->showAbout(); }});
        dialogs = std::make_unique<KeyloomForms>(KeyloomForms::Context{
            instance, state, store, *window, windows, *help, files, fileDialog, commonModule, shellFolders,
            form->helpFile(), language, version});
        launching = std::make_unique<LaunchContext>(
            LaunchContext{state, store, *form, *window, windows, shell, processes, files, showForm3});
        tray->hold();
        form->Form_Load();
        ShowWindow(window->hwnd(), SW_SHOWNORMAL);
        UpdateWindow(window->hwnd());
        tray->release();
    });
    if (!first || !form) return 0;

    return win32::FormWindow::runMessageLoop();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return win32::guarded(1, [=] { return runKeyloom(instance); });
}
