#pragma once
// The keyboard filter in front of the password box txtEnterPwd. The BIOS checks a
// password as the keys pressed at its prompt, so the filter records the scan code of
// every acceptable key in the key-code string, drops keys and mouse actions that could
// corrupt the entry or reveal it, and converts pasted text into scan codes through the
// current keyboard layout.
//
// The view hands each message of the box to filter() and then drops it (answer 0) or
// hands it to the box's own window procedure.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/ports/keyboard.h"
#include "common/ui/controls.h"
#include "supervisor/bios/key_code_string.h"

namespace vantora {

// Set-1 scan codes the filter knows by name.
inline constexpr std::uint8_t kCtrlScanCode = 0x1D;
inline constexpr std::uint8_t kAltScanCode = 0x38;
inline constexpr std::uint8_t kLeftShiftScanCode = 0x2A;
inline constexpr std::uint8_t kRightShiftScanCode = 0x36;
inline constexpr std::uint8_t kBackspaceScanCode = 14;
inline constexpr std::uint8_t kEnterScanCode = 28;
// Left of 1; on the French layout Shift with it gives no character a BIOS knows.
inline constexpr std::uint8_t kFrenchShiftedKeyScanCode = 0x29;
// Virtual keys whose scan codes collide with letters (E0 30 is B, E0 2E is C).
inline constexpr std::uint32_t kVolumeUpKey = 0xAF;
inline constexpr std::uint32_t kVolumeDownKey = 0xAE;

// The main block of a PC keyboard, the keys a BIOS prompt takes: 2..13, 16..27,
// 30..41, 43..53 and 57 (space).
bool isAcceptableScanCode(std::uint8_t scanCode);

inline constexpr std::string_view kLayoutNotListed = "Not listed";
inline constexpr std::string_view kLayoutFranceFrench = "France - French";
// The name of a keyboard layout by its language identifier (the low word of the
// layout handle); kLayoutNotListed for any identifier the table lacks.
std::string_view keyboardLayoutName(std::uint16_t languageId);

// The password box beside the message, as the filter needs to know it.
struct PasswordBoxState {
    bool hasFocus = false;  // GetFocus() is the box
    bool readOnly = false;  // set by the dialog after Ctrl+X, Ctrl+C, Ctrl+A
};

struct FilterDecision {
    bool pass = true;        // false: drop the message and answer 0
    bool focusBox = false;   // give the box the focus before passing the message on
    bool keyRecorded = false;  // this key-down appended its group
    int pastedKeys = 0;      // groups a paste appended; the box shows them as it shows typed keys
};

class ScanCodeFilter {
public:
    explicit ScanCodeFilter(KeyboardPort& keyboard) : keyboard_(keyboard) {}
    ~ScanCodeFilter();
    ScanCodeFilter(const ScanCodeFilter&) = delete;
    ScanCodeFilter& operator=(const ScanCodeFilter&) = delete;

    // Decides about one message and records what it adds to or takes from keyCodes.
    FilterDecision filter(const ui::ControlMessage& message, const PasswordBoxState& box, KeyCodeString& keyCodes);
    std::string_view layoutName() const { return layoutName_; }
    // Alt as the last key message found it held or not.
    bool altDown() const { return flags_.altDown; }

private:
    struct ModifierFlags {
        bool ctrlDown = false;
        bool altDown = false;
        bool ctrlAltDown = false;
        bool leftShiftDown = false;
    };

    void detectLayout();
    void trackModifiers(const ui::ControlMessage& message);
    bool held(int virtualKey) { return keyboard_.GetKeyState(virtualKey) < 0; }
    FilterDecision keyDown(const ui::ControlMessage& message, bool boxReadOnly, KeyCodeString& keyCodes);
    int pasteConversion(KeyCodeString& keyCodes);

    KeyboardPort& keyboard_;
    ModifierFlags flags_;
    std::string_view layoutName_ = kLayoutNotListed;
    std::string clipboard_;  // the text of one paste, wiped when it is converted
};

}  // namespace vantora
