// The dialog's texts, fonts and geometry per language: the built-in English texts, the
// language library's string numbers and the layout corrections some languages need.
#include <algorithm>
#include <iterator>

#include "accessibility/v_accessibility.h"

namespace vantora::accessibility {

namespace {

// The language library's numbers: the code, then the captions 2..16 in the order of
// builtInTexts() and the three messages 17..19, then the label face for Japanese.
constexpr std::int16_t kLanguageCodeString = 1;
constexpr std::int16_t kFirstCaptionString = 2;
constexpr std::int16_t kLabelFaceString = 20;

// Codes are compared as written: "ja" is not Japanese.
constexpr char kJapanese[] = "JA";
constexpr const char* kKnownCodes[] = {"GR", "KOR", "FR", "IT", "SP", "POR", "NLD", "DAN", "SWE",
                                       "NOR", "FI", "PO", "RU", "GK", "CS", "TK", "HU"};
constexpr char kGothic[] = "MS P Gothic";
// The resolution of the screens the corrected layouts were made for.
constexpr int kSmallScreenResolution = 72;

using localization::addTo;
using localization::Correction;
using localization::setTo;
using localization::Side;

// Geometry for some languages, in twips; a frame's controls are placed within it.
struct CodeCorrections {
    std::vector<std::string_view> codes;
    std::vector<Correction> always, elsewhere, atSmallScreen;  // elsewhere: not at 72 dpi
    bool matches(const std::string& code) const { return std::find(codes.begin(), codes.end(), code) != codes.end(); }
};

constexpr Side kLeft = Side::Left, kTop = Side::Top, kWidth = Side::Width, kHeight = Side::Height;

// Before the texts, only at 72 dpi; every row that matches applies.
const CodeCorrections kFirstCorrections[] = {
    {{"IT"}, {}, {}, {setTo("chkStickyKey", kWidth, 4750), setTo("chkStickyKey", kLeft, 500)}},
    {{"POR"}, {}, {},
     {setTo("chkStickyIcon", kWidth, 4850), setTo("chkPressSound", kHeight, 400),
      setTo("chkAutoResetSound", kWidth, 4900), addTo("chkAutoResetSound", kHeight, 100),
      addTo("frmStickyKey", kHeight, 100), addTo("frmAutoReset", kHeight, 100)}},
    {{"TK", "CS"}, {}, {}, {addTo("chkStickyIcon", kTop, -50), addTo("chkStickyIcon", kHeight, 50)}},
};

// After the texts, tested in this order; the first row that matches is the last thing done.
const CodeCorrections kSecondCorrections[] = {
    {{"NLD"},
     {setTo("chkPressSound", kHeight, 375)},
     {},
     {addTo(kFormName, kHeight, 500), addTo("OK", kTop, 400), addTo("Cancel", kTop, 400), addTo("Apply", kTop, 400),
      addTo("frmStickyKey", kHeight, 400), addTo("frmOptions", kHeight, 500), addTo("frmAutoReset", kTop, 350),
      addTo("chkTwiceLock", kHeight, 200), addTo("chkTwiceLock", kTop, 100), addTo("chkPressSound", kTop, 250),
      addTo("chkPressSound", kHeight, 100), addTo("chkStickyIcon", kTop, 500), addTo("chkStickyIcon", kHeight, 50),
      addTo("frmAutoReset", kTop, 100)}},
    {{"KOR"},
     {setTo("frmOptions", kHeight, 1575), setTo("chkStickyIcon", kTop, 1080), setTo("chkPressSound", kTop, 720),
      setTo("chkTwiceLock", kHeight, 375)},
     {},
     {setTo("chkTwiceLock", kTop, 260), setTo("chkTwiceLock", kHeight, 475), setTo("chkPressSound", kTop, 800)}},
    {{"GR"},
     {},
     {},
     {setTo("chkTwiceLock", kTop, 260), setTo("chkTwiceLock", kHeight, 475), setTo("chkPressSound", kTop, 800),
      setTo("Apply", kWidth, 1500), addTo("chkStickyIcon", kTop, 50)}},
    {{"FR"}, {}, {}, {setTo("chkTwiceLock", kTop, 250), setTo("chkTwiceLock", kHeight, 475), setTo("chkPressSound", kTop, 700)}},
    {{"RU"},
     {},
     {addTo("chkStickyKey", kTop, -150), setTo("chkStickyKey", kHeight, 375)},
     {addTo(kFormName, kHeight, 500), addTo("OK", kTop, 400), addTo("Cancel", kTop, 400), addTo("Apply", kTop, 400),
      addTo("Apply", kWidth, 100), addTo("frmStickyKey", kHeight, 400), addTo("frmOptions", kHeight, 300),
      addTo("frmOptions", kTop, 100), addTo("frmAutoReset", kTop, 350), addTo("chkTwiceLock", kHeight, 150),
      addTo("chkTwiceLock", kTop, 100), addTo("chkPressSound", kTop, 250), addTo("chkStickyIcon", kTop, 300),
      addTo("chkStickyIcon", kHeight, 50), addTo("chkStickyKey", kHeight, 150)}},
    {{"GK"},
     {},
     {setTo("Label1", kTop, 240), setTo("Label1", kHeight, 960), setTo("chkStickyKey", kTop, 1080),
      setTo("frmAutoReset", kTop, 2880), setTo("frmOptions", kTop, 1320)},
     {addTo(kFormName, kHeight, 500), addTo("OK", kTop, 400), addTo("Cancel", kTop, 400), addTo("Apply", kTop, 400),
      addTo("frmStickyKey", kHeight, 400), addTo("frmOptions", kHeight, 400), addTo("frmAutoReset", kTop, 350),
      addTo("chkTwiceLock", kHeight, 150), addTo("chkTwiceLock", kTop, 50), addTo("chkPressSound", kTop, 200),
      addTo("chkPressSound", kHeight, 200), addTo("chkStickyIcon", kTop, 350), addTo("chkStickyIcon", kHeight, 100)}},
    {{"FI", "SWE", "PO"},
     {},
     {},
     {addTo("chkPressSound", kTop, 150), addTo("chkTwiceLock", kHeight, 200), addTo("chkStickyIcon", kTop, 50)}},
    {{"HU"},
     {},
     {},
     {addTo(kFormName, kHeight, 500), addTo("OK", kTop, 500), addTo("Cancel", kTop, 500), addTo("Apply", kTop, 500),
      addTo("frmStickyKey", kHeight, 500), addTo("frmOptions", kHeight, 400), addTo("frmOptions", kTop, 200),
      addTo("frmAutoReset", kTop, 450), addTo("chkTwiceLock", kHeight, 200), addTo("chkTwiceLock", kTop, 100),
      addTo("chkPressSound", kTop, 200), addTo("chkPressSound", kHeight, 150), addTo("chkStickyIcon", kTop, 250),
      addTo("chkStickyIcon", kHeight, 100), addTo("chkStickyKey", kHeight, 200), addTo("Image2", kLeft, -100)}},
    {{"TK"}, {}, {}, {addTo("Image2", kLeft, -100), addTo("frmOptions", kHeight, 50), addTo("chkStickyIcon", kHeight, 50)}},
    {{"NOR", "DAN"},
     {},
     {},
     {addTo("frmOptions", kTop, 100), addTo("chkStickyKey", kTop, 100), addTo("Label1", kHeight, 100)}},
};

}  // namespace

DialogTexts builtInTexts() {
    return {
        {{kFormName, "VANTORA Accessibility"},
         {"chkStickyKey", "Use Fn-StickyKey(&U)"},
         {"frmOptions", "Options"},
         {"chkTwiceLock", "Press the Fn key twice to lock(&P)"},
         {"chkPressSound", "Make a sound when Fn key is pressed(&M)"},
         {"chkStickyIcon", "Show Fn-StickyKey status on screen(&S)"},
         {"frmAutoReset", "Automatic reset"},
         {"chkUnStickIdle", "Un-stick the Fn key if the keyboard is idle for:(&I)"},
         {"Label2", "minute"},
         {"chkAutoResetSound", "Make a sound when Fn-StickyKey auto-resets(&R)"},
         {"OK", "OK"},
         {"Cancel", "Cancel"},
         {"Apply", "Apply(&A)"},
         {"Label1", "Use Fn-StickyKey if you want to create Fn key combinations by pressing one key at a time."},
         {"frmStickyKey", "Setting for Fn-StickyKey"}},
        "Common Module terminated!",
        "You do not have Administrator authority.",
        "VANTORA Accessibility Error",
    };
}

void VAccessibility::ApplyLanguage() {
    using namespace localization;
    WindowLocalizer window(view_, kFormName, strings_, ports_.screen);
    const bool at72 = window.screenResolution() == kSmallScreenResolution;
    texts_ = builtInTexts();
    for (const auto& [control, text] : texts_.captions) view_.setCaption(control, text);

    const std::string code = window.text(kLanguageCodeString);
    if (code.empty()) return;
    const bool known = std::find(std::begin(kKnownCodes), std::end(kKnownCodes), code) != std::end(kKnownCodes);
    if (code == kJapanese) {
        window.applyFonts({{{"CommandButton", "Frame", "CheckBox"}, kGothic, kDefaultCharset},
                           {{"Label"}, window.text(kLabelFaceString), kDefaultCharset, 9}});
    } else if (known && at72) {
        window.applyFonts({{{"Label", "Frame", "CheckBox"}, kGothic, -1, 10}, {{"CommandButton"}, kGothic, -1, 9}});
    }
    if (at72) {
        for (const CodeCorrections& row : kFirstCorrections)
            if (row.matches(code)) window.applyCorrections(row.atSmallScreen);
    }

    std::vector<CaptionEntry> captions;
    std::int16_t id = kFirstCaptionString;
    for (const auto& [control, text] : texts_.captions) captions.push_back({id++, {control}});
    window.applyCaptions(captions);
    for (auto& [control, text] : texts_.captions) text = view_.caption(control);
    texts_.commonModuleTerminated = window.text(id++);
    texts_.noAdministratorAuthority = window.text(id++);
    texts_.errorCaption = window.text(id++);

    for (const CodeCorrections& row : kSecondCorrections) {
        if (!row.matches(code)) continue;
        window.applyCorrections(row.always);
        window.applyCorrections(at72 ? row.atSmallScreen : row.elsewhere);
        return;
    }
}

}  // namespace vantora::accessibility
