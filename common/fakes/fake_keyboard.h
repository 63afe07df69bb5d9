#pragma once
// The keyboard in memory: layouts as tables of keys (scan code, virtual key and the
// characters the key gives alone, with Shift and with AltGr), a clipboard that holds
// text or nothing, calls counted, and every call able to fail as the real one can.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "common/ports/keyboard.h"

namespace vantora::testing {

enum class FakeLayout { US, French, German };

enum class KeyboardOp { GetKeyboardLayout, VkKeyScan, MapVirtualKey, GetClipboardText };

class FakeKeyboard : public KeyboardPort {
public:
    explicit FakeKeyboard(FakeLayout layout = FakeLayout::US) { setLayout(layout); }

    // The keys of `layout` and its handle (0x04090409, 0x040C040C, 0x04070407).
    void setLayout(FakeLayout layout);
    // Another handle over the same keys: a layout the tables do not hold.
    void setLayoutHandle(KeyboardLayoutHandle handle) { handle_ = handle; }
    // Text, or nothing (an empty clipboard, or one without text).
    void setClipboardText(std::optional<std::string> text) { clipboard_ = std::move(text); }
    // A key pressed or released, wherever the focus was.
    void setKeyDown(int virtualKey, bool down) { keysDown_[virtualKey] = down; }
    // The next `times` calls of `op` fail: GetKeyboardLayout gives 0, VkKeyScanA -1,
    // MapVirtualKeyA 0, GetClipboardText false (the clipboard is open elsewhere).
    void failNext(KeyboardOp op, int times = 1) { failures_[op] = times; }
    int callCount(KeyboardOp op) const;
    // The most characters one GetClipboardText call handed out.
    std::size_t longestClipboardRead() const { return longestRead_; }

    KeyboardLayoutHandle GetKeyboardLayout(std::uint32_t threadId) override;
    std::int16_t VkKeyScanA(char character) override;
    std::uint32_t MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) override;
    bool GetClipboardText(std::size_t maxChars, std::string& text) override;
    std::int16_t GetKeyState(int virtualKey) override {
        auto it = keysDown_.find(virtualKey);
        return it != keysDown_.end() && it->second ? std::int16_t(-128) : std::int16_t(0);
    }

    struct Key {
        std::uint8_t scanCode;
        std::uint8_t virtualKey;
        char alone, shifted, altGr;  // 0: the key gives no character that way
    };

private:
    bool fails(KeyboardOp op);

    const Key* keys_ = nullptr;
    std::size_t keyCount_ = 0;
    KeyboardLayoutHandle handle_ = 0;
    std::optional<std::string> clipboard_;
    std::map<int, bool> keysDown_;
    std::map<KeyboardOp, int> failures_;
    std::map<KeyboardOp, int> calls_;
    std::size_t longestRead_ = 0;
};

}  // namespace vantora::testing
