#include "common/win32/keyboard_win32.h"

#include <windows.h>

#include <cstring>

#include "common/win32/owners.h"

namespace vantora::win32 {

KeyboardLayoutHandle Win32Keyboard::GetKeyboardLayout(std::uint32_t threadId) {
    return static_cast<KeyboardLayoutHandle>(reinterpret_cast<ULONG_PTR>(::GetKeyboardLayout(threadId)));
}

std::int16_t Win32Keyboard::VkKeyScanA(char character) { return ::VkKeyScanA(character); }

std::uint32_t Win32Keyboard::MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) {
    return ::MapVirtualKeyA(code, mapType);
}

std::int16_t Win32Keyboard::GetKeyState(int virtualKey) { return ::GetKeyState(virtualKey); }

bool Win32Keyboard::GetClipboardText(std::size_t maxChars, std::string& text) {
    if (!::IsClipboardFormatAvailable(CF_TEXT)) return false;
    const ClipboardScope clipboard;
    if (!clipboard) return false;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    if (!data) return false;
    const GlobalLockScope locked(data);
    if (!locked) return false;
    // Another process put the text there: it need not end inside its block, and it may
    // be of any size.
    const auto* chars = static_cast<const char*>(locked.get());
    text.assign(chars, strnlen(chars, locked.size() < maxChars ? locked.size() : maxChars));
    return true;
}

}  // namespace vantora::win32
