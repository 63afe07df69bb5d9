#include "supervisor/win32/forms.h"

#include <utility>

#include "supervisor/ss_pwd_register.h"
#include "supervisor/user_pwd_mode.h"
#include "supervisor/win32/resource.h"

namespace vantora::supervisor {

namespace {

// Every window of the program looks alike, whichever font the system substitutes.
void setUp(win32::DialogWindow& view) {
    view.setDesignBaseUnits(win32::kShellDlgBaseUnitsX, win32::kShellDlgBaseUnitsY);
    view.setIcon(IDI_BASTIONE);
}

}  // namespace

std::unique_ptr<win32::DialogWindow> makeSupervisorWindow(HINSTANCE instance) {
    auto window = std::make_unique<win32::DialogWindow>(instance, IDD_SUPERVISOR, kFormName,
                                                        ui::bindIds<win32::ControlBinding>(
                                                            kSupervisorControls,
                                                            {IDC_OPTREGISTERED, IDC_OPTNOTREGISTERED, IDC_OPTABLETORUN,
                                                             IDC_OPTUNABLETORUN, IDC_OK, IDC_FRMSUPERVISOR,
                                                             IDC_FRMUSERPWDMODE, IDC_IMAGE1, IDC_IMAGE2, IDC_IMAGE3}));
    setUp(*window);
    return window;
}

void BastioneForms::showSSPwdRegister() {
    win32::DialogWindow view(instance_, IDD_SSPWDREGISTER, kPwdFormName,
                             ui::bindIds<win32::ControlBinding>(
                                 kSSPwdRegisterControls, {IDC_LABENTERPWD, IDC_TXTENTERPWD, IDC_PWD_OK, IDC_PWD_CANCEL}));
    SSPwdRegister dialog(view, *main_, commonModule_, keyboard_);
    show(view, [&] { dialog.Form_Load(); });
}

void BastioneForms::showUserPwdMode() {
    win32::DialogWindow view(instance_, IDD_USERPWDMODE, kModeFormName,
                             ui::bindIds<win32::ControlBinding>(
                                 kUserPwdModeControls,
                                 {IDC_MODE_OPTABLETORUN, IDC_MODE_OPTUNABLETORUN, IDC_MODE_OK, IDC_FRAME1}));
    UserPwdMode dialog(view, *main_);
    show(view, [&] { dialog.Form_Load(); });
}

void BastioneForms::show(win32::DialogWindow& view, std::function<void()> load) {
    setUp(view);
    view.onLoad = std::move(load);
    view.showModal(mainWindow_.hwnd());
}

}  // namespace vantora::supervisor
