#include "supervisor/bios/key_code_string.h"

#include "common/secure_wipe.h"

namespace vantora {

KeyCodeString::KeyCodeString(std::string_view text) {
    if (text.size() > kMaxChars) throw KeyCodeStringTooLong("a key-code string holds at most 10 keys");
    // A throw below leaves the keys read so far to the destructor, which wipes them.
    const std::size_t groups = (text.size() + 1) / kGroupChars;
    for (std::size_t j = 0; j < groups; ++j) {
        const std::string_view group = text.substr(j * kGroupChars, kGroupChars);
        unsigned value = 0;
        for (char c : group) {
            if (c < '0' || c > '9') {
                wipe();
                throw BiosArgumentError("password group is not a number");
            }
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value > 255) {
            wipe();
            throw BiosArgumentError("password group out of range");
        }
        keys_[count_++] = static_cast<std::uint8_t>(value);
    }
}

KeyCodeString::KeyCodeString(KeyCodeString&& other) noexcept {
    for (std::size_t i = 0; i < other.count_; ++i) keys_[i] = other.keys_[i];
    count_ = other.count_;
    other.wipe();
}

KeyCodeString& KeyCodeString::operator=(KeyCodeString&& other) noexcept {
    if (this != &other) {
        wipe();
        for (std::size_t i = 0; i < other.count_; ++i) keys_[i] = other.keys_[i];
        count_ = other.count_;
        other.wipe();
    }
    return *this;
}

KeyCodeString::~KeyCodeString() { wipe(); }

void KeyCodeString::reset() { wipe(); }

void KeyCodeString::wipe() {
    secureWipe(keys_, sizeof keys_);
    count_ = 0;
}

bool KeyCodeString::appendGroup(std::uint8_t scanCode) {
    if (count_ >= kMaxKeys) return false;
    keys_[count_++] = scanCode;
    return true;
}

void KeyCodeString::removeLastGroup() {
    if (count_ == 0) return;
    --count_;
    secureWipe(keys_ + count_, 1);
}

bool operator==(const KeyCodeString& a, const KeyCodeString& b) {
    unsigned char difference = a.count_ == b.count_ ? 0 : 1;
    for (std::size_t i = 0; i < KeyCodeString::kMaxKeys; ++i)
        difference |= static_cast<unsigned char>(a.keys_[i] ^ b.keys_[i]);
    return difference == 0;
}

KeyCodeString::Text::Text(const KeyCodeString& keys) {
    for (std::size_t i = 0; i < keys.count_; ++i) {
        const std::uint8_t code = keys.keys_[i];
        chars_[size_++] = static_cast<char>('0' + code / 100);
        chars_[size_++] = static_cast<char>('0' + code / 10 % 10);
        chars_[size_++] = static_cast<char>('0' + code % 10);
    }
}

KeyCodeString::Text::~Text() { secureWipe(chars_, sizeof chars_); }

}  // namespace vantora
