#include "supervisor/scan_code_filter.h"

#include <iterator>

#include "common/secure_wipe.h"

namespace vantora {

namespace {

struct LayoutName {
    std::uint16_t languageId;
    std::string_view name;
};

constexpr LayoutName kLayoutNames[] = {
    {0x0404, "Taiwan - Chinese, Traditional"},
    {0x0405, "Czech - Czech"},
    {0x0406, "Denmark - Danish"},
    {0x0407, "Germany - German"},
    {0x0408, "Greece - Greek"},
    {0x0409, "US - English"},
    {0x040A, "Spain - Spanish"},
    {0x040B, "Finland - Finnish"},
    {0x040C, kLayoutFranceFrench},
    {0x040E, "Hungary - Hungarian"},
    {0x0410, "Italy - Italian"},
    {0x0411, "Japan - Japanese"},
    {0x0412, "Korea - Korean"},
    {0x1009, "Canada - English"},
    {0x0413, "Benelux - Dutch"},
    {0x0414, "Norway - Norwegian"},
    {0x0415, "Poland - Polish"},
    {0x0416, "Brazil - Portuguese"},
    {0x0419, "Russia - Russian"},
    {0x041D, "Sweden - Swedish"},
    {0x041F, "Turkey - Turkish"},
    {0x0804, "China - Chinese, Simplified"},
    {0x0809, "UK - English"},
    {0x080C, "Benelux - French"},
    {0x0816, "Portugal - Portuguese"},
    {0x0C09, "Australia - English"},
    {0x0C0C, "Canada - French"},
    {0xE40C, "North Africa - French"},
};

// A pasted character stands for the key that gives it on a US keyboard; the key is
// then looked up, unshifted, on the current layout.
constexpr char kUsShiftedKeys[][2] = {
    {'!', '1'}, {'@', '2'}, {'#', '3'}, {'$', '4'}, {'%', '5'}, {'^', '6'}, {'&', '7'}, {'*', '8'},
    {'(', '9'}, {')', '0'}, {'<', ','}, {'>', '.'}, {'?', '/'}, {':', ';'}, {'"', '\''}, {'{', '['},
    {'}', ']'}, {'|', '\\'}, {'_', '-'}, {'+', '='}, {'~', '`'},
};

char usUnshifted(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    for (const auto& pair : kUsShiftedKeys)
        if (pair[0] == c) return pair[1];
    return c;
}

// The 95 printable ASCII characters: every one has a key on a US keyboard.
bool isAcceptedPasteCharacter(char c) { return c >= 0x20 && c <= 0x7E; }

FilterDecision dropped() {
    FilterDecision d;
    d.pass = false;
    return d;
}

}  // namespace

bool isAcceptableScanCode(std::uint8_t s) {
    return (s >= 2 && s <= 13) || (s >= 16 && s <= 27) || (s >= 30 && s <= 41) || (s >= 43 && s <= 53) || s == 57;
}

std::string_view keyboardLayoutName(std::uint16_t languageId) {
    for (const auto& entry : kLayoutNames)
        if (entry.languageId == languageId) return entry.name;
    return kLayoutNotListed;
}

ScanCodeFilter::~ScanCodeFilter() { secureWipe(clipboard_); }

void ScanCodeFilter::detectLayout() {
    layoutName_ = keyboardLayoutName(static_cast<std::uint16_t>(keyboard_.GetKeyboardLayout(0) & 0xFFFF));
}

// The flags follow the keys held as the message left the queue, as the keyboard tells
// them, not only the presses and releases the box saw: a release that went to another
// window (after Alt+Tab, or a click elsewhere with Ctrl held) would otherwise leave a
// flag set for good, and releasing Shift would forget a Ctrl still held.
void ScanCodeFilter::trackModifiers(const ui::ControlMessage& m) {
    using K = ui::ControlMessage::Kind;
    const bool isKeyDown = m.kind == K::KeyDown || m.kind == K::SysKeyDown;
    const auto scanCode = static_cast<std::uint8_t>(m.scanCode);
    flags_.ctrlDown = held(kVkControl) || (isKeyDown && scanCode == kCtrlScanCode);
    flags_.altDown = held(kVkMenu) || (isKeyDown && scanCode == kAltScanCode);
    flags_.leftShiftDown = held(kVkLeftShift) || (m.kind == K::KeyDown && scanCode == kLeftShiftScanCode);
    flags_.ctrlAltDown = flags_.ctrlDown && flags_.altDown;
}

FilterDecision ScanCodeFilter::filter(const ui::ControlMessage& m, const PasswordBoxState& box,
                                      KeyCodeString& keyCodes) {
    using K = ui::ControlMessage::Kind;
    detectLayout();
    switch (m.kind) {
    case K::LeftButtonDown: {
        // A click while focused would move the caret into the asterisks.
        if (box.hasFocus) return dropped();
        FilterDecision d;
        d.focusBox = true;
        return d;
    }
    case K::LeftButtonDoubleClick:
    case K::Cut:
    case K::Copy:
    case K::Undo:
    case K::Unmask:
        return dropped();
    case K::Paste: {
        // The box never receives the pasted text itself: it would sit unmasked in the
        // window text. The dialog shows asterisks for the keys instead.
        FilterDecision d = dropped();
        d.pastedKeys = pasteConversion(keyCodes);
        return d;
    }
    case K::KeyDown:
        return keyDown(m, box.readOnly, keyCodes);
    case K::KeyUp:
    case K::SysKeyDown:
    case K::SysKeyUp:
        trackModifiers(m);
        return {};
    case K::Char:
    case K::ContextMenu:
    case K::LeftButtonUp:
    case K::RightButtonDown:
    case K::RightButtonUp:
        break;
    }
    return {};
}

FilterDecision ScanCodeFilter::keyDown(const ui::ControlMessage& m, bool boxReadOnly, KeyCodeString& keyCodes) {
    if (boxReadOnly) return dropped();
    const auto virtualKey = static_cast<std::uint32_t>(m.key);
    if (virtualKey == kVolumeUpKey || virtualKey == kVolumeDownKey) return dropped();
    trackModifiers(m);
    const auto scanCode = static_cast<std::uint8_t>(m.scanCode);
    FilterDecision d;
    if (scanCode == kLeftShiftScanCode || scanCode == kRightShiftScanCode || flags_.ctrlAltDown || flags_.ctrlDown)
        return d;
    if (layoutName_ == kLayoutFranceFrench && flags_.leftShiftDown && scanCode == kFrenchShiftedKeyScanCode) return d;
    if (scanCode == kEnterScanCode) return d;
    // E0-prefixed keys share scan codes with the main block (the keypad's / is E0 35,
    // Mute E0 20, the media keys more letters) but are different keys at a BIOS prompt.
    if (m.extended) return dropped();
    if (isAcceptableScanCode(scanCode)) {
        d.keyRecorded = keyCodes.appendGroup(scanCode);
        return d;
    }
    if (scanCode == kBackspaceScanCode) {
        keyCodes.removeLastGroup();
        return d;
    }
    return dropped();
}

// A paste appends and never removes: a password is whole keys. It is refused as a
// whole, appending nothing, when the keys would not fit or when any character is not
// printable ASCII or needs a modifier on this layout (its scan code would be 0): a
// password with a key that cannot be typed at the BIOS prompt locks its owner out.
int ScanCodeFilter::pasteConversion(KeyCodeString& keyCodes) {
    const WipeOnScopeExit wipeText(clipboard_);
    if (keyCodes.groupCount() >= KeyCodeString::kMaxKeys) return 0;
    // One character more than fits tells a text that is too long; the rest, of whatever
    // size another program chose, is never copied.
    const std::size_t room = KeyCodeString::kMaxKeys - keyCodes.groupCount();
    if (!keyboard_.GetClipboardText(room + 1, clipboard_)) return 0;
    if (clipboard_.size() > room) return 0;
    std::uint8_t scanCodes[KeyCodeString::kMaxKeys] = {};
    int count = 0;
    for (char c : clipboard_) {
        if (!isAcceptedPasteCharacter(c)) break;
        const std::int16_t keyScan = keyboard_.VkKeyScanA(usUnshifted(c));
        const std::uint32_t scanCode = keyboard_.MapVirtualKeyA(static_cast<std::uint16_t>(keyScan), kMapVkToVsc);
        if ((keyScan & 0xFF00) != 0 || scanCode == 0 || scanCode > 0xFF) break;
        scanCodes[count++] = static_cast<std::uint8_t>(scanCode);
    }
    const bool whole = static_cast<std::size_t>(count) == clipboard_.size();
    if (whole)
        for (int i = 0; i < count; ++i) keyCodes.appendGroup(scanCodes[i]);
    secureWipe(scanCodes, sizeof scanCodes);
    return whole ? count : 0;
}

}  // namespace vantora
