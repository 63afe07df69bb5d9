#include "accessibility/v_accessibility.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace vantora::accessibility {

namespace {

struct DesignControl {
    const char* name;
    bool enabled;
    std::uint32_t helpTopic;  // What's This topic; 0 for none
};

// The form as designed, before any code runs.
constexpr DesignControl kDesign[] = {
    {"chkStickyKey", true, 101},  {"chkTwiceLock", false, 102},      {"chkPressSound", false, 103},
    {"chkStickyIcon", false, 104}, {"chkUnStickIdle", false, 105},   {"comUnStickTime", false, 105},
    {"Label2", true, 105},         {"chkAutoResetSound", false, 106}, {"OK", true, 107},
    {"Cancel", true, 108},         {"Apply", false, 109},
};

constexpr const char* kIdleTimeEntries[] = {"1", "2", "3", "4", "5"};

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

bool isEmptyText(const RegistryVariant& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text && text->empty();
}

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

std::optional<std::int32_t> numberOf(const RegistryVariant& value) {
    if (const auto* n = std::get_if<std::int32_t>(&value)) return *n;
    if (const auto* n = std::get_if<std::int16_t>(&value)) return *n;
    const auto* text = std::get_if<std::string>(&value);
    if (!text) return std::nullopt;
    // Someone may have typed the value in as text; a plain decimal number counts.
    const auto first = text->find_first_not_of(' ');
    const auto last = text->find_last_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const char* begin = text->data() + first;
    const char* end = text->data() + last + 1;
    if (*begin == '+') ++begin;
    std::int32_t n = 0;
    const auto [stop, error] = std::from_chars(begin, end, n);
    if (error != std::errc() || stop != end) return std::nullopt;
    return n;
}

VAccessibility::VAccessibility(ui::View& view, VAccessibilityPorts ports, std::string programFolder)
    : view_(view), ports_(ports), programFolder_(std::move(programFolder)), strings_(ports.languages, kLanguageLibrary) {
    using ui::Event;
    view_.on("chkStickyKey", Event::Click, [this] { chkStickyKey_Click(); });
    view_.on("chkUnStickIdle", Event::Click, [this] { chkUnStickIdle_Click(); });
    for (const char* changes : {"chkTwiceLock", "chkPressSound", "chkStickyIcon", "chkAutoResetSound"})
        view_.on(changes, Event::Click, [this] { view_.setEnabled("Apply", true); });
    view_.on("comUnStickTime", Event::Click, [this] { view_.setEnabled("Apply", true); });
    view_.on("comUnStickTime", Event::Change, [this] { view_.setEnabled("Apply", true); });
    view_.on("Apply", Event::Click, [this] { Apply_Click(); });
    view_.on("OK", Event::Click, [this] { OK_Click(); });
    view_.on("Cancel", Event::Click, [this] { Cancel_Click(); });
    view_.on(kFormName, Event::KeyPress, [this](int key) { Form_KeyPress(key); });
    view_.on(kFormName, Event::Help, [this](int context) { showHelp(context); });
}

void VAccessibility::Form_Load() {
    ApplyLanguage();
    showDesignState();
    helpFile_ = programFolder_ + "\\" + kHelpFileName;
    layOutBanner();

    if (ports_.instances.anotherCopyRunning() && bringRunningCopyForward()) {
        view_.close();
        return;
    }
    try {
        HotkeyHWnd_ = ports_.commonModule.GetVHotkeyHandle();
    } catch (const CommonModuleError&) {
        // Only the registration below reports a missing module.
    }
    probeAdministratorRights();
    if (limitedUser_) {
        view_.messageBox(texts_.noAdministratorAuthority, texts_.errorCaption, ui::kMbOk | ui::kMbIconExclamation);
        view_.close();
        return;
    }
    try {
        ports_.commonModule.RegAccessibility(view_.windowHandle());
    } catch (const CommonModuleError& failure) {
        view_.messageBox(failure.what(), kProgramTitle, ui::kMbOk | ui::kMbIconCritical);
        view_.close();
        return;
    }
    if (HotkeyHWnd_ == 0) {
        view_.messageBox(texts_.commonModuleTerminated, kProgramTitle, ui::kMbOk | ui::kMbIconCritical);
        view_.close();
        return;
    }
    notifyHotkeyService(kDialogStarted);
    view_.show();
    loadSettings();
    // The box may have kept its unchecked design state, so its reaction never ran.
    if (!isChecked("chkStickyKey")) showIdleTime(false);
    view_.setEnabled("Apply", false);
}

void VAccessibility::showDesignState() {
    for (const DesignControl& c : kDesign) {
        view_.setEnabled(c.name, c.enabled);
        if (c.helpTopic) view_.setHelpContext(c.name, c.helpTopic);
    }
    view_.clearList("comUnStickTime");
    for (const char* entry : kIdleTimeEntries) view_.addItem("comUnStickTime", entry);
    view_.setBackColor("comUnStickTime", ui::kColorScrollbar);
    view_.setForeColor("Label2", ui::kColorBtnText);
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

void VAccessibility::layOutBanner() {
    ui::Rect image1 = view_.bounds("Image1"), image3 = view_.bounds("Image3"), image4 = view_.bounds("Image4");
    image3.left = view_.formBounds().width - image3.width;
    image1.height = image3.height;
    image4.height = image3.height;
    const int gap = image3.left - image1.left - image1.width;
    image4.width = std::max(gap, 0);
    image4.left = image1.left + image1.width + 1;
    view_.setBounds("Image3", image3);
    view_.setBounds("Image1", image1);
    view_.setBounds("Image4", image4);
}

// Holding the token and registering a window proves nothing: a program that did both
// would otherwise get the settings typed into it, or keep the dialog from ever starting.
// Only a verified copy is brought forward; otherwise this copy starts.
bool VAccessibility::bringRunningCopyForward() {
    WindowHandle running = 0;
    try {
        running = ports_.commonModule.GetAccessibility();
    } catch (const CommonModuleError&) {
        return false;
    }
    if (!ports_.instances.isRunningCopy(running)) return false;
    ports_.windows.ShowWindow(running, kSwRestore);
    ports_.windows.SetForegroundWindow(running);
    return true;
}

void VAccessibility::probeAdministratorRights() {
    limitedUser_ = false;
    Registry probe(ports_.registry);
    // A key someone made before us stays; only our own probe key is taken away again.
    const bool existed = probe.OpenKey(kPolicyProbeKey);
    if (!probe.CreateKey(kPolicyProbeKey)) {
        limitedUser_ = true;
        return;
    }
    if (!existed) probe.DeleteKey();
}

void VAccessibility::notifyHotkeyService(std::int32_t event) {
    ports_.messages.SendMessageA(HotkeyHWnd_, kSettingsMessage, kSettingsWParam, event);
}

void VAccessibility::loadSettings() {
    Registry settings(ports_.registry);
    settings.RootKeyName(kSettingsRoot);
    settings.CreateKey(kSettingsKey);
    settings.QueryName = kStickyKeyValue;
    if (isEmptyText(settings.QueryValue())) settings.QueryValue(RegistryVariant{kDefaultStickyKey});
    const std::optional<std::int32_t> flags = numberOf(settings.QueryValue());
    settings.QueryName = kIdleTimeValue;
    if (isEmptyText(settings.QueryValue())) settings.QueryValue(RegistryVariant{kDefaultIdleTime});
    const std::optional<std::int32_t> idle = numberOf(settings.QueryValue());

    // A value that could not be read leaves its controls as designed.
    if (flags) {
        int bit = 0;
        for (const char* box : kStickyKeyBoxes) view_.setValue(box, (*flags >> bit++) & 1);
    }
    if (idle) view_.setListIndex("comUnStickTime", *idle);
}

bool VAccessibility::isChecked(const char* box) const { return view_.value(box) == ui::kChecked; }

void VAccessibility::showIdleTime(bool on) {
    view_.setEnabled("Label2", on);
    view_.setForeColor("Label2", on ? ui::kColorBtnText : ui::kColorGrayText);
    view_.setEnabled("comUnStickTime", on);
    view_.setBackColor("comUnStickTime", on ? ui::kColorWindow : ui::kColorScrollbar);
}

void VAccessibility::chkStickyKey_Click() {
    const bool on = isChecked("chkStickyKey");
    for (const char* box : kOptionBoxes) view_.setEnabled(box, on);
    showIdleTime(on && isChecked("chkUnStickIdle"));
    view_.setEnabled("Apply", true);
}

void VAccessibility::chkUnStickIdle_Click() {
    showIdleTime(isChecked("chkUnStickIdle"));
    view_.setEnabled("Apply", true);
}

void VAccessibility::Apply_Click() {
    if (!limitedUser_) {
        Registry settings(ports_.registry);
        settings.RootKeyName(kSettingsRoot);
        settings.CreateKey(kSettingsKey);
        settings.QueryName = kStickyKeyValue;
        // A stored value that is no number holds no bits of the service's to keep, so
        // it is treated as no value at all: the hidden bits are set, as on a first run.
        const std::optional<std::int32_t> stored = numberOf(settings.QueryValue());
        std::int32_t flags = stored ? *stored & kHiddenBits : kHiddenBits;
        int bit = 0;
        for (const char* box : kStickyKeyBoxes) flags |= (isChecked(box) ? 1 : 0) << bit++;
        const std::int32_t idle = view_.listIndex("comUnStickTime");
        settings.QueryValue(RegistryVariant{flags});
        settings.QueryName = kIdleTimeValue;
        settings.QueryValue(RegistryVariant{idle});
        notifyHotkeyService(kSettingsWritten);
    }
    view_.setEnabled("Apply", false);
}

void VAccessibility::OK_Click() {
    Apply_Click();
    view_.close();
}

void VAccessibility::Cancel_Click() { view_.close(); }

void VAccessibility::Form_KeyPress(int key) {
    if (key == ui::kKeyEscape) view_.close();
}

// A control's What's This text beside it; the dialog itself, and a control without a
// topic of its own, open the help window at the dialog's topic.
void VAccessibility::showHelp(int context) {
    if (context > 0)
        ports_.help.showContextPopup(helpFile_, static_cast<std::uint32_t>(context));
    else
        ports_.help.showContents(helpFile_);
}

}  // namespace vantora::accessibility
