#pragma once
// VAccessibility: the Fn-StickyKey settings dialog. It keeps six switches and an idle
// time under the hotkey service's registry key and tells the service, by message
// 2025, when it starts and when the settings were written.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "accessibility/registry_access.h"
#include "common/localization/localization.h"
#include "common/ports/common_module.h"
#include "common/ports/screen.h"
#include "common/ports/window_manager.h"
#include "common/ports/help.h"
#include "common/ports/registry.h"
#include "common/ports/single_copy.h"
#include "common/ports/string_library.h"
#include "common/ports/window_messages.h"
#include "common/ui/declared_controls.h"
#include "common/ui/view.h"

namespace vantora::accessibility {

inline constexpr char kFormName[] = "VAccessibility";
inline constexpr ui::DeclaredControl kVAccessibilityControls[] = {
    {"OK", "CommandButton"},
    {"Cancel", "CommandButton"},
    {"Apply", "CommandButton"},
    {"chkStickyKey", "CheckBox", "frmStickyKey"},
    {"chkTwiceLock", "CheckBox", "frmOptions"},
    {"chkPressSound", "CheckBox", "frmOptions"},
    {"chkStickyIcon", "CheckBox", "frmOptions"},
    {"chkUnStickIdle", "CheckBox", "frmAutoReset"},
    {"chkAutoResetSound", "CheckBox", "frmAutoReset"},
    {"comUnStickTime", "ComboBox", "frmAutoReset"},
    {"Label1", "Label", "frmStickyKey"},
    {"Label2", "Label", "frmAutoReset"},
    {"frmStickyKey", "Frame"},
    {"frmOptions", "Frame", "frmStickyKey"},
    {"frmAutoReset", "Frame", "frmStickyKey"},
    {"Image1", "Image"},
    {"Image2", "Image", "frmStickyKey"},
    {"Image3", "Image"},
    {"Image4", "Image"}};
inline constexpr char kProgramTitle[] = "MERIDALE";
inline constexpr char kHelpFileName[] = "MERIDALE.Hlp";
inline constexpr char kLanguageLibrary[] = "MERIDALE.dll";

inline constexpr char kSettingsRoot[] = "HKLM";
inline constexpr char kSettingsKey[] = "SYSTEM\\CurrentControlSet\\Services\\VHotkey";
inline constexpr char kStickyKeyValue[] = "StickyKey";
inline constexpr char kIdleTimeValue[] = "IdleTime";
// Below HKCU\Software\Policies only administrators may create keys.
inline constexpr char kPolicyProbeKey[] = "Software\\Policies\\Vantora Sidekit";

inline constexpr std::uint32_t kSettingsMessage = 2025;  // WM_USER + 1001
inline constexpr std::uint32_t kSettingsWParam = 256;
inline constexpr std::int32_t kDialogStarted = 1;
inline constexpr std::int32_t kSettingsWritten = 2;

inline constexpr std::int32_t kDefaultStickyKey = 238;
inline constexpr std::int16_t kDefaultIdleTime = 0;
// Bits 6 and 7 belong to the hotkey service: never shown, never changed by the dialog.
inline constexpr std::int32_t kHiddenBits = 192;

// The check boxes in bit order: box i stands for bit i of StickyKey.
inline constexpr const char* kStickyKeyBoxes[] = {"chkStickyKey",   "chkTwiceLock",   "chkPressSound",
                                                  "chkStickyIcon",  "chkUnStickIdle", "chkAutoResetSound"};
inline constexpr const char* kOptionBoxes[] = {"chkTwiceLock", "chkPressSound", "chkStickyIcon", "chkUnStickIdle",
                                               "chkAutoResetSound"};

// Every text the user reads: ApplyLanguage fills it with the built-in texts, and then
// with the language library's when the library has a language code.
struct DialogTexts {
    // Design name -> caption, in the order the language library numbers them.
    std::vector<std::pair<std::string, std::string>> captions;
    std::string commonModuleTerminated;
    std::string noAdministratorAuthority;
    std::string errorCaption;
};
DialogTexts builtInTexts();

struct VAccessibilityPorts {
    RegistryPort& registry;
    CommonModulePort& commonModule;
    WindowManagerPort& windows;
    WindowMessagePort& messages;
    SingleCopyPort& instances;
    HelpPort& help;
    StringLibraryPort& languages;
    ScreenPort& screen;
};

// A stored setting as the dialog can use it: a number, or a text holding one.
// Anything else (binary data, other text, nothing) is no number.
std::optional<std::int32_t> numberOf(const RegistryVariant& value);

class VAccessibility {
public:
    VAccessibility(ui::View& view, VAccessibilityPorts ports, std::string programFolder);
    VAccessibility(const VAccessibility&) = delete;
    VAccessibility& operator=(const VAccessibility&) = delete;

    // The whole start-up. Ends with the dialog shown, or closed after a second start
    // or a message.
    void Form_Load();

    bool limitedUser() const { return limitedUser_; }
    std::uint32_t HotkeyHWnd() const { return HotkeyHWnd_; }
    const std::string& helpFile() const { return helpFile_; }
    const DialogTexts& texts() const { return texts_; }

private:
    void ApplyLanguage();
    void showDesignState();
    void layOutBanner();
    bool bringRunningCopyForward();
    void probeAdministratorRights();
    void notifyHotkeyService(std::int32_t event);
    void loadSettings();

    void chkStickyKey_Click();
    void chkUnStickIdle_Click();
    void Apply_Click();
    void OK_Click();
    void Cancel_Click();
    void Form_KeyPress(int key);
    void showHelp(int context);

    void showIdleTime(bool on);
    bool isChecked(const char* box) const;

    ui::View& view_;
    VAccessibilityPorts ports_;
    std::string programFolder_;
    std::string helpFile_;
    localization::LocalStrings strings_;
    DialogTexts texts_;
    bool limitedUser_ = false;
    std::uint32_t HotkeyHWnd_ = 0;
};

}  // namespace vantora::accessibility
