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
                                                        std::vector<win32::ControlBinding>{
                                                            {kOptRegistered, IDC_OPTREGISTERED, "OptionButton"},
                                                            {kOptNotRegistered, IDC_OPTNOTREGISTERED, "OptionButton"},
                                                            {kOptAbleToRun, IDC_OPTABLETORUN, "OptionButton"},
                                                            {kOptUnableToRun, IDC_OPTUNABLETORUN, "OptionButton"},
                                                            {"OK", IDC_OK, "CommandButton"},
                                                            {"frmSupervisor", IDC_FRMSUPERVISOR, "Frame"},
                                                            {"frmUserPwdMode", IDC_FRMUSERPWDMODE, "Frame"},
                                                            {"Image1", IDC_IMAGE1, "Image"},
                                                            {"Image2", IDC_IMAGE2, "Image"},
                                                            {"Image3", IDC_IMAGE3, "Image"}});
    setUp(*window);
    return window;
}

void BastioneForms::showSSPwdRegister() {
    win32::DialogWindow view(instance_, IDD_SSPWDREGISTER, kPwdFormName,
                             {{"labEnterPwd", IDC_LABENTERPWD, "Label"},
                              {kPasswordBox, IDC_TXTENTERPWD, "TextBox"},
                              {"OK", IDC_PWD_OK, "CommandButton"},
                              {"Cancel", IDC_PWD_CANCEL, "CommandButton"}});
    SSPwdRegister dialog(view, *main_, commonModule_, keyboard_);
    show(view, [&] { dialog.Form_Load(); });
}

void BastioneForms::showUserPwdMode() {
    win32::DialogWindow view(instance_, IDD_USERPWDMODE, kModeFormName,
                             {{kOptAbleToRun, IDC_MODE_OPTABLETORUN, "OptionButton"},
                              {kOptUnableToRun, IDC_MODE_OPTUNABLETORUN, "OptionButton"},
                              {"OK", IDC_MODE_OK, "CommandButton"},
                              {"Frame1", IDC_FRAME1, "Frame"}});
    UserPwdMode dialog(view, *main_);
    show(view, [&] { dialog.Form_Load(); });
}

void BastioneForms::show(win32::DialogWindow& view, std::function<void()> load) {
    setUp(view);
    view.onLoad = std::move(load);
    view.showModal(mainWindow_.hwnd());
}

}  // namespace vantora::supervisor
