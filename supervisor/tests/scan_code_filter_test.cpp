// The password box's keyboard filter: which keys become groups of the key-code string,
// which messages are dropped, and how a paste turns into keys on each layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/fakes/fake_keyboard.h"
#include "supervisor/scan_code_filter.h"

namespace vantora {
namespace {

using testing::FakeKeyboard;
using testing::FakeLayout;
using testing::KeyboardOp;
using Kind = ui::ControlMessage::Kind;

// The modifiers the keyboard reports held as the message arrives.
struct Held {
    bool ctrl = false, alt = false, leftShift = false;
};
constexpr Held kNone{}, kCtrl{true, false, false}, kCtrlAlt{true, true, false}, kAlt{false, true, false},
    kLeftShift{false, false, true}, kCtrlShift{true, false, true};

// A message of the box with the keyboard and the box as they stand when it arrives.
struct Event {
    ui::ControlMessage message;
    Held held;
    PasswordBoxState box;
};

Event key(Kind kind, std::uint8_t scanCode, Held held = kNone, int vk = 0, bool extended = false) {
    return {{kind, vk, scanCode, extended}, held, {}};
}
Event down(std::uint8_t scanCode, Held held = kNone) { return key(Kind::KeyDown, scanCode, held); }
Event up(std::uint8_t scanCode, Held held = kNone) { return key(Kind::KeyUp, scanCode, held); }
Event of(Kind kind) { return key(kind, 0); }

struct Rig {
    explicit Rig(FakeLayout layout = FakeLayout::US) : keyboard(layout) {}
    FakeKeyboard keyboard;
    ScanCodeFilter filter{keyboard};
    KeyCodeString keyCodes;
    FilterDecision send(const Event& e) {
        keyboard.setKeyDown(kVkControl, e.held.ctrl);
        keyboard.setKeyDown(kVkMenu, e.held.alt);
        keyboard.setKeyDown(kVkLeftShift, e.held.leftShift);
        return filter.filter(e.message, e.box, keyCodes);
    }
    std::string text() const { return std::string(keyCodes.text()); }
};

TEST(ScanCodeFilter, KeyDowns_RecordTheKeysABiosPromptTakes) {
    const struct {
        const char* what;
        FakeLayout layout;
        std::vector<Event> events;
        std::string expected;
        bool lastPasses;
    } cases[] = {
        {"a b c", FakeLayout::US, {down(30), up(30), down(48), down(46)}, "030048046", true},
        {"Shift+a is a", FakeLayout::US, {down(0x2A, kLeftShift), down(30, kLeftShift), up(0x2A)}, "030", true},
        {"eleventh key", FakeLayout::US,
         {down(2), down(3), down(4), down(5), down(6), down(7), down(8), down(9), down(10), down(11), down(12)},
         "002003004005006007008009010011", true},
        {"Backspace takes the last", FakeLayout::US, {down(30), down(48), down(46), down(14)}, "030048", true},
        {"Backspace on empty", FakeLayout::US, {down(14), down(14)}, "", true},
        {"with Ctrl", FakeLayout::US, {down(0x1D, kCtrl), down(30, kCtrl), down(14, kCtrl)}, "", true},
        {"with AltGr", FakeLayout::German,
         {down(0x1D, kCtrl), down(0x38, kCtrlAlt), down(0x10, kCtrlAlt), down(9, kCtrlAlt)}, "", true},
        {"Alt+key is a system key", FakeLayout::US, {key(Kind::SysKeyDown, 0x38, kAlt), key(Kind::SysKeyDown, 30, kAlt)},
         "", true},
        // Ctrl released while another window had the focus, then the box again.
        {"release seen elsewhere", FakeLayout::US, {down(0x1D, kCtrl), down(30)}, "030", true},
        {"Shift released, Ctrl still held", FakeLayout::US,
         {down(0x1D, kCtrl), down(0x2A, kCtrlShift), up(0x2A, kCtrl), down(30, kCtrl)}, "", true},
        {"French: Shift with the key left of 1", FakeLayout::French, {down(0x2A, kLeftShift), down(0x29, kLeftShift)},
         "", true},
        {"French: the key left of 1 alone", FakeLayout::French, {down(0x29)}, "041", true},
        {"US: Shift with the key left of 1", FakeLayout::US, {down(0x29, kLeftShift)}, "041", true},
        {"volume up", FakeLayout::US, {key(Kind::KeyDown, 0x30, kNone, 0xAF, true)}, "", false},
        {"volume down", FakeLayout::US, {key(Kind::KeyDown, 0x2E, kNone, 0xAE, true)}, "", false},
        {"mute", FakeLayout::US, {key(Kind::KeyDown, 0x20, kNone, 0xAD, true)}, "", false},
        {"keypad slash", FakeLayout::US, {key(Kind::KeyDown, 0x35, kNone, 0x6F, true)}, "", false},
        {"Enter", FakeLayout::US, {down(30), down(28)}, "030", true},
        {"keypad Enter", FakeLayout::US, {key(Kind::KeyDown, 28, kNone, 0x0D, true)}, "", true},
        {"Esc", FakeLayout::US, {down(1)}, "", false},
        {"Tab", FakeLayout::US, {down(15)}, "", false},
        {"F1", FakeLayout::US, {down(0x3B)}, "", false},
        {"Caps Lock", FakeLayout::US, {down(0x3A)}, "", false},
        {"keypad 7", FakeLayout::US, {down(0x47)}, "", false},
        {"arrow up", FakeLayout::US, {key(Kind::KeyDown, 0x48, kNone, 0x26, true)}, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.layout);
        FilterDecision last;
        for (const auto& e : c.events) last = rig.send(e);
        EXPECT_EQ(c.expected, rig.text());
        EXPECT_EQ(c.lastPasses, last.pass);
    }
}

TEST(ScanCodeFilter, KeyRecorded_OnlyWhenAGroupWasAppended) {
    Rig rig;
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(rig.send(down(30)).keyRecorded) << i;
    EXPECT_FALSE(rig.send(down(30)).keyRecorded) << "the eleventh";
    EXPECT_FALSE(rig.send(down(14)).keyRecorded) << "Backspace";
    EXPECT_FALSE(rig.send(down(30, kCtrl)).keyRecorded);
    Event readOnly = down(30);
    readOnly.box.readOnly = true;
    EXPECT_FALSE(rig.send(readOnly).pass) << "a read-only box takes no key";
}

TEST(ScanCodeFilter, OtherMessages_DropWhatCouldRevealOrCorrupt) {
    const struct {
        const char* what;
        Kind kind;
        bool focused;
        bool pass, focusBox;
    } cases[] = {
        {"click into the focused box", Kind::LeftButtonDown, true, false, false},
        {"click into the box from elsewhere", Kind::LeftButtonDown, false, true, true},
        {"double-click", Kind::LeftButtonDoubleClick, true, false, false},
        {"cut", Kind::Cut, true, false, false},
        {"copy", Kind::Copy, true, false, false},
        {"undo", Kind::Undo, true, false, false},
        {"unmask", Kind::Unmask, true, false, false},
        {"context menu", Kind::ContextMenu, true, true, false},
        {"character", Kind::Char, true, true, false},
        {"key up", Kind::KeyUp, true, true, false},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.keyCodes = KeyCodeString("030");
        Event e = of(c.kind);
        e.box.hasFocus = c.focused;
        const FilterDecision d = rig.send(e);
        EXPECT_EQ(c.pass, d.pass) << c.what;
        EXPECT_EQ(c.focusBox, d.focusBox) << c.what;
        EXPECT_EQ("030", rig.text()) << c.what;
    }
}

TEST(ScanCodeFilter, Paste_AppendsWholeKeys_OrNothing) {
    const struct {
        const char* what;
        FakeLayout layout;
        const char* before;
        std::optional<std::string> clipboard;
        std::string expected;
    } cases[] = {
        {"C on US", FakeLayout::US, "", "C", "046"},
        {"shifted characters are their keys", FakeLayout::US, "", "aB1!\" ", "030048002002040057"},
        {"after typed keys, removing none", FakeLayout::US, "030", "b", "030048"},
        {"an accented letter", FakeLayout::US, "030", "ab\xE9", "030"},
        {"a tab", FakeLayout::US, "", "a\tb", ""},
        {"French a", FakeLayout::French, "", "a", "016"},
        {"French digit needs Shift", FakeLayout::French, "", "a1", ""},
        {"German z", FakeLayout::German, "", "yz", "044021"},
        {"German bracket needs AltGr", FakeLayout::German, "", "[", ""},
        {"fills to ten", FakeLayout::US, "002003004005006007008009", "ab", "002003004005006007008009030048"},
        {"would pass ten", FakeLayout::US, "002003004005006007008009", "abc", "002003004005006007008009"},
        {"already ten", FakeLayout::US, "002003004005006007008009010011", "a", "002003004005006007008009010011"},
        {"no text", FakeLayout::US, "030", std::nullopt, "030"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(c.layout);
        rig.keyCodes = KeyCodeString(c.before);
        rig.keyboard.setClipboardText(c.clipboard);
        const Event paste = of(Kind::Paste);
        const FilterDecision d = rig.send(paste);
        EXPECT_FALSE(d.pass) << "the box itself must never get the pasted text";
        EXPECT_EQ(c.expected, rig.text());
        EXPECT_EQ(static_cast<int>((c.expected.size() - std::strlen(c.before)) / 3), d.pastedKeys);
    }
}

// Whatever another program put on the clipboard, a paste copies no more of it than
// could fit in the box, and is refused when there is more.
TEST(ScanCodeFilter, Paste_OfAHugeText_ReadsOnlyWhatCouldFit) {
    Rig rig;
    rig.keyCodes = KeyCodeString("002003004005006007008");
    rig.keyboard.setClipboardText(std::string(1 << 20, 'a'));
    const Event paste = of(Kind::Paste);
    EXPECT_EQ(0, rig.send(paste).pastedKeys);
    EXPECT_EQ("002003004005006007008", rig.text());
    EXPECT_LE(rig.keyboard.longestClipboardRead(), 4u) << "three keys fit; a fourth character tells it is too long";
}

TEST(ScanCodeFilter, Paste_FailingCalls_AppendNothing) {
    const KeyboardOp ops[] = {KeyboardOp::GetClipboardText, KeyboardOp::VkKeyScan, KeyboardOp::MapVirtualKey};
    for (KeyboardOp op : ops) {
        Rig rig;
        rig.keyboard.setClipboardText("abc");
        rig.keyboard.failNext(op);
        const Event paste = of(Kind::Paste);
        EXPECT_EQ(0, rig.send(paste).pastedKeys) << static_cast<int>(op);
        EXPECT_EQ("", rig.text()) << static_cast<int>(op);
    }
}

// The pasted text may be the password itself; the filter keeps nothing of it.
TEST(ScanCodeFilter, Paste_LeavesNoClipboardTextInTheFilter) {
    const char* const texts[] = {"qwer", "qwer\xE9"};
    for (const char* text : texts) {
        Rig rig;
        rig.keyboard.setClipboardText(std::string(text));
        const Event paste = of(Kind::Paste);
        rig.send(paste);
        const auto* raw = reinterpret_cast<const char*>(&rig.filter);
        const std::string_view bytes(raw, sizeof(ScanCodeFilter));
        EXPECT_EQ(std::string_view::npos, bytes.find("qwer")) << text;
    }
}

TEST(KeyboardLayoutName, ByTheLowWordOfTheLayout) {
    const struct {
        std::uint32_t handle;
        std::string_view name;
    } cases[] = {
        {0x04090409, "US - English"},          {0x040C040C, "France - French"},
        {0xF0C0040C, "France - French"},       {0x0409E40C, "North Africa - French"},
        {0x10091009, "Canada - English"},      {0x04070407, "Germany - German"},
        {0x04110411, "Japan - Japanese"},      {0x0C0C0C0C, "Canada - French"},
        {0x08040804, "China - Chinese, Simplified"}, {0x04040404, "Taiwan - Chinese, Traditional"},
        {0x0C040C04, "Not listed"},            {0x00000000, "Not listed"},
        {0x04090807, "Not listed"},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.keyboard.setLayoutHandle(c.handle);
        rig.send(of(Kind::RightButtonUp));
        EXPECT_EQ(c.name, rig.filter.layoutName()) << std::hex << c.handle;
    }
}

}  // namespace
}  // namespace vantora
