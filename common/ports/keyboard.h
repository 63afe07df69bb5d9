#pragma once
// The keyboard as the password utility sees it: the active layout, the user32 calls
// that translate between characters, virtual keys and scan codes on that layout, and
// the clipboard's text. Layout handles are 32-bit, as on 32-bit Windows.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vantora {

using KeyboardLayoutHandle = std::uint32_t;

// MapVirtualKeyA translations.
inline constexpr std::uint32_t kMapVkToVsc = 0;
inline constexpr std::uint32_t kMapVscToVk = 1;

// Virtual keys of the modifiers whose state GetKeyState reports.
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt
inline constexpr int kVkLeftShift = 0xA0;

// VkKeyScanA: low byte the virtual key, high byte the shift state (1 Shift, 2 Ctrl,
// 4 Alt; 6 is AltGr); -1 when no key of the layout gives the character.
inline constexpr std::int16_t kNoKeyForCharacter = -1;

class KeyboardPort {
public:
    virtual ~KeyboardPort() = default;

    // Each behaves like the Win32 call of the same name, on the calling thread's layout.
    virtual KeyboardLayoutHandle GetKeyboardLayout(std::uint32_t threadId) = 0;
    virtual std::int16_t VkKeyScanA(char character) = 0;
    virtual std::uint32_t MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) = 0;
    // The key as this thread's message being handled left the queue: the high bit set
    // (a negative result) while it is down, also when it went down or up while another
    // window had the focus.
    virtual std::int16_t GetKeyState(int virtualKey) = 0;

    // The clipboard's CF_TEXT up to its first zero byte, at most `maxChars` of it, into
    // `text`; false, `text` left alone, when the clipboard holds no text or cannot be
    // opened. The caller owns what it gets and wipes it: it may be a password.
    virtual bool GetClipboardText(std::size_t maxChars, std::string& text) = 0;
};

}  // namespace vantora
