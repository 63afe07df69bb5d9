#pragma once
// BASTIONE's windows and messages in the user's language, from BASTIONE.dll: default
// texts first, then the code (string 1), fonts for "JA" and, on a 72-dpi screen, "GK",
// the captions in table order, the texts, and per-language widths and positions.
#include <cstdint>
#include <string>

#include "common/localization/localization.h"
#include "common/ports/desktop.h"
#include "common/ports/string_library.h"
#include "common/ui/view.h"

namespace vantora::supervisor {

inline constexpr char kLanguageLibrary[] = "BASTIONE.dll";
inline constexpr std::int16_t kLanguageCodeString = 1;
inline constexpr std::int16_t kLabelFaceString = 34;
inline constexpr std::int16_t kMessageTitleString = 10;
// Beyond the design's numbers: the message for a change the BIOS did not take. A
// library without it leaves the English text.
inline constexpr std::int16_t kChangeNotTakenString = 35;
inline constexpr char kDefaultMessageTitle[] = "Supervisor Password";
inline constexpr int kSmallScreenResolution = 72;

struct LanguagePorts {
    StringLibraryPort& libraries;
    ScreenPort& screen;
};

// Every text the three windows show in a message box; the main window's localizer
// sets them, defaults first.
struct SupervisorTexts {
    std::string accessDenied = "Access denied!!!";
    std::string entryError = "Entry Error!!!";
    std::string invalidPassword = "Invalid Password!!!";
    std::string powerOff =
        "You must power off your computer in order for the change to take effect.\r\n"
        "Would you like to power off your computer now?";
    std::string writeDown =
        "Please write down the password.\r\nIn Case you forget it, the Rigpanel may not work.";
    std::string commonModuleTerminated = "Common Module terminated!";
    // The BIOS still reports the old state after a password write or deletion.
    std::string changeNotTaken = "The BIOS did not take the change.";
};

// The password dialog's caption and prompt for registration and verification.
struct PasswordModeTexts {
    std::string registrationCaption = "Supervisor Password";
    std::string registrationPrompt = "Enter Password:";
    std::string verificationPrompt = "Verify Password:";
    std::string verificationCaption = "Password Verification";
};

// The localizers, one per window, each run first when its window loads. Each returns
// the language code it read ("" when the window kept its design).
std::string LocalizeSupervisor(ui::View& view, const LanguagePorts& ports, SupervisorTexts& texts);
std::string LocalizeSSPwdRegister(ui::View& view, const LanguagePorts& ports, PasswordModeTexts& texts);
std::string LocalizeUserPwdMode(ui::View& view, const LanguagePorts& ports);

// The title of the password message boxes, read anew for every box.
std::string MessageBoxTitle(const std::string& languageCode, const LanguagePorts& ports);

}  // namespace vantora::supervisor
