#include "supervisor/user_pwd_mode.h"

namespace vantora::supervisor {

UserPwdMode::UserPwdMode(ui::View& view, Supervisor& main) : view_(view), main_(main) {
    using ui::Event;
    view_.on(kOptAbleToRun, Event::Click, [this] { choose(kOptAbleToRun, kOptUnableToRun); });
    view_.on(kOptUnableToRun, Event::Click, [this] { choose(kOptUnableToRun, kOptAbleToRun); });
    view_.on("OK", Event::Click, [this] { OK_Click(); });
    view_.on(kModeFormName, Event::KeyPress, [this](int key) { Form_KeyPress(key); });
    // The close box leaves as Esc does.
    view_.on(kModeFormName, Event::Unload, [this] { main_.setTag(""); });
}

// "Able to run Rigpanel" is the answer unless the user picks the other: the main
// window holds it already, so closing with Esc keeps it.
void UserPwdMode::Form_Load() {
    main_.LanguageCode = LocalizeUserPwdMode(view_, main_.language());
    main_.setOption(kOptAbleToRun, true);
    main_.setOption(kOptUnableToRun, false);
    choose(kOptAbleToRun, kOptUnableToRun);
}

void UserPwdMode::choose(const char* on, const char* off) {
    view_.setValue(on, ui::kChecked);
    view_.setValue(off, ui::kUnchecked);
}

void UserPwdMode::OK_Click() {
    main_.setOption(kOptAbleToRun, view_.value(kOptAbleToRun) == ui::kChecked);
    main_.setOption(kOptUnableToRun, view_.value(kOptUnableToRun) == ui::kChecked);
    main_.setTag("");
    view_.close();
}

void UserPwdMode::Form_KeyPress(int key) {
    if (key != ui::kKeyEscape) return;
    main_.setTag("");
    view_.close();
}

}  // namespace vantora::supervisor
