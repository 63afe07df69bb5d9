#pragma once
// SSPwdRegister: the password dialog. The box records the scan code of every key in a
// key-code string (through the scan-code filter) and shows one asterisk per key; what
// the dialog is for comes from the main window's Tag, and the result goes back to the
// main window's o_EnterPwd and option buttons.
#include <cstdint>
#include <string>

#include "common/ports/common_module.h"
#include "common/ports/keyboard.h"
#include "common/ui/view.h"
#include "supervisor/bios/key_code_string.h"
#include "supervisor/scan_code_filter.h"
#include "supervisor/supervisor.h"

namespace vantora::supervisor {

inline constexpr char kPwdFormName[] = "SSPwdRegister";
inline constexpr char kPasswordBox[] = "txtEnterPwd";
inline constexpr int kPasswordBoxChars = 10;
inline constexpr ui::DeclaredControl kSSPwdRegisterControls[] = {
    {"labEnterPwd", "Label"}, {kPasswordBox, "TextBox"}, {"OK", "CommandButton"}, {"Cancel", "CommandButton"}};

class SSPwdRegister {
public:
    SSPwdRegister(ui::View& view, Supervisor& main, CommonModulePort& commonModule, KeyboardPort& keyboard);
    SSPwdRegister(const SSPwdRegister&) = delete;
    SSPwdRegister& operator=(const SSPwdRegister&) = delete;

    void Form_Load();
    void OK_Click();
    void Cancel_Click();

    int keyCount() const { return keyCount_; }
    std::size_t keyGroups() const { return keyCodes_.groupCount(); }

private:
    bool txtEnterPwd_Filter(const ui::ControlMessage& message);
    bool decide(const ui::ControlMessage& message);
    // The keys recorded: the most the box may show.
    int recordedKeys() const;
    void txtEnterPwd_KeyDown(int key, bool recorded);
    bool txtEnterPwd_KeyPress(int character);
    void txtEnterPwd_Change();
    void txtEnterPwd_KeyUp();
    void showAsterisks();
    void caretToEnd();
    // ChkSupervisorPwd; a wrong password is counted, reported and cancels the dialog.
    bool passwordMatches();
    void deleteSupervisorPwd();
    void setInvalidPwdCnt(std::int32_t count);
    void message(const std::string& text);
    void Form_Unload();

    ui::View& view_;
    Supervisor& main_;
    CommonModulePort& commonModule_;
    ScanCodeFilter filter_;
    PasswordModeTexts modeTexts_;
    KeyCodeString keyCodes_;
    int keyCount_ = 0;
    bool added_ = false, removed_ = false;
    bool trimMark_ = false;
    bool finished_ = false;
    bool inFilter_ = false;
};

}  // namespace vantora::supervisor
