#pragma once
// UserPwdMode: asked right after a new supervisor password was verified, whether a user
// without it may run Rigpanel. The answer goes to the main window's mode options; the
// main window's OK writes it to the BIOS.
#include "common/ui/view.h"
#include "supervisor/supervisor.h"

namespace vantora::supervisor {

inline constexpr char kModeFormName[] = "UserPwdMode";
inline constexpr ui::DeclaredControl kUserPwdModeControls[] = {
    {kOptAbleToRun, "OptionButton"}, {kOptUnableToRun, "OptionButton"}, {"OK", "CommandButton"}, {"Frame1", "Frame"}};

class UserPwdMode {
public:
    UserPwdMode(ui::View& view, Supervisor& main);
    UserPwdMode(const UserPwdMode&) = delete;
    UserPwdMode& operator=(const UserPwdMode&) = delete;

    void Form_Load();
    void OK_Click();

private:
    void choose(const char* on, const char* off);
    void Form_KeyPress(int key);

    ui::View& view_;
    Supervisor& main_;
};

}  // namespace vantora::supervisor
