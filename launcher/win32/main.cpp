// Keyloom: wires the launcher's logic to its windows and to the system.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "common/win32/desktop_win32.h"
#include "common/win32/dialog_window.h"
#include "common/win32/files_win32.h"
#include "common/win32/firmware_device_win32.h"
#include "common/win32/guarded.h"
#include "common/win32/program_folder.h"
#include "common/win32/shell_win32.h"
#include "common/win32/single_copy_win32.h"
#include "common/win32/win32_registry.h"
#include "launcher/form1.h"
#include "launcher/form3.h"
#include "launcher/launching.h"
#include "launcher/win32/resource.h"

namespace {

using namespace vantora;
using namespace vantora::launcher;

constexpr char kSingleCopyMutex[] = "Vantora.Keyloom.SingleCopy";

// The main window: the keyboard picture with a windowless label on each key.
std::unique_ptr<win32::FormWindow> makeForm1(HINSTANCE instance) {
    auto window = std::make_unique<win32::FormWindow>(instance, kForm1);
    win32::WindowlessLabels labels{{}, "MS Sans Serif", true};
    for (int i = 0; i < kKeyCount; ++i) labels.names.push_back(labelName(i));
    window->setWindowlessLabels(std::move(labels));
    window->setMenus({{"mAssignments", IDM_ASSIGNMENTS},
                      {"mTop", IDM_TOP},
                      {"mPopups", IDM_POPUPS},
                      {"mMinimize", IDM_MINIMIZE},
                      {"mHints", IDM_HINTS},
                      {"mConfirm", IDM_CONFIRM},
                      {"mIndex", IDM_INDEX},
                      {"mAbout", IDM_ABOUT},
                      {"umLaunch", IDM_UMLAUNCH},
                      {"umHelp", IDM_UMHELP},
                      {"mDynFnKey", IDM_DYNFNKEY},
                      {ui::indexed("mPopupCmd", 0), IDM_POPUPCMD0}},
                     {{"umTray", IDR_TRAYMENU}, {"mDynamics", IDR_DYNMENU}});
    const win32::WindowClassSpec spec{"Vantora.Keyloom.Form1",
                                      "Keyloom",
                                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                      IDR_MAINMENU,
                                      IDI_KEYLOOM,
                                      static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)),
                                      kPictureWidth,
                                      kPictureHeight};
    if (!window->createWindow(spec)) return nullptr;
    for (const auto& k : kKeyTable) window->setCaption(labelName(k.index), k.caption);
    return window;
}

// Form3 on its dialog template; one at a time, kept until the next one opens.
class AssignmentTypeDialog {
public:
    AssignmentTypeDialog(HINSTANCE instance, LauncherState& state, Store& store, ui::View& main,
                         WindowManagerPort& windows, HelpPort& help, std::string helpFile)
        : view_(instance, IDD_FORM3, "Form3",
                {{"Label1", IDC_FORM3_LABEL1, "Label"},
                 {"Check1", IDC_FORM3_CHECK1, "CheckBox"},
                 {"Command4", IDC_FORM3_COMMAND4, "CommandButton"},
                 {"Command5", IDC_FORM3_COMMAND5, "CommandButton"}}),
          form_(state, store, view_, main, {windows, help}, std::move(helpFile)) {
        view_.onLoad = [this] { form_.Form_Load(); };
    }
    void showModal(HWND owner) { view_.showModal(owner); }
    bool isOpen() const { return view_.isOpen(); }
    void bringForward() { SetForegroundWindow(view_.hwnd()); }
    void showModeless() {
        if (!view_.createModeless(nullptr)) return;
        view_.show();
        SetForegroundWindow(view_.hwnd());
    }

private:
    win32::DialogWindow view_;
    Form3 form_;
};

}  // namespace

static int runKeyloom(HINSTANCE instance) {
    win32::restrictDllSearch();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    Win32Registry registry;
    Store store(registry);
    LauncherState state;
    win32::Win32SingleCopy instances(kSingleCopyMutex);
    win32::Win32Windows windows;
    win32::Win32Screen screen;
    win32::Win32Shell shell;
    win32::Win32Processes processes;
    Win32OsVersion os;
    win32::Win32Files files;

    std::unique_ptr<win32::FormWindow> window;
    std::unique_ptr<win32::Win32Tray> tray;
    std::unique_ptr<win32::Win32Help> help;
    std::unique_ptr<Form1> form;
    std::unique_ptr<LaunchContext> launching;
    std::unique_ptr<AssignmentTypeDialog> form3;
    auto showForm3 = [&](bool modal) {
        // The one that is open stays: its modal loop may still be running.
        if (form3 && form3->isOpen()) {
            form3->bringForward();
            return;
        }
        form3 = std::make_unique<AssignmentTypeDialog>(instance, state, store, *window, windows, *help,
                                                       form->helpFile());
        if (modal)
            form3->showModal(window->hwnd());
        else
            form3->showModeless();
    };

    const bool first = StartUp(state, store, instances, windows, IsWin98OrMe(os), [&] {
        window = makeForm1(instance);
        if (!window) return;
        // Also when the session ends, after which the message loop never returns.
        window->onClosed = [&] {
            if (form) form->Form_Terminate();
            PostQuitMessage(0);
        };
        tray = std::make_unique<win32::Win32Tray>(LoadIconA(instance, MAKEINTRESOURCEA(IDI_KEYLOOM)));
        help = std::make_unique<win32::Win32Help>(window->hwnd());
        form = std::make_unique<Form1>(
            state, store, *window, *window, Form1Ports{screen, windows, *tray, *help, shell, win32::programFolder()},
            Form1Actions{[&] { LaunchCurrentKey(*launching); }, [&] { showForm3(true); }, {}, {}});
        launching = std::make_unique<LaunchContext>(
            LaunchContext{state, store, *form, *window, windows, shell, processes, files, showForm3});
        form->Form_Load();
        ShowWindow(window->hwnd(), SW_SHOWNORMAL);
        UpdateWindow(window->hwnd());
    });
    if (!first || !form) return 0;

    return win32::FormWindow::runMessageLoop();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return win32::guarded(1, [=] { return runKeyloom(instance); });
}
