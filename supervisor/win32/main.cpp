// BASTIONE: the Win32 host of the supervisor password utility. Wiring only: the
// windows come from the resource script, the behaviour from the portable logic.
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

#include "common/win32/common_module_win32.h"
#include "common/win32/desktop_win32.h"
#include "common/win32/dialog_window.h"
#include "common/win32/firmware_device_win32.h"
#include "common/win32/guarded.h"
#include "common/win32/keyboard_win32.h"
#include "common/win32/power_win32.h"
#include "common/win32/program_folder.h"
#include "common/win32/single_copy_win32.h"
#include "common/win32/string_library_win32.h"
#include "supervisor/ss_pwd_register.h"
#include "supervisor/supervisor.h"
#include "supervisor/user_pwd_mode.h"
#include "supervisor/win32/resource.h"

namespace {

using namespace vantora;
using namespace vantora::supervisor;

constexpr char kSingleCopyMutex[] = "Vantora.BASTIONE.SingleCopy";
// MS Shell Dlg at 8 points on Windows at 96 dpi: what the templates' units mean.
constexpr int kTemplateBaseUnitsX = 6;
constexpr int kTemplateBaseUnitsY = 13;

void setIcons(HINSTANCE instance, HWND window) {
    for (const auto& [which, metric] : {std::pair{ICON_BIG, SM_CXICON}, std::pair{ICON_SMALL, SM_CXSMICON}}) {
        const int size = GetSystemMetrics(metric);
        const auto icon = LoadImageA(instance, MAKEINTRESOURCEA(IDI_BASTIONE), IMAGE_ICON, size, size, LR_SHARED);
        SendMessageA(window, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

// The two dialogs, each made anew for every showing and shown modally over the main
// window; the logic object lives exactly as long as its window's showing.
class BastioneForms final : public SupervisorForms {
public:
    BastioneForms(HINSTANCE instance, win32::DialogWindow& mainWindow, CommonModulePort& commonModule,
                  KeyboardPort& keyboard)
        : instance_(instance), mainWindow_(mainWindow), commonModule_(commonModule), keyboard_(keyboard) {}

    void attach(Supervisor& main) { main_ = &main; }

    void showSSPwdRegister() override {
        win32::DialogWindow view(instance_, IDD_SSPWDREGISTER, kPwdFormName,
                                 ui::bindIds<win32::ControlBinding>(
                                     kSSPwdRegisterControls,
                                     {IDC_LABENTERPWD, IDC_TXTENTERPWD, IDC_PWD_OK, IDC_PWD_CANCEL}));
        SSPwdRegister dialog(view, *main_, commonModule_, keyboard_);
        show(view, [&] { dialog.Form_Load(); });
    }

    void showUserPwdMode() override {
        win32::DialogWindow view(instance_, IDD_USERPWDMODE, kModeFormName,
                                 ui::bindIds<win32::ControlBinding>(
                                     kUserPwdModeControls,
                                     {IDC_MODE_OPTABLETORUN, IDC_MODE_OPTUNABLETORUN, IDC_MODE_OK, IDC_FRAME1}));
        UserPwdMode dialog(view, *main_);
        show(view, [&] { dialog.Form_Load(); });
    }

private:
    void show(win32::DialogWindow& view, std::function<void()> load) {
        view.setDesignBaseUnits(kTemplateBaseUnitsX, kTemplateBaseUnitsY);
        view.onLoad = [&view, load = std::move(load), this] {
            setIcons(instance_, view.hwnd());
            load();
        };
        view.showModal(mainWindow_.hwnd());
    }

    HINSTANCE instance_;
    win32::DialogWindow& mainWindow_;
    CommonModulePort& commonModule_;
    KeyboardPort& keyboard_;
    Supervisor* main_ = nullptr;
};

int run(HINSTANCE instance) {
    win32::restrictDllSearch();
    win32::enterProgramFolder();

    win32::Win32CommonModule commonModule;
    win32::Win32Windows windows;
    win32::Win32SingleCopy instances(kSingleCopyMutex, win32::SingleCopyBoundary::Administrators);
    win32::Win32Power power;
    win32::Win32Keyboard keyboard;
    Win32FirmwareDevice device;
    Win32OsVersion osVersion;
    Win32SmiDll smiDll;
    win32::Win32Screen screen;
    win32::Win32StringLibrary libraries(win32::programFolder());

    win32::DialogWindow window(instance, IDD_SUPERVISOR, kFormName,
                               ui::bindIds<win32::ControlBinding>(
                                   kSupervisorControls,
                                   {IDC_OPTREGISTERED, IDC_OPTNOTREGISTERED, IDC_OPTABLETORUN, IDC_OPTUNABLETORUN, IDC_OK,
                                    IDC_FRMSUPERVISOR, IDC_FRMUSERPWDMODE, IDC_IMAGE1, IDC_IMAGE2, IDC_IMAGE3}));
    window.setDesignBaseUnits(kTemplateBaseUnitsX, kTemplateBaseUnitsY);

    BastioneForms forms(instance, window, commonModule, keyboard);
    Supervisor supervisor(window, {commonModule, windows, instances, power, {device, osVersion, &smiDll}, {libraries, screen}}, forms);
    forms.attach(supervisor);
    window.onLoad = [&] {
        setIcons(instance, window.hwnd());
        supervisor.Form_Load();
    };
    // Closing the main window, whichever way, ends the program.
    window.onClosed = [] { PostQuitMessage(0); };
    if (!window.createModeless(nullptr)) return 0;
    window.show();
    SetForegroundWindow(window.hwnd());
    return win32::DialogWindow::runMessageLoop();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return win32::guarded(1, [=] { return run(instance); });
}
