#include "supervisor/bios/key_code_string.h"

#include "common/secure_wipe.h"

namespace vantora {

KeyCodeString::KeyCodeString(std::string_view text) {
    if (text.size() > kMaxChars) throw KeyCodeStringTooLong("a key-code string holds at most 10 keys");
    for (char c : text) chars_[size_++] = c;
}

KeyCodeString::KeyCodeString(KeyCodeString&& other) noexcept {
    for (std::size_t i = 0; i < other.size_; ++i) chars_[i] = other.chars_[i];
    size_ = other.size_;
    other.wipe();
}

KeyCodeString& KeyCodeString::operator=(KeyCodeString&& other) noexcept {
    if (this != &other) {
        wipe();
        for (std::size_t i = 0; i < other.size_; ++i) chars_[i] = other.chars_[i];
        size_ = other.size_;
        other.wipe();
    }
    return *this;
}

KeyCodeString::~KeyCodeString() { wipe(); }

void KeyCodeString::reset() { wipe(); }

void KeyCodeString::wipe() {
    secureWipe(chars_, sizeof chars_);
    size_ = 0;
}

bool KeyCodeString::appendGroup(std::uint8_t scanCode) {
    if (size_ + kGroupChars > kMaxChars) return false;
    chars_[size_++] = static_cast<char>('0' + scanCode / 100);
    chars_[size_++] = static_cast<char>('0' + scanCode / 10 % 10);
    chars_[size_++] = static_cast<char>('0' + scanCode % 10);
    return true;
}

void KeyCodeString::removeLastGroup() {
    const std::size_t cut = size_ < kGroupChars ? size_ : kGroupChars;
    size_ = static_cast<std::uint8_t>(size_ - cut);
    secureWipe(chars_ + size_, cut);
}

bool operator==(const KeyCodeString& a, const KeyCodeString& b) {
    unsigned char difference = a.size_ == b.size_ ? 0 : 1;
    for (std::size_t i = 0; i < KeyCodeString::kMaxChars; ++i)
        difference |= static_cast<unsigned char>(a.chars_[i] ^ b.chars_[i]);
    return difference == 0;
}

}  // namespace vantora
