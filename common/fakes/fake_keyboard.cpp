#include "common/fakes/fake_keyboard.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace vantora::testing {

namespace {

// Virtual keys of the punctuation keys, which move between layouts.
constexpr std::uint8_t kOem1 = 0xBA, kOemPlus = 0xBB, kOemComma = 0xBC, kOemMinus = 0xBD, kOemPeriod = 0xBE,
                       kOem2 = 0xBF, kOem3 = 0xC0, kOem4 = 0xDB, kOem5 = 0xDC, kOem6 = 0xDD, kOem7 = 0xDE,
                       kOem8 = 0xDF, kOem102 = 0xE2, kSpace = 0x20;

using Key = FakeKeyboard::Key;

const Key kUs[] = {
    {0x29, kOem3, '`', '~', 0},      {0x02, '1', '1', '!', 0},        {0x03, '2', '2', '@', 0},
    {0x04, '3', '3', '#', 0},        {0x05, '4', '4', '$', 0},        {0x06, '5', '5', '%', 0},
    {0x07, '6', '6', '^', 0},        {0x08, '7', '7', '&', 0},        {0x09, '8', '8', '*', 0},
    {0x0A, '9', '9', '(', 0},        {0x0B, '0', '0', ')', 0},        {0x0C, kOemMinus, '-', '_', 0},
    {0x0D, kOemPlus, '=', '+', 0},   {0x10, 'Q', 'q', 'Q', 0},        {0x11, 'W', 'w', 'W', 0},
    {0x12, 'E', 'e', 'E', 0},        {0x13, 'R', 'r', 'R', 0},        {0x14, 'T', 't', 'T', 0},
    {0x15, 'Y', 'y', 'Y', 0},        {0x16, 'U', 'u', 'U', 0},        {0x17, 'I', 'i', 'I', 0},
    {0x18, 'O', 'o', 'O', 0},        {0x19, 'P', 'p', 'P', 0},        {0x1A, kOem4, '[', '{', 0},
    {0x1B, kOem6, ']', '}', 0},      {0x2B, kOem5, '\\', '|', 0},     {0x1E, 'A', 'a', 'A', 0},
    {0x1F, 'S', 's', 'S', 0},        {0x20, 'D', 'd', 'D', 0},        {0x21, 'F', 'f', 'F', 0},
    {0x22, 'G', 'g', 'G', 0},        {0x23, 'H', 'h', 'H', 0},        {0x24, 'J', 'j', 'J', 0},
    {0x25, 'K', 'k', 'K', 0},        {0x26, 'L', 'l', 'L', 0},        {0x27, kOem1, ';', ':', 0},
    {0x28, kOem7, '\'', '"', 0},     {0x2C, 'Z', 'z', 'Z', 0},        {0x2D, 'X', 'x', 'X', 0},
    {0x2E, 'C', 'c', 'C', 0},        {0x2F, 'V', 'v', 'V', 0},        {0x30, 'B', 'b', 'B', 0},
    {0x31, 'N', 'n', 'N', 0},        {0x32, 'M', 'm', 'M', 0},        {0x33, kOemComma, ',', '<', 0},
    {0x34, kOemPeriod, '.', '>', 0}, {0x35, kOem2, '/', '?', 0},      {0x39, kSpace, ' ', ' ', 0},
};

// AZERTY: the digits need Shift; letters and punctuation move. Characters in code page 1252.
const Key kFrench[] = {
    {0x29, kOem7, '\xB2', 0, 0},        {0x02, '1', '&', '1', 0},           {0x03, '2', '\xE9', '2', '~'},
    {0x04, '3', '"', '3', '#'},         {0x05, '4', '\'', '4', '{'},        {0x06, '5', '(', '5', '['},
    {0x07, '6', '-', '6', '|'},         {0x08, '7', '\xE8', '7', '`'},      {0x09, '8', '_', '8', '\\'},
    {0x0A, '9', '\xE7', '9', '^'},      {0x0B, '0', '\xE0', '0', '@'},      {0x0C, kOem4, ')', '\xB0', ']'},
    {0x0D, kOemPlus, '=', '+', '}'},    {0x10, 'A', 'a', 'A', 0},           {0x11, 'Z', 'z', 'Z', 0},
    {0x12, 'E', 'e', 'E', '\x80'},      {0x13, 'R', 'r', 'R', 0},           {0x14, 'T', 't', 'T', 0},
    {0x15, 'Y', 'y', 'Y', 0},           {0x16, 'U', 'u', 'U', 0},           {0x17, 'I', 'i', 'I', 0},
    {0x18, 'O', 'o', 'O', 0},           {0x19, 'P', 'p', 'P', 0},           {0x1B, kOem1, '$', '\xA3', '\xA4'},
    {0x1E, 'Q', 'q', 'Q', 0},           {0x1F, 'S', 's', 'S', 0},           {0x20, 'D', 'd', 'D', 0},
    {0x21, 'F', 'f', 'F', 0},           {0x22, 'G', 'g', 'G', 0},           {0x23, 'H', 'h', 'H', 0},
    {0x24, 'J', 'j', 'J', 0},           {0x25, 'K', 'k', 'K', 0},           {0x26, 'L', 'l', 'L', 0},
    {0x27, 'M', 'm', 'M', 0},           {0x28, kOem3, '\xF9', '%', 0},      {0x2B, kOem5, '*', '\xB5', 0},
    {0x56, kOem102, '<', '>', 0},       {0x2C, 'W', 'w', 'W', 0},           {0x2D, 'X', 'x', 'X', 0},
    {0x2E, 'C', 'c', 'C', 0},           {0x2F, 'V', 'v', 'V', 0},           {0x30, 'B', 'b', 'B', 0},
    {0x31, 'N', 'n', 'N', 0},           {0x32, kOemComma, ',', '?', 0},     {0x33, kOemPeriod, ';', '.', 0},
    {0x34, kOem2, ':', '/', 0},         {0x35, kOem8, '!', '\xA7', 0},      {0x39, kSpace, ' ', ' ', 0},
};

// QWERTZ: Y and Z change places; brackets need AltGr.
const Key kGerman[] = {
    {0x02, '1', '1', '!', 0},           {0x03, '2', '2', '"', '\xB2'},      {0x04, '3', '3', '\xA7', '\xB3'},
    {0x05, '4', '4', '$', 0},           {0x06, '5', '5', '%', 0},           {0x07, '6', '6', '&', 0},
    {0x08, '7', '7', '/', '{'},         {0x09, '8', '8', '(', '['},         {0x0A, '9', '9', ')', ']'},
    {0x0B, '0', '0', '=', '}'},         {0x0C, kOem4, '\xDF', '?', '\\'},   {0x10, 'Q', 'q', 'Q', '@'},
    {0x11, 'W', 'w', 'W', 0},           {0x12, 'E', 'e', 'E', '\x80'},      {0x13, 'R', 'r', 'R', 0},
    {0x14, 'T', 't', 'T', 0},           {0x15, 'Z', 'z', 'Z', 0},           {0x16, 'U', 'u', 'U', 0},
    {0x17, 'I', 'i', 'I', 0},           {0x18, 'O', 'o', 'O', 0},           {0x19, 'P', 'p', 'P', 0},
    {0x1A, kOem1, '\xFC', '\xDC', 0},   {0x1B, kOemPlus, '+', '*', '~'},    {0x1E, 'A', 'a', 'A', 0},
    {0x1F, 'S', 's', 'S', 0},           {0x20, 'D', 'd', 'D', 0},           {0x21, 'F', 'f', 'F', 0},
    {0x22, 'G', 'g', 'G', 0},           {0x23, 'H', 'h', 'H', 0},           {0x24, 'J', 'j', 'J', 0},
    {0x25, 'K', 'k', 'K', 0},           {0x26, 'L', 'l', 'L', 0},           {0x27, kOem3, '\xF6', '\xD6', 0},
    {0x28, kOem7, '\xE4', '\xC4', 0},   {0x2B, kOem2, '#', '\'', 0},        {0x56, kOem102, '<', '>', '|'},
    {0x2C, 'Y', 'y', 'Y', 0},           {0x2D, 'X', 'x', 'X', 0},           {0x2E, 'C', 'c', 'C', 0},
    {0x2F, 'V', 'v', 'V', 0},           {0x30, 'B', 'b', 'B', 0},           {0x31, 'N', 'n', 'N', 0},
    {0x32, 'M', 'm', 'M', '\xB5'},      {0x33, kOemComma, ',', ';', 0},     {0x34, kOemPeriod, '.', ':', 0},
    {0x35, kOemMinus, '-', '_', 0},     {0x39, kSpace, ' ', ' ', 0},
};

constexpr std::int16_t kShift = 0x100, kAltGr = 0x600;

}  // namespace

void FakeKeyboard::setLayout(FakeLayout layout) {
    switch (layout) {
    case FakeLayout::US: keys_ = kUs, keyCount_ = std::size(kUs), handle_ = 0x04090409; break;
    case FakeLayout::French: keys_ = kFrench, keyCount_ = std::size(kFrench), handle_ = 0x040C040C; break;
    case FakeLayout::German: keys_ = kGerman, keyCount_ = std::size(kGerman), handle_ = 0x04070407; break;
    }
}

int FakeKeyboard::callCount(KeyboardOp op) const {
    auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
}

bool FakeKeyboard::fails(KeyboardOp op) {
    ++calls_[op];
    auto it = failures_.find(op);
    if (it == failures_.end() || it->second == 0) return false;
    --it->second;
    return true;
}

KeyboardLayoutHandle FakeKeyboard::GetKeyboardLayout(std::uint32_t) {
    return fails(KeyboardOp::GetKeyboardLayout) ? 0 : handle_;
}

// As Windows does, the plainest way wins: a key alone before Shift before AltGr.
std::int16_t FakeKeyboard::VkKeyScanA(char character) {
    if (fails(KeyboardOp::VkKeyScan) || character == 0) return kNoKeyForCharacter;
    const std::int16_t states[] = {0, kShift, kAltGr};
    for (std::int16_t state : states) {
        for (std::size_t i = 0; i < keyCount_; ++i) {
            const Key& k = keys_[i];
            const char given = state == 0 ? k.alone : state == kShift ? k.shifted : k.altGr;
            if (given == character) return static_cast<std::int16_t>(state | k.virtualKey);
        }
    }
    return kNoKeyForCharacter;
}

// A code with a shift state in its high byte is no virtual key: 0, as on Windows.
std::uint32_t FakeKeyboard::MapVirtualKeyA(std::uint32_t code, std::uint32_t mapType) {
    if (fails(KeyboardOp::MapVirtualKey)) return 0;
    for (std::size_t i = 0; i < keyCount_; ++i) {
        const Key& k = keys_[i];
        if (mapType == kMapVkToVsc && code == k.virtualKey) return k.scanCode;
        if (mapType == kMapVscToVk && code == k.scanCode) return k.virtualKey;
    }
    return 0;
}

bool FakeKeyboard::GetClipboardText(std::size_t maxChars, std::string& text) {
    if (fails(KeyboardOp::GetClipboardText) || !clipboard_) return false;
    // CF_TEXT ends at its first zero byte, whatever the clipboard's owner put after it.
    text.assign(clipboard_->c_str(), std::min(maxChars, std::strlen(clipboard_->c_str())));
    longestRead_ = std::max(longestRead_, text.size());
    return true;
}

}  // namespace vantora::testing
