#include "supervisor/supervisor_language.h"

#include <vector>

namespace vantora::supervisor {

namespace {

using localization::addTo;
using localization::CaptionEntry;
using localization::setTo;
using localization::Side;
using localization::WindowLocalizer;

constexpr char kGothic[] = "MS P Gothic";

struct Localizing {
    localization::LocalStrings strings;
    WindowLocalizer window;
    bool at72;
    Localizing(ui::View& view, const char* form, const LanguagePorts& ports)
        : strings(ports.libraries, kLanguageLibrary), window(view, form, strings, ports.screen),
          at72(window.screenResolution() == kSmallScreenResolution) {}

    void fonts(const std::string& code) {
        if (code == "JA") {
            window.applyFonts({{{"Label"}, window.text(kLabelFaceString), localization::kDefaultCharset, 9},
                               {{"OptionButton", "CommandButton", "Frame"}, kGothic, localization::kDefaultCharset}});
        } else if (code == "GK" && at72) {
            window.applyFonts({{{"OptionButton", "CommandButton", "Frame", "Label"}, kGothic, -1, 10}});
        }
    }
};

}  // namespace

std::string LocalizeSupervisor(ui::View& view, const LanguagePorts& ports, SupervisorTexts& texts) {
    Localizing l(view, "Supervisor", ports);
    texts = SupervisorTexts{};
    const std::string code = l.window.text(kLanguageCodeString);
    if (code.empty()) return code;
    l.fonts(code);
    l.window.applyCaptions({{2, {"Supervisor"}},
                            {3, {"frmSupervisor"}},
                            {4, {"optNotRegistered"}},
                            {5, {"optRegistered"}},
                            {6, {"frmUserPwdMode"}},
                            {7, {"optAbleToRun"}},
                            {8, {"optUnableToRun"}},
                            {9, {"OK"}}});
    texts.accessDenied = l.window.text(30);
    texts.entryError = l.window.text(32);
    texts.invalidPassword = l.window.text(31);
    texts.powerOff = l.window.text(27);
    texts.writeDown = l.window.text(24);
    texts.commonModuleTerminated = l.window.text(33);
    if (std::string notTaken = l.window.text(kChangeNotTakenString); !notTaken.empty())
        texts.changeNotTaken = std::move(notTaken);

    if (code == "DAN") {
        l.window.applyCorrections({setTo("frmSupervisor", Side::Width, 2775)});
        if (l.at72) l.window.applyCorrections({addTo("frmSupervisor", Side::Width, 1000)});
    } else if (code == "POR" && l.at72) {
        l.window.applyCorrections({addTo("frmSupervisor", Side::Width, 200)});
    } else if (code == "GK" && l.at72) {
        l.window.applyCorrections({addTo("frmSupervisor", Side::Width, 300), addTo("frmUserPwdMode", Side::Width, 200)});
    } else if (code == "RU" && l.at72) {
        l.window.applyCorrections({addTo("frmSupervisor", Side::Width, 300), addTo("frmUserPwdMode", Side::Width, 200),
                                   addTo("optNotRegistered", Side::Width, 200)});
    }
    return code;
}

std::string LocalizeSSPwdRegister(ui::View& view, const LanguagePorts& ports, PasswordModeTexts& texts) {
    Localizing l(view, "SSPwdRegister", ports);
    texts = PasswordModeTexts{};
    const std::string code = l.window.text(kLanguageCodeString);
    if (code.empty()) return code;
    l.fonts(code);
    l.window.applyCaptions({{10, {"SSPwdRegister"}}, {11, {"labEnterPwd"}}, {12, {"OK"}}, {13, {"Cancel"}}});
    texts.registrationCaption = l.window.text(10);
    texts.registrationPrompt = l.window.text(11);
    texts.verificationPrompt = l.window.text(22);
    texts.verificationCaption = l.window.text(19);
    return code;
}

std::string LocalizeUserPwdMode(ui::View& view, const LanguagePorts& ports) {
    Localizing l(view, "UserPwdMode", ports);
    const std::string code = l.window.text(kLanguageCodeString);
    if (code.empty()) return code;
    l.fonts(code);
    l.window.applyCaptions(
        {{14, {"UserPwdMode"}}, {15, {"Frame1"}}, {16, {"optAbleToRun"}}, {17, {"optUnableToRun"}}, {18, {"OK"}}});
    if (!l.at72) return code;
    if (code == "IT") {
        l.window.applyCorrections({addTo("optUnableToRun", Side::Height, 125)});
    } else if (code == "PO" || code == "GK") {
        l.window.applyCorrections({addTo("optUnableToRun", Side::Height, 125), addTo("optAbleToRun", Side::Height, 125),
                                   addTo("optUnableToRun", Side::Top, 200), addTo("UserPwdMode", Side::Width, 500),
                                   addTo("Frame1", Side::Width, 500)});
    }
    return code;
}

std::string MessageBoxTitle(const std::string& languageCode, const LanguagePorts& ports) {
    if (languageCode.empty()) return kDefaultMessageTitle;
    return localization::LocalStrings(ports.libraries, kLanguageLibrary).load(kMessageTitleString);
}

}  // namespace vantora::supervisor
