#include "supervisor/ss_pwd_register.h"

#include <algorithm>

#include "supervisor/bios/dezez.h"

namespace vantora::supervisor {

namespace {

constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;
// Ctrl+X, Ctrl+C and Ctrl+A as characters: each makes the box read-only.
constexpr int kCtrlX = 24, kCtrlC = 3, kCtrlA = 1;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

SSPwdRegister::SSPwdRegister(ui::View& view, Supervisor& main, CommonModulePort& commonModule,
                             KeyboardPort& keyboard)
    : view_(view), main_(main), commonModule_(commonModule), filter_(keyboard) {
    using ui::Event;
    view_.on("OK", Event::Click, [this] { OK_Click(); });
    view_.on("Cancel", Event::Click, [this] { Cancel_Click(); });
    view_.on(kPwdFormName, Event::KeyPress, [this](int key) {
        if (key == ui::kKeyEscape) Cancel_Click();
    });
    view_.on(kPasswordBox, Event::Change, [this] { txtEnterPwd_Change(); });
    view_.on(kPasswordBox, Event::Click, [this] { caretToEnd(); });
    view_.on(kPwdFormName, Event::Unload, [this] { Form_Unload(); });
}

void SSPwdRegister::Form_Load() {
    keyCodes_.reset();
    keyCount_ = 0;
    added_ = removed_ = trimMark_ = finished_ = false;
    ui::TextBox& box = view_.textBox(kPasswordBox);
    box.setPasswordChar('*');
    box.setMaxLength(kPasswordBoxChars);
    box.setLocked(false);
    box.setText("");
    box.setMessageFilter([this](const ui::ControlMessage& m) { return txtEnterPwd_Filter(m); });
    main_.LanguageCode = LocalizeSSPwdRegister(view_, main_.language(), modeTexts_);
    const PasswordModeTexts& texts = modeTexts_;
    const std::string tag = main_.Tag();
    if (tag == kRegister) {
        view_.setCaption(kPwdFormName, texts.registrationCaption);
        view_.setCaption("labEnterPwd", texts.registrationPrompt);
    } else if (tag == kVerification) {
        view_.setCaption(kPwdFormName, texts.verificationCaption);
        view_.setCaption("labEnterPwd", texts.verificationPrompt);
    }
}

void SSPwdRegister::Form_Unload() {
    // The close box, Alt+F4 or the end of the session leave as Cancel does: the main
    // window must not go on showing the option the user abandoned.
    if (!finished_) Cancel_Click();
    // Leaving by Enter or Esc unloads from inside the filter itself, which must not be
    // destroyed while it runs; it then goes with the window.
    if (!inFilter_) view_.textBox(kPasswordBox).setMessageFilter({});
    keyCodes_.reset();
}

bool SSPwdRegister::txtEnterPwd_Filter(const ui::ControlMessage& m) {
    if (finished_) return false;
    inFilter_ = true;
    const bool pass = decide(m);
    inFilter_ = false;
    return pass;
}

bool SSPwdRegister::decide(const ui::ControlMessage& m) {
    const ui::TextBox& box = view_.textBox(kPasswordBox);
    const FilterDecision decision = filter_.filter(m, {box.hasFocus(), box.locked()}, keyCodes_);
    if (decision.focusBox) view_.setFocus(kPasswordBox);
    if (decision.pastedKeys > 0) {
        keyCount_ = std::min(kPasswordBoxChars, keyCount_ + decision.pastedKeys);
        showAsterisks();
    }
    if (!decision.pass) return false;
    using K = ui::ControlMessage::Kind;
    switch (m.kind) {
    case K::KeyDown:
        txtEnterPwd_KeyDown(m.key, decision.keyRecorded);
        return true;
    case K::Char:
        return txtEnterPwd_KeyPress(m.key);
    case K::KeyUp:
        txtEnterPwd_KeyUp();
        return true;
    case K::LeftButtonUp:
        caretToEnd();
        return true;
    default:
        return true;
    }
}

void SSPwdRegister::txtEnterPwd_KeyDown(int key, bool recorded) {
    if (key == kKeyEnter) {
        view_.setFocus("OK");
        OK_Click();
        return;
    }
    if (recorded && keyCount_ < kPasswordBoxChars) ++keyCount_, added_ = true;
    if (key == kKeyBackspace && keyCount_ > 0) --keyCount_, removed_ = true;
}

int SSPwdRegister::recordedKeys() const {
    return static_cast<int>(keyCodes_.groupCount());
}

bool SSPwdRegister::txtEnterPwd_KeyPress(int character) {
    if (character == ui::kKeyEscape) {
        Cancel_Click();
        return false;
    }
    ui::TextBox& box = view_.textBox(kPasswordBox);
    const int length = static_cast<int>(box.text().size());
    if (length >= kPasswordBoxChars) return true;
    box.setLocked(character == kCtrlX || character == kCtrlC || character == kCtrlA);
    if (recordedKeys() == length) {
        trimMark_ = true;
        return true;
    }
    if (character < ' ') return true;
    // A recorded key: the asterisk stands in for its character, which never enters the
    // window text, where any program could read it.
    showAsterisks();
    return false;
}

void SSPwdRegister::txtEnterPwd_Change() {
    if (!trimMark_) return;
    trimMark_ = false;
    ui::TextBox& box = view_.textBox(kPasswordBox);
    const std::string text = box.text();
    const std::size_t keep = static_cast<std::size_t>(recordedKeys());
    if (text.size() > keep) box.setText(text.substr(0, keep));
    caretToEnd();
}

void SSPwdRegister::txtEnterPwd_KeyUp() {
    if (filter_.altDown()) view_.setFocus(kPasswordBox);
    showAsterisks();
    added_ = removed_ = false;
}

void SSPwdRegister::showAsterisks() {
    view_.textBox(kPasswordBox).setText(std::string(static_cast<std::size_t>(keyCount_), '*'));
    caretToEnd();
}

void SSPwdRegister::caretToEnd() {
    ui::TextBox& box = view_.textBox(kPasswordBox);
    box.setSelection(static_cast<int>(box.text().size()), 0);
}

void SSPwdRegister::message(const std::string& text) {
    view_.messageBox(text, main_.messageTitle(), ui::kMbOk | ui::kMbIconExclamation);
}

void SSPwdRegister::setInvalidPwdCnt(std::int32_t count) {
    try {
        commonModule_.SetInvalidPwdCnt(count);
    } catch (const CommonModuleError&) {
        // A failed call is skipped, as everywhere but at start-up.
    }
}

bool SSPwdRegister::passwordMatches() {
    DEZEZ bios = main_.bios().make();
    if (bios.ChkSupervisorPwd(keyCodes_) == -1) {
        setInvalidPwdCnt(0);
        return true;
    }
    setInvalidPwdCnt(main_.invalidPwdCount() + 1);
    message(main_.texts().invalidPassword);
    Cancel_Click();
    return false;
}

// The BIOS is asked afterwards whether the password is gone: a deletion it did not
// take must not leave the window showing "Not Registered", nor open the way for users
// to the hardware setup (SCUItem14 = 1) while the password stays.
void SSPwdRegister::deleteSupervisorPwd() {
    const bool ableBefore = main_.isOn(kOptAbleToRun), unableBefore = main_.isOn(kOptUnableToRun);
    main_.passwordAccepted = true;
    main_.setOption(kOptRegistered, false);
    main_.setOption(kOptNotRegistered, true);
    main_.setOption(kOptAbleToRun, false);
    main_.setOption(kOptUnableToRun, false);
    main_.enableModeOptions(false);
    DEZEZ bios = main_.bios().make();
    bios.ClrSupervisorPwd(keyCodes_);
    const std::int16_t state = bios.SPasswordState();
    if (bios.Status == 0 && state == 0) {
        bios.SCUItem14(kUserMayRunRigpanel);
        return;
    }
    main_.passwordAccepted = false;
    message(main_.texts().changeNotTaken);
    main_.setOption(kOptRegistered, true);
    main_.setOption(kOptNotRegistered, false);
    main_.enableModeOptions(true);
    main_.setOption(kOptAbleToRun, ableBefore);
    main_.setOption(kOptUnableToRun, unableBefore);
}

void SSPwdRegister::OK_Click() {
    if (finished_) return;
    view_.hide();
    const std::string tag = main_.Tag();
    if (tag == kAbleToRun || tag == kUnableToRun) {
        if (!passwordMatches()) return;
        main_.passwordAccepted = true;
    } else if (tag == kUnRegister) {
        if (!passwordMatches()) return;
        deleteSupervisorPwd();
    } else if (tag == kRegister) {
        if (keyCodes_.empty()) {
            message(main_.texts().entryError);
            Cancel_Click();
            return;
        }
        main_.o_EnterPwd = std::move(keyCodes_);
        main_.passwordAccepted = true;
    } else {
        if (!(keyCodes_ == main_.o_EnterPwd)) {
            message(main_.texts().entryError);
            Cancel_Click();
            return;
        }
        setInvalidPwdCnt(0);
        main_.passwordAccepted = true;
        if (!trimmed(view_.textBox(kPasswordBox).text()).empty()) message(main_.texts().writeDown);
    }
    finished_ = true;
    view_.close();
}

void SSPwdRegister::Cancel_Click() {
    if (finished_) return;
    const std::string tag = main_.Tag();
    main_.setTag(kInitialize);
    main_.passwordAccepted = false;
    if (tag == kAbleToRun || tag == kUnableToRun) {
        main_.o_EnterPwd.reset();
    } else if (tag == kUnRegister) {
        main_.setOption(kOptRegistered, true);
        main_.setOption(kOptNotRegistered, false);
    } else {
        main_.o_EnterPwd.reset();
        main_.setOption(kOptRegistered, false);
        main_.setOption(kOptNotRegistered, true);
    }
    finished_ = true;
    view_.close();
}

}  // namespace vantora::supervisor
