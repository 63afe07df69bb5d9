#include "accessibility/v_accessibility.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/fakes/fake_common_module.h"
#include "common/fakes/fake_desktop.h"
#include "common/fakes/fake_registry.h"
#include "common/fakes/fake_string_library.h"
#include "common/fakes/fake_window_messages.h"
#include "common/fakes/test_view.h"

namespace vantora::accessibility {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kService = 0x2A0C;
constexpr std::uint32_t kRunningDialog = 0x4711;

struct Raw {
    std::uint32_t type = kRegNone;
    Bytes data;
    bool operator==(const Raw&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Raw& r) {
    os << "{type " << r.type << ":";
    for (auto b : r.data) os << ' ' << int(b);
    return os << '}';
}
Raw dword(std::uint32_t v) { return {kRegDword, {Bytes::value_type(v), Bytes::value_type(v >> 8), Bytes::value_type(v >> 16), Bytes::value_type(v >> 24)}}; }
Raw sz(const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return {kRegSz, b};
}

struct FakeSingleCopy : SingleCopyPort {
    bool earlierCopy = false;
    std::uint32_t genuineWindow = 0;  // the one window that belongs to a copy of this program
    bool anotherCopyRunning() override { return earlierCopy; }
    bool isRunningCopy(std::uint32_t w) override { return w != 0 && w == genuineWindow; }
};

using Sent = testing::FakeWindowMessages::Sent;
using Calls = std::vector<testing::FakeWindows::Call>;

// What the user sees of the dialog, one letter a control, so that a whole state
// compares in one assertion: boxes "1"/"0" checked, then "e"/"d" enabled.
std::string boxes(const testing::TestView& v) {
    std::string s;
    for (const char* box : kStickyKeyBoxes) s += v.value(box) == ui::kChecked ? '1' : '0';
    return s;
}
std::string enabledStates(const testing::TestView& v) {
    std::string s;
    for (const char* c : {"chkStickyKey", "chkTwiceLock", "chkPressSound", "chkStickyIcon", "chkUnStickIdle",
                          "chkAutoResetSound", "comUnStickTime", "Label2", "Apply"})
        s += v.enabled(c) ? 'e' : 'd';
    return s;
}

// One start of the program against fresh fakes.
struct Rig {
    FakeRegistry registry;
    testing::FakeCommonModule module;
    testing::FakeWindows windows;
    testing::FakeWindowMessages messages;
    FakeSingleCopy instances;
    testing::FakeHelp help;
    testing::FakeStringLibrary languages;
    testing::FakeScreen screen;
    testing::TestView view{0x10010};
    VAccessibility dialog{view, {registry, module, windows, messages, instances, help, languages, screen}, "C:\\Vantora"};

    Rig() {
        module.hotkeyWindow = kService;
        view.declareWindow(kFormName, kVAccessibilityControls);
        view.control("OK").isDefault = true;  // DEFPUSHBUTTON in the template
        view.control("Image1").bounds = {0, 0, 3750, 420};
        view.control("Image4").bounds = {2640, 0, 1815, 420};
        view.control("Image3").bounds = {4440, 0, 1200, 420};
        view.resizeForm(5730, 6900);
        view.hide();  // a modeless dialog stays hidden until shown
    }
    std::optional<Raw> stored(const char* name) {
        ScopedRegKey key = ScopedRegKey::open(registry, kHkeyLocalMachine, kSettingsKey);
        std::uint32_t type = 0, size = 0;
        if (!key || registry.RegQueryValueExA(key.get(), name, &type, nullptr, &size) != kErrorSuccess)
            return std::nullopt;
        Bytes data(size, 0xCD);
        registry.RegQueryValueExA(key.get(), name, &type, data.data(), &size);
        return Raw{type, data};
    }
    void store(const char* name, const Raw& raw) {
        ScopedRegKey key = ScopedRegKey::create(registry, kHkeyLocalMachine, kSettingsKey);
        ASSERT_EQ(kErrorSuccess, registry.RegSetValueExA(key.get(), name, raw.type, raw.data.data(),
                                                         static_cast<std::uint32_t>(raw.data.size())));
    }
    // The rule that holds whenever the dialog waits for the user.
    void expectEnabledRule(const std::string& when) {
        const bool sticky = view.value("chkStickyKey") == ui::kChecked;
        const bool idle = sticky && view.value("chkUnStickIdle") == ui::kChecked;
        for (const char* box : kOptionBoxes) EXPECT_EQ(sticky, view.enabled(box)) << box << " after " << when;
        EXPECT_EQ(idle, view.enabled("comUnStickTime")) << when;
        EXPECT_EQ(idle, view.enabled("Label2")) << when;
        EXPECT_EQ(idle ? ui::kColorWindow : ui::kColorScrollbar, view.backColor("comUnStickTime")) << when;
        EXPECT_EQ(idle ? ui::kColorBtnText : ui::kColorGrayText, view.foreColor("Label2")) << when;
    }
    // Start-up ended without showing anything, writing anything or telling the service.
    void expectEndedSilently(const std::string& when) {
        EXPECT_TRUE(view.closed()) << when;
        EXPECT_FALSE(view.visible()) << when;
        EXPECT_FALSE(registry.keyExists(kHkeyLocalMachine, kSettingsKey)) << when;
        EXPECT_EQ(std::vector<Sent>{}, messages.sent) << when;
    }
};

Sent notification(int lParam) { return {kService, 2025, 256, lParam}; }

class VAccessibilityTest : public ::testing::Test, protected Rig {};

TEST_F(VAccessibilityTest, FirstRun_WritesDefaultsAsDwords_AndShowsTheFirstRunStates) {
    dialog.Form_Load();
    EXPECT_EQ(dword(238), stored("StickyKey"));
    EXPECT_EQ(dword(0), stored("IdleTime"));
    EXPECT_EQ("011101", boxes(view));
    EXPECT_EQ("edddddddd", enabledStates(view));
    EXPECT_EQ(0, view.listIndex("comUnStickTime"));
    EXPECT_EQ((std::vector<std::string>{"1", "2", "3", "4", "5"}), view.control("comUnStickTime").items);
    EXPECT_EQ(ui::kColorScrollbar, view.backColor("comUnStickTime"));
    EXPECT_EQ(ui::kColorGrayText, view.foreColor("Label2"));
    EXPECT_TRUE(view.visible());
    EXPECT_FALSE(view.closed());
    EXPECT_TRUE(view.messageBoxes().empty());
    EXPECT_EQ(std::vector<Sent>{notification(1)}, messages.sent);
    EXPECT_EQ(0x10010u, module.accessibilityWindow);
    EXPECT_EQ("C:\\Vantora\\MERIDALE.Hlp", dialog.helpFile());
    EXPECT_EQ("VANTORA Accessibility", view.caption("VAccessibility"));
    EXPECT_EQ("Apply(&A)", view.caption("Apply"));
    EXPECT_EQ(0, registry.openHandleCount()) << "registry objects must be released";
}

struct StoredCase {
    const char* name;
    std::optional<Raw> stickyKey, idleTime;
    const char* boxesShown;
    int listIndex;
    Raw stickyAfterOk, idleAfterOk;
};

class StoredSettingsTest : public VAccessibilityTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredSettingsTest, ShownAsStored_AndOkWithoutChangeWritesBothAndNotifies) {
    const StoredCase& c = GetParam();
    if (c.stickyKey) store("StickyKey", *c.stickyKey);
    if (c.idleTime) store("IdleTime", *c.idleTime);
    dialog.Form_Load();
    EXPECT_EQ(c.boxesShown, boxes(view));
    EXPECT_EQ(c.listIndex, view.listIndex("comUnStickTime"));
    EXPECT_FALSE(view.enabled("Apply"));
    expectEnabledRule("start-up");
    view.click("OK");
    EXPECT_EQ(c.stickyAfterOk, stored("StickyKey"));
    EXPECT_EQ(c.idleAfterOk, stored("IdleTime"));
    EXPECT_EQ((std::vector<Sent>{notification(1), notification(2)}), messages.sent);
    EXPECT_TRUE(view.closed());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredSettingsTest,
    ::testing::Values(
        StoredCase{"AllBits_DropsBit8", dword(511), dword(2), "111111", 2, dword(255), dword(2)},
        StoredCase{"Bit0Only_StaysWithoutHiddenBits", dword(1), dword(0), "100000", 0, dword(1), dword(0)},
        StoredCase{"HighBitsCleared", dword(0xFFFFFF00u | 0x51), dword(4), "100010", 4, dword(0x51), dword(4)},
        StoredCase{"IdleOutOfList_StoresMinusOne", dword(17), dword(7), "100010", -1, dword(17), dword(0xFFFFFFFF)},
        StoredCase{"IdleNegative_NoSelection", dword(0), dword(0xFFFFFFFF), "000000", -1, dword(0), dword(0xFFFFFFFF)},
        StoredCase{"NumbersAsText", sz("209"), sz(" 3 "), "100010", 3, dword(209), dword(3)},
        StoredCase{"TextNoNumber_HiddenBitsSet", sz("abc"), sz("x"), "000000", -1, dword(192), dword(0xFFFFFFFF)},
        StoredCase{"BinaryValue_HiddenBitsSet", Raw{kRegBinary, {7}}, Raw{kRegBinary, {1}}, "000000", -1,
                   dword(192), dword(0xFFFFFFFF)},
        StoredCase{"ExpandSzReadsEmpty_DefaultWritten", Raw{kRegExpandSz, {'1', 0}}, std::nullopt, "011101", 0,
                   dword(238), dword(0)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VAccessibilityTest, UncheckingStickyKey_KeepsTheFiveOptionStates) {
    store("StickyKey", dword(63));
    store("IdleTime", dword(1));
    dialog.Form_Load();
    view.click("chkStickyKey");
    EXPECT_EQ("011111", boxes(view));
    EXPECT_EQ("eddddddde", enabledStates(view)) << "five options, list and label disabled";
    view.setFocus("chkStickyKey");
    view.pressKey(kFormName, 13);  // Enter: the dialog manager clicks the default button, OK
    EXPECT_EQ(dword(62), stored("StickyKey")) << "bits 6 and 7 were clear and stay clear";
    EXPECT_EQ(dword(1), stored("IdleTime"));
}

// Click sequences from the first-run state, the rule checked after every click.
TEST_F(VAccessibilityTest, EnabledAndColourRule_HoldsAfterEveryClickSequence) {
    const std::vector<std::vector<const char*>> sequences = {
        {"chkStickyKey"},
        {"chkStickyKey", "chkUnStickIdle"},
        {"chkStickyKey", "chkUnStickIdle", "chkStickyKey"},
        {"chkStickyKey", "chkUnStickIdle", "chkStickyKey", "chkStickyKey"},
        {"chkStickyKey", "chkUnStickIdle", "chkUnStickIdle"},
        {"chkUnStickIdle", "chkTwiceLock", "comUnStickTime"},  // disabled: nothing happens
        {"chkStickyKey", "chkPressSound", "chkAutoResetSound", "chkStickyIcon", "chkTwiceLock"},
        {"chkStickyKey", "chkUnStickIdle", "Apply", "chkStickyKey", "Apply"},
    };
    for (const auto& clicks : sequences) {
        Rig r;
        r.dialog.Form_Load();
        std::string when = "start";
        r.expectEnabledRule(when);
        for (const char* c : clicks) {
            const bool couldClick = r.view.enabled(c);
            r.view.click(c);
            when += std::string(", ") + c;
            r.expectEnabledRule(when);
            const bool isApply = std::string(c) == "Apply";
            if (couldClick) { EXPECT_EQ(!isApply, r.view.enabled("Apply")) << when; }
        }
    }
}

TEST_F(VAccessibilityTest, Apply_WritesAndNotifies_StaysOpen_AndAnEditedIdleTimeIsStored) {
    dialog.Form_Load();
    view.click("chkStickyKey");
    view.click("chkUnStickIdle");
    view.select("comUnStickTime", 3);
    view.click("Apply");
    EXPECT_EQ(dword(192 | 0x3F), stored("StickyKey"));
    EXPECT_EQ(dword(3), stored("IdleTime"));
    EXPECT_FALSE(view.enabled("Apply"));
    EXPECT_FALSE(view.closed());
    EXPECT_EQ((std::vector<Sent>{notification(1), notification(2)}), messages.sent);
}

TEST_F(VAccessibilityTest, CancelEscAndCloseBox_WriteAndSendNothing) {
    for (const std::string how : {"Cancel", "Esc", "Unload"}) {
        Rig r;
        r.dialog.Form_Load();
        r.view.click("chkStickyKey");
        if (how == "Cancel") r.view.click("Cancel");
        if (how == "Esc") r.view.pressKey("VAccessibility", ui::kKeyEscape);
        // The close box closes the window itself; the dialog only hears of it.
        if (how == "Unload") r.view.raise("VAccessibility", ui::Event::Unload);
        if (how != "Unload") { EXPECT_TRUE(r.view.closed()) << how; }
        EXPECT_EQ(dword(238), r.stored("StickyKey")) << how;
        EXPECT_EQ(std::vector<Sent>{notification(1)}, r.messages.sent) << how;
    }
}

TEST_F(VAccessibilityTest, SecondStart_BringsTheRunningDialogForward_AndShowsAndWritesNothing) {
    instances.earlierCopy = true;
    instances.genuineWindow = module.accessibilityWindow = kRunningDialog;
    dialog.Form_Load();
    EXPECT_EQ((Calls{{"ShowWindow", kRunningDialog, kSwRestore}, {"SetForegroundWindow", kRunningDialog, 0}}), windows.calls);
    expectEndedSilently("second start");
    EXPECT_TRUE(view.messageBoxes().empty());
    EXPECT_EQ(0, registry.callCount(RegOp::CreateKey)) << "no rights probe either";
    EXPECT_EQ(0, module.calls("RegAccessibility"));
    EXPECT_EQ(kRunningDialog, module.accessibilityWindow) << "the running dialog stays registered";
}

// Whatever holds the token without being a verified copy (a program of our name that
// registered its own window, or one that registered nothing) neither gets brought
// forward nor keeps the dialog from starting; the dialog then registers itself.
TEST_F(VAccessibilityTest, SecondStart_UnverifiedRunningCopy_IsLeftAlone_AndTheDialogStarts) {
    for (const std::uint32_t registered : {kRunningDialog, 0u}) {
        Rig r;
        r.instances.earlierCopy = true;
        r.module.accessibilityWindow = registered;
        r.dialog.Form_Load();
        EXPECT_EQ(Calls{}, r.windows.calls) << registered;
        EXPECT_TRUE(r.view.visible()) << registered;
        EXPECT_EQ(0x10010u, r.module.accessibilityWindow) << registered;
        EXPECT_EQ(std::vector<Sent>{notification(1)}, r.messages.sent) << registered;
    }
}

TEST_F(VAccessibilityTest, NoAdministratorRights_Exclamation_NothingWrittenNothingSent) {
    registry.makeReadOnly(kHkeyCurrentUser, "Software\\Policies");
    store("StickyKey", dword(1));
    dialog.Form_Load();
    ASSERT_EQ(1u, view.messageBoxes().size());
    EXPECT_EQ("You do not have Administrator authority.", view.messageBoxes()[0].text);
    EXPECT_EQ("VANTORA Accessibility Error", view.messageBoxes()[0].caption);
    EXPECT_EQ(ui::kMbOk | ui::kMbIconExclamation, view.messageBoxes()[0].flags);
    EXPECT_TRUE(dialog.limitedUser());
    EXPECT_TRUE(view.closed());
    EXPECT_FALSE(view.visible());
    EXPECT_EQ(dword(1), stored("StickyKey"));
    EXPECT_EQ(std::nullopt, stored("IdleTime"));
    EXPECT_EQ(std::vector<Sent>{}, messages.sent);
    EXPECT_EQ(0, module.calls("RegAccessibility"));
}

struct ModuleFailure {
    const char* missing;  // "" for the whole library
    const char* message;
    int registrations;
};

TEST_F(VAccessibilityTest, CommonModuleFailures_ShowTheirOwnTextCritical_AfterNothingSent) {
    const ModuleFailure cases[] = {
        {"", "File not found: CORELINK.dll", 1},
        {"RegAccessibility", "Can't find DLL entry point RegAccessibility in CORELINK.dll", 1},
        {"GetVHotkeyHandle", "Common Module terminated!", 1},
        {"-", "Common Module terminated!", 1},  // the service does not run
    };
    for (const ModuleFailure& c : cases) {
        Rig r;
        const std::string missing = c.missing;
        if (missing.empty()) r.module.removeLibrary();
        if (missing == "-") r.module.hotkeyWindow = 0;
        if (missing.size() > 1) r.module.removeExport(missing);
        r.dialog.Form_Load();
        ASSERT_EQ(1u, r.view.messageBoxes().size()) << missing;
        EXPECT_EQ(c.message, r.view.messageBoxes()[0].text) << missing;
        EXPECT_EQ("MERIDALE", r.view.messageBoxes()[0].caption) << missing;
        EXPECT_EQ(ui::kMbOk | ui::kMbIconCritical, r.view.messageBoxes()[0].flags) << missing;
        EXPECT_EQ(c.registrations, r.module.calls("RegAccessibility")) << missing;
        r.expectEndedSilently(missing);
    }
}

TEST_F(VAccessibilityTest, RightsProbe_RemovesTheKeyItMade) {
    dialog.Form_Load();
    EXPECT_FALSE(registry.keyExists(kHkeyCurrentUser, kPolicyProbeKey));
    EXPECT_TRUE(registry.keyExists(kHkeyCurrentUser, "Software\\Policies"));
    EXPECT_FALSE(dialog.limitedUser());
}

TEST_F(VAccessibilityTest, RightsProbe_KeepsAPolicyKeyThatExistedBefore) {
    ScopedRegKey existing = ScopedRegKey::create(registry, kHkeyCurrentUser, kPolicyProbeKey);
    const std::uint8_t one = 1;
    ASSERT_EQ(kErrorSuccess, registry.RegSetValueExA(existing.get(), "Policy", kRegBinary, &one, 1));
    existing.reset();
    dialog.Form_Load();
    EXPECT_FALSE(dialog.limitedUser());
    EXPECT_TRUE(view.visible());
    ScopedRegKey kept = ScopedRegKey::open(registry, kHkeyCurrentUser, kPolicyProbeKey);
    ASSERT_TRUE(kept) << "the policy key that existed before must survive";
    std::uint32_t size = 0;
    EXPECT_EQ(kErrorSuccess, registry.RegQueryValueExA(kept.get(), "Policy", nullptr, nullptr, &size));
}

// Each rule makes one kind of registry call fail under the settings key.
TEST_F(VAccessibilityTest, RegistryFailuresAtStartUp_LeaveTheDesignedStates_AndTheDialogOpens) {
    const RegOp failing[] = {RegOp::CreateKey, RegOp::QueryValueEx, RegOp::SetValueEx};
    for (RegOp op : failing) {
        Rig r;
        r.registry.failWhen([op](const FakeRegistry::Call& call) -> long {
            const bool settings = call.keyPath.find("VHotkey") != std::string::npos ||
                                  call.name.find("VHotkey") != std::string::npos;
            return call.op == op && settings ? kErrorAccessDenied : kErrorSuccess;
        });
        r.dialog.Form_Load();
        const std::string which = "failing op " + std::to_string(static_cast<int>(op));
        EXPECT_TRUE(r.view.visible()) << which;
        EXPECT_TRUE(r.view.messageBoxes().empty()) << which;
        EXPECT_EQ("000000", boxes(r.view)) << which;
        EXPECT_EQ(-1, r.view.listIndex("comUnStickTime")) << which;
        EXPECT_EQ("edddddddd", enabledStates(r.view)) << which;
        r.expectEnabledRule(which);
        EXPECT_EQ(std::vector<Sent>{notification(1)}, r.messages.sent) << which;
    }
}

TEST_F(VAccessibilityTest, Banner_RightPartAtTheWindowEdge_MiddleFillsTheGap) {
    struct Case {
        int formWidth;
        ui::Rect image1, image4, image3;
    };
    const Case cases[] = {
        {5730, {0, 0, 3750, 420}, {3751, 0, 780, 420}, {4530, 0, 1200, 420}},
        {4000, {0, 0, 3750, 420}, {3751, 0, 0, 420}, {2800, 0, 1200, 420}},
    };
    for (const Case& c : cases) {
        Rig r;
        r.view.control("Image1").bounds.height = 300;
        r.view.resizeForm(c.formWidth, 6900);
        r.dialog.Form_Load();
        EXPECT_EQ(c.image1, r.view.bounds("Image1")) << c.formWidth;
        EXPECT_EQ(c.image4, r.view.bounds("Image4")) << c.formWidth;
        EXPECT_EQ(c.image3, r.view.bounds("Image3")) << c.formWidth;
    }
}

TEST_F(VAccessibilityTest, WhatsThisHelp_PopsUpTheControlsTopicFromTheProgramsHelpFile) {
    dialog.Form_Load();
    const std::pair<const char*, std::uint32_t> topics[] = {
        {"chkStickyKey", 101}, {"chkTwiceLock", 102}, {"chkPressSound", 103}, {"chkStickyIcon", 104},
        {"chkUnStickIdle", 105}, {"comUnStickTime", 105}, {"Label2", 105}, {"chkAutoResetSound", 106},
        {"OK", 107}, {"Cancel", 108}, {"Apply", 109}};
    for (const auto& [control, topic] : topics) EXPECT_EQ(topic, view.control(control).helpContext) << control;
    view.raise("VAccessibility", ui::Event::Help, 105);
    EXPECT_EQ((std::vector<testing::FakeHelp::Topic>{{"C:\\Vantora\\MERIDALE.Hlp", 105}}), help.popups);
    EXPECT_TRUE(help.shown.empty()) << "a popup beside the control, not the help window";
    view.raise("VAccessibility", ui::Event::Help, 0);  // the dialog, or a control without a topic
    EXPECT_EQ(std::vector<std::string>{"C:\\Vantora\\MERIDALE.Hlp"}, help.contents) << "the dialog's own topic";
}

// ---- ApplyLanguage: the dialog started with a language library of its own.

using Strings = testing::FakeStringLibrary::Strings;
constexpr ui::Rect kPlaced{100, 200, 1000, 300};  // every control before the library speaks
constexpr int kFormHeight = 6900;

// Every control of the template with its design class, at kPlaced with 8-point fonts.
struct LanguageRig : Rig {
    LanguageRig(int dpi, std::optional<Strings> library) {
        screen.dpi = dpi;
        if (library) languages.libraries[kLanguageLibrary] = *library;
        for (const std::string& c : view.controlNames()) {
            view.control(c).fontSize = 8;
            if (c.rfind("Image", 0) != 0 || c == "Image2") view.control(c).bounds = kPlaced;
        }
        dialog.Form_Load();
    }
    // Every side that differs from where it was placed; "form.height" for the window.
    std::map<std::string, int> moved() const {
        std::map<std::string, int> m;
        if (view.formBounds().height != kFormHeight) m["form.height"] = view.formBounds().height;
        for (const std::string& c : view.controlNames()) {
            if (c == "Image1" || c == "Image3" || c == "Image4") continue;  // the banner's own layout
            const ui::Rect r = view.bounds(c);
            if (r.left != kPlaced.left) m[c + ".left"] = r.left;
            if (r.top != kPlaced.top) m[c + ".top"] = r.top;
            if (r.width != kPlaced.width) m[c + ".width"] = r.width;
            if (r.height != kPlaced.height) m[c + ".height"] = r.height;
        }
        return m;
    }
    std::string font(const char* c) const {
        const auto* k = view.find(c);
        return k->fontName + "/" + std::to_string(k->charset) + "/" + std::to_string(k->fontSize);
    }
};

// A library that has every number, each text naming its number.
Strings fullLibrary(const std::string& code) {
    Strings s{{1, code}, {20, "MS UI Gothic"}};
    for (std::uint32_t n = 2; n <= 19; ++n) s[n] = "text " + std::to_string(n);
    return s;
}

TEST(ApplyLanguage, TextsFromTheLibrary_OnlyWithALanguageCode_MissingNumbersEmpty) {
    const DialogTexts english = builtInTexts();
    Strings withoutCode = fullLibrary("FR");
    withoutCode.erase(1);
    Strings without14And18 = fullLibrary("ZZ");
    without14And18.erase(14), without14And18.erase(18);
    struct Case {
        const char* what;
        std::optional<Strings> library;
        bool localized;
    } cases[] = {
        {"no library", std::nullopt, false},
        {"a library without string 1", withoutCode, false},
        {"a code the program does not know", fullLibrary("ZZ"), true},
        {"a known code in the wrong case", fullLibrary("fr"), true},
        {"strings 14 and 18 missing", without14And18, true},
    };
    for (const Case& c : cases) {
        for (int dpi : {72, 96}) {
            LanguageRig rig(dpi, c.library);
            const std::string when = std::string(c.what) + " at " + std::to_string(dpi);
            for (std::size_t i = 0; i < english.captions.size(); ++i) {
                const auto& [control, text] = english.captions[i];
                const std::int16_t n = static_cast<std::int16_t>(2 + i);
                const std::string expected = !c.localized ? text : (c.library->count(n) ? "text " + std::to_string(n) : "");
                EXPECT_EQ(expected, rig.view.caption(control)) << control << ", " << when;
            }
            EXPECT_EQ(c.localized ? "text 17" : english.commonModuleTerminated, rig.dialog.texts().commonModuleTerminated);
            EXPECT_EQ(c.localized ? (c.library->count(18) ? "text 18" : "") : english.noAdministratorAuthority,
                      rig.dialog.texts().noAdministratorAuthority)
                << when;
            EXPECT_EQ(c.localized ? "text 19" : english.errorCaption, rig.dialog.texts().errorCaption) << when;
            // Only the known codes, written as they are, touch fonts or geometry.
            EXPECT_EQ("/0/8", rig.font("Label1")) << when;
            EXPECT_EQ((std::map<std::string, int>{}), rig.moved()) << when;
            EXPECT_TRUE(rig.languages.open.empty()) << "a library left loaded, " << when;
        }
    }
}

TEST(ApplyLanguage, Fonts_JapaneseAtAnyResolution_OtherKnownCodesOnlyAt72) {
    // face/charset/points of: OK, frmOptions, chkStickyKey, Label1, comUnStickTime, Image2
    struct Case {
        const char* code;
        int dpi;
        std::vector<std::string> fonts;
    } cases[] = {
        {"JA", 96, {"MS P Gothic/1/8", "MS P Gothic/1/8", "MS P Gothic/1/8", "MS UI Gothic/1/9", "/0/8", "/0/8"}},
        {"JA", 72, {"MS P Gothic/1/8", "MS P Gothic/1/8", "MS P Gothic/1/8", "MS UI Gothic/1/9", "/0/8", "/0/8"}},
        {"FR", 96, {"/0/8", "/0/8", "/0/8", "/0/8", "/0/8", "/0/8"}},
        {"FR", 72, {"MS P Gothic/0/9", "MS P Gothic/0/10", "MS P Gothic/0/10", "MS P Gothic/0/10", "/0/8", "/0/8"}},
        {"HU", 72, {"MS P Gothic/0/9", "MS P Gothic/0/10", "MS P Gothic/0/10", "MS P Gothic/0/10", "/0/8", "/0/8"}},
        {"Ja", 72, {"/0/8", "/0/8", "/0/8", "/0/8", "/0/8", "/0/8"}},
    };
    for (const Case& c : cases) {
        LanguageRig rig(c.dpi, fullLibrary(c.code));
        std::vector<std::string> fonts;
        for (const char* control : {"OK", "frmOptions", "chkStickyKey", "Label1", "comUnStickTime", "Image2"})
            fonts.push_back(rig.font(control));
        EXPECT_EQ(c.fonts, fonts) << c.code << " at " << c.dpi;
    }
}

TEST(ApplyLanguage, Geometry_EveryCodesRowsAt72And96_SignedAddsUnsignedReplaces) {
    using Moved = std::map<std::string, int>;
    struct Case {
        const char* code;
        int dpi;
        Moved moved;
    } cases[] = {
        {"NLD", 96, {{"chkPressSound.height", 375}}},
        {"NLD", 72,
         {{"form.height", 7400}, {"OK.top", 600}, {"Cancel.top", 600}, {"Apply.top", 600},
          {"frmStickyKey.height", 700}, {"frmOptions.height", 800}, {"frmAutoReset.top", 650},
          {"chkTwiceLock.height", 500}, {"chkTwiceLock.top", 300}, {"chkPressSound.top", 450},
          {"chkPressSound.height", 475}, {"chkStickyIcon.top", 700}, {"chkStickyIcon.height", 350}}},
        {"KOR", 96,
         {{"frmOptions.height", 1575}, {"chkStickyIcon.top", 1080}, {"chkPressSound.top", 720},
          {"chkTwiceLock.height", 375}}},
        {"KOR", 72,
         {{"frmOptions.height", 1575}, {"chkStickyIcon.top", 1080}, {"chkPressSound.top", 800},
          {"chkTwiceLock.height", 475}, {"chkTwiceLock.top", 260}}},
        {"GR", 96, {}},
        {"GR", 72,
         {{"chkTwiceLock.top", 260}, {"chkTwiceLock.height", 475}, {"chkPressSound.top", 800}, {"Apply.width", 1500},
          {"chkStickyIcon.top", 250}}},
        {"FR", 96, {}},
        {"FR", 72, {{"chkTwiceLock.top", 250}, {"chkTwiceLock.height", 475}, {"chkPressSound.top", 700}}},
        {"RU", 96, {{"chkStickyKey.top", 50}, {"chkStickyKey.height", 375}}},
        {"RU", 72,
         {{"form.height", 7400}, {"OK.top", 600}, {"Cancel.top", 600}, {"Apply.top", 600}, {"Apply.width", 1100},
          {"frmStickyKey.height", 700}, {"frmOptions.height", 600}, {"frmOptions.top", 300},
          {"frmAutoReset.top", 550}, {"chkTwiceLock.height", 450}, {"chkTwiceLock.top", 300},
          {"chkPressSound.top", 450}, {"chkStickyIcon.top", 500}, {"chkStickyIcon.height", 350},
          {"chkStickyKey.height", 450}}},
        {"GK", 96,
         {{"Label1.top", 240}, {"Label1.height", 960}, {"chkStickyKey.top", 1080}, {"frmAutoReset.top", 2880},
          {"frmOptions.top", 1320}}},
        {"GK", 72,
         {{"form.height", 7400}, {"OK.top", 600}, {"Cancel.top", 600}, {"Apply.top", 600},
          {"frmStickyKey.height", 700}, {"frmOptions.height", 700}, {"frmAutoReset.top", 550},
          {"chkTwiceLock.height", 450}, {"chkTwiceLock.top", 250}, {"chkPressSound.top", 400},
          {"chkPressSound.height", 500}, {"chkStickyIcon.top", 550}, {"chkStickyIcon.height", 400}}},
        {"FI", 72, {{"chkPressSound.top", 350}, {"chkTwiceLock.height", 500}, {"chkStickyIcon.top", 250}}},
        {"SWE", 72, {{"chkPressSound.top", 350}, {"chkTwiceLock.height", 500}, {"chkStickyIcon.top", 250}}},
        {"PO", 96, {}},
        {"PO", 72, {{"chkPressSound.top", 350}, {"chkTwiceLock.height", 500}, {"chkStickyIcon.top", 250}}},
        {"HU", 96, {}},
        {"HU", 72,
         {{"form.height", 7400}, {"OK.top", 700}, {"Cancel.top", 700}, {"Apply.top", 700},
          {"frmStickyKey.height", 800}, {"frmOptions.height", 700}, {"frmOptions.top", 400},
          {"frmAutoReset.top", 650}, {"chkTwiceLock.height", 500}, {"chkTwiceLock.top", 300},
          {"chkPressSound.top", 400}, {"chkPressSound.height", 450}, {"chkStickyIcon.top", 450},
          {"chkStickyIcon.height", 400}, {"chkStickyKey.height", 500}, {"Image2.left", 0}}},
        // The first correction (top -50, height +50) comes before the second (height +50).
        {"TK", 96, {}},
        {"TK", 72, {{"chkStickyIcon.top", 150}, {"chkStickyIcon.height", 400}, {"Image2.left", 0}, {"frmOptions.height", 350}}},
        {"CS", 72, {{"chkStickyIcon.top", 150}, {"chkStickyIcon.height", 350}}},
        {"NOR", 72, {{"frmOptions.top", 300}, {"chkStickyKey.top", 300}, {"Label1.height", 400}}},
        {"DAN", 96, {}},
        {"DAN", 72, {{"frmOptions.top", 300}, {"chkStickyKey.top", 300}, {"Label1.height", 400}}},
        {"IT", 96, {}},
        {"IT", 72, {{"chkStickyKey.width", 4750}, {"chkStickyKey.left", 500}}},
        {"POR", 96, {}},
        {"POR", 72,
         {{"chkStickyIcon.width", 4850}, {"chkPressSound.height", 400}, {"chkAutoResetSound.width", 4900},
          {"chkAutoResetSound.height", 400}, {"frmStickyKey.height", 400}, {"frmAutoReset.height", 400}}},
        {"JA", 72, {}},
        {"SP", 72, {}},
        {"kor", 96, {}},
    };
    for (const Case& c : cases) {
        LanguageRig rig(c.dpi, Strings{{1, c.code}});
        EXPECT_EQ(c.moved, rig.moved()) << c.code << " at " << c.dpi;
    }
}

TEST(NumberOf, StoredValuesThatCountAsNumbers) {
    const std::pair<RegistryVariant, std::optional<std::int32_t>> cases[] = {
        {std::int32_t{-1}, -1},       {std::int16_t{7}, 7},          {std::string("238"), 238},
        {std::string(" +12 "), 12},   {std::string("-3"), -3},       {std::string(""), std::nullopt},
        {std::string("  "), std::nullopt}, {std::string("12a"), std::nullopt}, {std::string("0x10"), std::nullopt},
        {std::string("99999999999"), std::nullopt}, {Bytes{1, 0, 0, 0}, std::nullopt}, {RegistryVariant{}, std::nullopt},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(expected, numberOf(value)) << "type " << typeName(value);
}

}  // namespace
}  // namespace vantora::accessibility
