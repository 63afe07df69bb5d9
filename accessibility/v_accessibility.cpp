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

bool isEmptyText(const RegistryVariant& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text && text->empty();
}

}  // namespace

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
