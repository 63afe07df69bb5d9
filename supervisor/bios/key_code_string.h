#pragma once
// The key-code string: a password as the BIOS checks it, one group of three decimal
// digits per key, each the key's scan code ("030" for A), at most 10 keys.
//
// It is a secret, so it has exactly one owner: the bytes live inside the object (no
// heap buffer that a reallocation could leave behind), are never copied implicitly,
// and are wiped when the owner is dropped, reset or moved from.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/error.h"

namespace vantora {

class KeyCodeStringTooLong : public Error {
public:
    using Error::Error;
};

class KeyCodeString {
public:
    static constexpr std::size_t kMaxKeys = 10;
    static constexpr std::size_t kGroupChars = 3;
    static constexpr std::size_t kMaxChars = kMaxKeys * kGroupChars;

    KeyCodeString() = default;
    // The text as it stands: DEZEZ, not the owner, judges whether its groups are
    // numbers. Throws KeyCodeStringTooLong beyond kMaxChars characters.
    explicit KeyCodeString(std::string_view text);
    KeyCodeString(KeyCodeString&& other) noexcept;
    KeyCodeString& operator=(KeyCodeString&& other) noexcept;
    KeyCodeString(const KeyCodeString&) = delete;
    KeyCodeString& operator=(const KeyCodeString&) = delete;
    ~KeyCodeString();

    void reset();
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    std::size_t groupCount() const { return size_ / kGroupChars; }
    // Valid until the owner changes; never keep a copy of it.
    std::string_view text() const { return {chars_, size_}; }

    // False, and nothing appended, when the string has no room for another group.
    bool appendGroup(std::uint8_t scanCode);
    // Cuts the last group (the last three characters, or what is left).
    void removeLastGroup();

    // Looks at every byte whatever the first difference, so that the time taken does
    // not tell how much of a guess was right.
    friend bool operator==(const KeyCodeString& a, const KeyCodeString& b);

private:
    void wipe();

    char chars_[kMaxChars] = {};
    std::uint8_t size_ = 0;
};

}  // namespace vantora
