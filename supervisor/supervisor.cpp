#include "supervisor/supervisor.h"

namespace vantora::supervisor {

namespace {

constexpr std::int16_t boolean(bool on) { return on ? kTrue : kFalse; }

}  // namespace

Supervisor::Supervisor(ui::View& view, SupervisorPorts ports, SupervisorForms& forms)
    : view_(view), ports_(ports), forms_(forms) {
    using ui::Event;
    view_.on(kOptRegistered, Event::Click, [this] { optRegistered_Click(); });
    view_.on(kOptNotRegistered, Event::Click, [this] { optNotRegistered_Click(); });
    view_.on(kOptAbleToRun, Event::Click, [this] { modeOption_Click(kOptAbleToRun, kOptUnableToRun, kAbleToRun); });
    view_.on(kOptUnableToRun, Event::Click,
             [this] { modeOption_Click(kOptUnableToRun, kOptAbleToRun, kUnableToRun); });
    view_.on("OK", Event::Click, [this] { OK_Click(); });
    view_.on(kFormName, Event::KeyPress, [this](int key) { Form_KeyPress(key); });
}

void Supervisor::setOption(std::string_view option, bool on) {
    const int value = on ? ui::kChecked : ui::kUnchecked;
    if (view_.value(option) == value) return;
    // Only a selection reports itself, so only a selection arms the guard.
    if (on) setTag(kInitialize);
    view_.setValue(option, value);
}

void Supervisor::enableModeOptions(bool on) {
    view_.setEnabled(kOptAbleToRun, on);
    view_.setEnabled(kOptUnableToRun, on);
}

void Supervisor::disarmGuard() {
    if (Tag() == kInitialize) setTag("");
}

std::int32_t Supervisor::invalidPwdCount() {
    try {
        return ports_.commonModule.GetInvalidPwdCnt();
    } catch (const CommonModuleError&) {
        return kInvalidPwdLimit;
    }
}

void Supervisor::Form_Load() {
    LanguageCode = LocalizeSupervisor(view_, ports_.language, texts_);
    layOutBanner();
    if (ports_.instances.anotherCopyRunning() && bringRunningCopyForward()) {
        view_.close();
        return;
    }
    std::uint32_t hotkeyWindow = 0;
    try {
        hotkeyWindow = ports_.commonModule.GetVHotkeyHandle();
    } catch (const CommonModuleError&) {
        // Only the registration below reports a missing module.
    }
    try {
        ports_.commonModule.RegSupervisorPwd(view_.windowHandle());
    } catch (const CommonModuleError& failure) {
        view_.messageBox(failure.what(), kProgramTitle, ui::kMbOk | ui::kMbIconCritical);
        view_.close();
        return;
    }
    if (hotkeyWindow == 0) {
        view_.messageBox(texts_.commonModuleTerminated, kProgramTitle, ui::kMbOk | ui::kMbIconCritical);
        view_.close();
        return;
    }
    readBiosState();
    disarmGuard();
}

void Supervisor::layOutBanner() {
    ui::Rect image1 = view_.bounds("Image1"), image2 = view_.bounds("Image2"), image3 = view_.bounds("Image3");
    const int width = view_.formBounds().width;
    image3.left = width - image3.width;
    image3.height = image1.height;
    image2.height = image1.height;
    image2.width = image3.left - image1.left - image1.width < 0 ? 0 : width - image1.width - image3.width;
    image2.left = image1.left + image1.width + 1;
    view_.setBounds("Image3", image3);
    view_.setBounds("Image2", image2);
}

// Any program may hold the single-copy token and register a window under our name; the
// user would then type the supervisor password into it. Only a window of a verified copy
// is brought forward; otherwise this copy starts, and its registration replaces the other.
bool Supervisor::bringRunningCopyForward() {
    WindowHandle running = 0;
    try {
        running = ports_.commonModule.GetSupervisorPwd();
    } catch (const CommonModuleError&) {
        return false;
    }
    if (!ports_.instances.isRunningCopy(running)) return false;
    ports_.windows.ShowWindow(running, kSwRestore);
    ports_.windows.SetForegroundWindow(running);
    return true;
}

void Supervisor::readBiosState() {
    DEZEZ bios = ports_.bios.make();
    if (bios.SPasswordState() == 0) {
        setOption(kOptRegistered, false);
        setOption(kOptNotRegistered, true);
        enableModeOptions(false);
        o_Registered = kFalse, o_UnRegistered = kTrue, o_AbleToRun = kFalse, o_UnableToRun = kFalse;
        return;
    }
    setOption(kOptRegistered, true);
    setOption(kOptNotRegistered, false);
    enableModeOptions(true);
    const std::int16_t mode = bios.SCUItem14();
    if (mode == kUserMayNotRunRigpanel) {
        setOption(kOptAbleToRun, false);
        setOption(kOptUnableToRun, true);
    } else if (mode == kUserMayRunRigpanel) {
        setOption(kOptAbleToRun, true);
        setOption(kOptUnableToRun, false);
    }
    o_Registered = kTrue, o_UnRegistered = kFalse;
    o_AbleToRun = boolean(isOn(kOptAbleToRun));
    o_UnableToRun = boolean(isOn(kOptUnableToRun));
}

bool Supervisor::guardConsumed() {
    if (Tag() != kInitialize) return false;
    setTag("");
    return true;
}

bool Supervisor::biosHasPassword() {
    DEZEZ bios = ports_.bios.make();
    return bios.SPasswordState() != 0;
}

bool Supervisor::askPassword(std::string_view mode) {
    setTag(mode);
    passwordAccepted = false;
    forms_.showSSPwdRegister();
    return passwordAccepted;
}

bool Supervisor::clickMayProceed(std::string_view clicked, std::string_view other) {
    if (guardConsumed()) return false;
    return !lockedOut(clicked, other);
}

bool Supervisor::lockedOut(std::string_view clicked, std::string_view other) {
    if (invalidPwdCount() < kInvalidPwdLimit) return false;
    view_.messageBox(texts_.accessDenied, messageTitle(), ui::kMbOk | ui::kMbIconExclamation);
    setOption(clicked, false);
    setOption(other, true);
    disarmGuard();
    return true;
}

// A click on the option that already shows what the BIOS holds asks for nothing: the
// BIOS refuses a second registration, which the read-back after the write would take
// for the new password, and checking a password when there is none counts a wrong one.
void Supervisor::optRegistered_Click() {
    if (guardConsumed() || biosHasPassword() || lockedOut(kOptRegistered, kOptNotRegistered)) return;
    o_EnterPwd.reset();
    if (askPassword(kRegister) && askPassword(kVerification)) {
        enableModeOptions(true);
        forms_.showUserPwdMode();
        writeSupervisorPwd();
    }
    disarmGuard();
}

// A write whose request failed, or that the BIOS refused, must not leave the window
// showing a password the BIOS does not have: the state is read back.
void Supervisor::writeSupervisorPwd() {
    DEZEZ bios = ports_.bios.make();
    bios.SupervisorPwd(o_EnterPwd);
    // Nothing needs the key codes once they were sent: they must not sit in the window
    // until it closes.
    o_EnterPwd.reset();
    const std::int16_t state = bios.SPasswordState();
    if (bios.Status == 0 && state != 0) return;
    view_.messageBox(texts_.changeNotTaken, messageTitle(), ui::kMbOk | ui::kMbIconExclamation);
    setOption(kOptNotRegistered, true);
    setOption(kOptRegistered, false);
    setOption(kOptAbleToRun, false);
    setOption(kOptUnableToRun, false);
    enableModeOptions(false);
}

void Supervisor::optNotRegistered_Click() {
    if (guardConsumed() || !biosHasPassword() || lockedOut(kOptNotRegistered, kOptRegistered)) return;
    o_EnterPwd.reset();
    if (askPassword(kUnRegister)) {
        setOption(kOptRegistered, false);
        setOption(kOptAbleToRun, false);
        setOption(kOptUnableToRun, false);
        enableModeOptions(false);
    }
    disarmGuard();
}

void Supervisor::modeOption_Click(std::string_view clicked, std::string_view other, std::string_view mode) {
    if (!clickMayProceed(clicked, other)) return;
    o_EnterPwd.reset();
    if (askPassword(mode)) {
        setOption(other, false);
    } else {
        setOption(clicked, false);
        setOption(other, true);
    }
    disarmGuard();
}

void Supervisor::OK_Click() {
    {
        DEZEZ bios = ports_.bios.make();
        if (isOn(kOptAbleToRun))
            bios.SCUItem14(kUserMayRunRigpanel);
        else if (isOn(kOptUnableToRun))
            bios.SCUItem14(kUserMayNotRunRigpanel);
    }
    const bool changed = boolean(isOn(kOptNotRegistered)) != o_UnRegistered ||
                         boolean(isOn(kOptRegistered)) != o_Registered ||
                         boolean(isOn(kOptUnableToRun)) != o_UnableToRun ||
                         boolean(isOn(kOptAbleToRun)) != o_AbleToRun;
    if (changed &&
        view_.messageBox(texts_.powerOff, messageTitle(), ui::kMbYesNo | ui::kMbIconExclamation) == ui::kIdYes) {
        // Without the privilege the call below fails, but it is still the user's answer
        // to try: the privilege may be held enabled already.
        ports_.power.enablePrivilege(kShutdownPrivilege);
        ports_.power.ExitWindowsEx(kEwxPowerOff, kShutdownReasonAll);
    }
    view_.close();
}

void Supervisor::Form_KeyPress(int key) {
    if (key == ui::kKeyEscape) view_.close();
}

}  // namespace vantora::supervisor
