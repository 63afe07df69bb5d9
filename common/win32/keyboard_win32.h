#pragma once
// KeyboardPort over user32 and the clipboard.
#include "common/ports/keyboard.h"

namespace vantora::win32 {

class Win32Keyboard : public KeyboardPort {
public:
    KeyboardLayoutHandle GetKeyboardLayout(std::uint32_t threadId) override;
    std::int16_t VkKeyScanA(char character) override;
    std::uint32_t MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) override;
    bool GetClipboardText(std::size_t maxChars, std::string& text) override;
    std::int16_t GetKeyState(int virtualKey) override;
};

}  // namespace vantora::win32
