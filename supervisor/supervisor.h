#pragma once
// Supervisor: BASTIONE's main window. It shows whether a BIOS supervisor password is
// registered and the user password mode, and opens the password dialogs when the user
// changes either. The dialogs talk back through its public variables, its mode marker
// Tag and its option buttons, as the design has them do.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/ports/common_module.h"
#include "common/ports/desktop.h"
#include "common/ports/firmware_device.h"
#include "common/ports/power.h"
#include "common/ports/single_copy.h"
#include "common/ui/declared_controls.h"
#include "common/ui/view.h"
#include "supervisor/bios/dezez.h"
#include "supervisor/bios/key_code_string.h"
#include "supervisor/supervisor_language.h"

namespace vantora::supervisor {

inline constexpr char kFormName[] = "Supervisor";
// The title of the boxes that carry no title of their own: the program's.
inline constexpr char kProgramTitle[] = "BASTIONE";

// The main window's options, which the dialogs set too.
inline constexpr char kOptRegistered[] = "optRegistered";
inline constexpr char kOptNotRegistered[] = "optNotRegistered";
inline constexpr char kOptAbleToRun[] = "optAbleToRun";
inline constexpr char kOptUnableToRun[] = "optUnableToRun";

inline constexpr ui::DeclaredControl kSupervisorControls[] = {
    {kOptRegistered, "OptionButton"}, {kOptNotRegistered, "OptionButton"}, {kOptAbleToRun, "OptionButton"},
    {kOptUnableToRun, "OptionButton"}, {"OK", "CommandButton"},         {"frmSupervisor", "Frame"},
    {"frmUserPwdMode", "Frame"},      {"Image1", "Image"},               {"Image2", "Image"},
    {"Image3", "Image"}};

// Values of Tag.
inline constexpr std::string_view kInitialize = "Initialize";
inline constexpr std::string_view kRegister = "Register";
inline constexpr std::string_view kVerification = "Verification";
inline constexpr std::string_view kUnRegister = "UnRegister";
inline constexpr std::string_view kAbleToRun = "AbleToRun";
inline constexpr std::string_view kUnableToRun = "UnableToRun";

// Wrong supervisor passwords in a row after which the utility refuses every change.
inline constexpr std::int32_t kInvalidPwdLimit = 3;

// SCUItem14, the user password mode.
inline constexpr std::int32_t kUserMayRunRigpanel = 1;
inline constexpr std::int32_t kUserMayNotRunRigpanel = 0;

// 16-bit booleans, as they pass between the windows.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

// What each handler needs to make a DEZEZ object of its own.
struct BiosPorts {
    FirmwareDevicePort& device;
    OsVersionPort& osVersion;
    SmiDllPort* smiDll = nullptr;
    // The one way the windows make a DEZEZ: each handler its own, for as long as it runs.
    DEZEZ make() const { return DEZEZ(device, osVersion, smiDll); }
};

struct SupervisorPorts {
    CommonModulePort& commonModule;
    WindowManagerPort& windows;
    SingleCopyPort& instances;
    PowerPort& power;
    BiosPorts bios;
    LanguagePorts language;
};

// The modal dialogs the main window opens; each show returns when the dialog closed.
class SupervisorForms {
public:
    virtual ~SupervisorForms() = default;
    virtual void showSSPwdRegister() = 0;
    virtual void showUserPwdMode() = 0;
};

class Supervisor {
public:
    Supervisor(ui::View& view, SupervisorPorts ports, SupervisorForms& forms);
    Supervisor(const Supervisor&) = delete;
    Supervisor& operator=(const Supervisor&) = delete;

    // The whole start-up. Ends with the state read from the BIOS, or the window closed
    // after a second start or a message.
    void Form_Load();

    // The key codes of the password entered for registration, until they are written.
    KeyCodeString o_EnterPwd;
    // Whether the last password dialog ended in success: the password checked, or the
    // entry taken or matched. Only a registration leaves key codes in o_EnterPwd.
    bool passwordAccepted = false;
    // The options as read from the BIOS at load.
    std::int16_t o_Registered = kFalse;
    std::int16_t o_UnRegistered = kFalse;
    std::int16_t o_AbleToRun = kFalse;
    std::int16_t o_UnableToRun = kFalse;
    // The language library's code, as the window loaded last read it.
    std::string LanguageCode;

    std::string Tag() const { return view_.tag(kFormName); }
    void setTag(std::string_view tag) { view_.setTag(kFormName, tag); }
    // Changes an option of this window from the program: no password dialog opens.
    void setOption(std::string_view option, bool on);
    bool isOn(std::string_view option) const { return view_.value(option) == ui::kChecked; }
    void enableModeOptions(bool on);

    ui::View& view() { return view_; }
    const SupervisorTexts& texts() const { return texts_; }
    const LanguagePorts& language() const { return ports_.language; }
    // "Supervisor Password", or the library's title when a language is in use.
    std::string messageTitle() const { return MessageBoxTitle(LanguageCode, ports_.language); }
    const BiosPorts& bios() const { return ports_.bios; }
    // GetInvalidPwdCnt; a count that cannot be read counts as the limit, so that a
    // broken common module never opens the way to unlimited guesses.
    std::int32_t invalidPwdCount();

private:
    void layOutBanner();
    bool bringRunningCopyForward();
    void readBiosState();
    void optRegistered_Click();
    void optNotRegistered_Click();
    void modeOption_Click(std::string_view clicked, std::string_view other, std::string_view mode);
    // The common start of the four option handlers; false when the click is handled.
    bool clickMayProceed(std::string_view clicked, std::string_view other);
    // The one-shot "Initialize" guard: true when it was armed, which disarms it.
    bool guardConsumed();
    // "Access denied!!!" and the option pair put back, when the count has run out.
    bool lockedOut(std::string_view clicked, std::string_view other);
    bool biosHasPassword();
    // Shows the password dialog for `mode`; true when it ended in success.
    bool askPassword(std::string_view mode);
    void writeSupervisorPwd();
    void OK_Click();
    void Form_KeyPress(int key);
    // A guard no change consumed would swallow the user's next click.
    void disarmGuard();

    ui::View& view_;
    SupervisorPorts ports_;
    SupervisorForms& forms_;
    SupervisorTexts texts_;
};

}  // namespace vantora::supervisor
