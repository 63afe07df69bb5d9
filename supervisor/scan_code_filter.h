#pragma once
// The keyboard filter in front of the password box txtEnterPwd. The BIOS checks a
// password as the keys pressed at its prompt, so the filter records the scan code of
// every acceptable key in the key-code string, drops keys and mouse actions that could
// corrupt the entry or reveal it, and converts pasted text into scan codes through the
// current keyboard layout.
//
// The view maps each message of the box to a PasswordBoxEvent, asks filter() and then
// drops the message (answer 0) or hands it to the box's own window procedure.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/ports/keyboard.h"
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

// One message of the password box, as the filter needs to know it.
struct PasswordBoxEvent {
    enum class Kind {
        KeyDown,         // WM_KEYDOWN
        KeyUp,           // WM_KEYUP
        SysKeyDown,      // WM_SYSKEYDOWN (a key with Alt, or F10)
        SysKeyUp,        // WM_SYSKEYUP
        Char,            // WM_CHAR
        Paste,           // WM_PASTE
        Cut,             // WM_CUT
        Copy,            // WM_COPY
        Undo,            // WM_UNDO, EM_UNDO
        Unmask,          // EM_SETPASSWORDCHAR
        ContextMenu,     // WM_CONTEXTMENU
        LeftButtonDown,  // WM_LBUTTONDOWN
        LeftButtonDoubleClick,
        Other,           // anything else, passed on untouched
    };
    // The modifier keys held as this message left the queue (GetKeyState then).
    struct Modifiers {
        bool ctrl = false;
        bool alt = false;
        bool leftShift = false;
    };

    Kind kind = Kind::Other;
    std::uint32_t virtualKey = 0;  // wParam of a key message
    std::uint8_t scanCode = 0;     // lParam bits 16..23 of a key message
    bool extended = false;         // lParam bit 24: the E0-prefixed keys
    Modifiers held;
    bool boxHasFocus = false;  // GetFocus() is the box
    bool boxReadOnly = false;  // set by the dialog after Ctrl+X, Ctrl+C, Ctrl+A
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
    FilterDecision filter(const PasswordBoxEvent& event, KeyCodeString& keyCodes);
    std::string_view layoutName() const { return layoutName_; }

private:
    struct ModifierFlags {
        bool ctrlDown = false;
        bool altDown = false;
        bool ctrlAltDown = false;
        bool leftShiftDown = false;
    };

    void detectLayout();
    void trackModifiers(const PasswordBoxEvent& event);
    FilterDecision keyDown(const PasswordBoxEvent& event, KeyCodeString& keyCodes);
    int pasteConversion(KeyCodeString& keyCodes);

    KeyboardPort& keyboard_;
    ModifierFlags flags_;
    std::string_view layoutName_ = kLayoutNotListed;
    std::string clipboard_;  // the text of one paste, wiped when it is converted
};

}  // namespace vantora
