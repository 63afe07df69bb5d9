#pragma once
// The key-code string: a password as the BIOS checks it, the scan code of each key
// pressed, at most 10 keys. Its text form, one group of three decimal digits per key
// ("030" for A), is the form DEZEZ's password parameters are written in; the keys stay
// bytes until someone asks for that text.
//
// It is a secret, so it has exactly one owner: the bytes live inside the object (no
// heap buffer that a reallocation could leave behind), are never copied implicitly,
// and are wiped when the owner is dropped, reset or moved from. So is its text form.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/error.h"

namespace vantora {

class KeyCodeStringTooLong : public Error {
public:
    using Error::Error;
};

// Raised for arguments the firmware must never see (malformed password groups, boot
// digits, out-of-range byte values, overlong strings). Nothing has been sent when it is.
class BiosArgumentError : public Error {
public:
    using Error::Error;
};

class KeyCodeString {
public:
    static constexpr std::size_t kMaxKeys = 10;
    static constexpr std::size_t kGroupChars = 3;
    static constexpr std::size_t kMaxChars = kMaxKeys * kGroupChars;

    // The text form in its own owner, wiped when it goes.
    class Text {
    public:
        operator std::string_view() const { return {chars_, size_}; }
        std::string_view view() const { return *this; }
        ~Text();
        Text(const Text&) = delete;
        Text& operator=(const Text&) = delete;

    private:
        friend class KeyCodeString;
        explicit Text(const KeyCodeString& keys);
        char chars_[kMaxChars] = {};
        std::size_t size_ = 0;
    };

    KeyCodeString() = default;
    // Reads the text form as DEZEZ takes it from its callers: Len / 3 rounded groups, so
    // a last group of two digits is a key and one of one digit is not. Throws
    // KeyCodeStringTooLong beyond kMaxChars characters and BiosArgumentError for a group
    // that is not a decimal number 0..255.
    explicit KeyCodeString(std::string_view text);
    KeyCodeString(KeyCodeString&& other) noexcept;
    KeyCodeString& operator=(KeyCodeString&& other) noexcept;
    KeyCodeString(const KeyCodeString&) = delete;
    KeyCodeString& operator=(const KeyCodeString&) = delete;
    ~KeyCodeString();

    void reset();
    bool empty() const { return count_ == 0; }
    std::size_t groupCount() const { return count_; }
    // Key `index` (0-based, below groupCount()) as the BIOS gets it.
    std::uint8_t scanCode(std::size_t index) const { return keys_[index]; }
    Text text() const { return Text(*this); }

    // False, and nothing appended, when the string has no room for another key.
    bool appendGroup(std::uint8_t scanCode);
    // Takes the last key away; nothing when there is none.
    void removeLastGroup();

    // Looks at every byte whatever the first difference, so that the time taken does
    // not tell how much of a guess was right.
    friend bool operator==(const KeyCodeString& a, const KeyCodeString& b);

private:
    void wipe();

    std::uint8_t keys_[kMaxKeys] = {};
    std::uint8_t count_ = 0;
};

}  // namespace vantora
