#include "tests/contract/keyboard_contract.h"

#include <cstdio>

namespace vantora::contract {
namespace {

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

TEST_P(KeyboardContract, Layout_IsUsEnglish) {
    EXPECT_EQ(hex(0x04090409u), hex(keyboard().GetKeyboardLayout(0)));
}

TEST_P(KeyboardContract, VkKeyScanA_GivesTheKeyAndItsShiftState) {
    const struct {
        char character;
        int expected;
    } cases[] = {
        {'c', 0x43},   {'C', 0x143}, {'a', 0x41},  {'z', 0x5A},  {'1', 0x31},   {'0', 0x30},
        {'!', 0x131},  {' ', 0x20},  {'-', 0xBD},  {'=', 0xBB},  {'[', 0xDB},   {']', 0xDD},
        {'\\', 0xDC},  {';', 0xBA},  {'\'', 0xDE}, {'`', 0xC0},  {',', 0xBC},   {'.', 0xBE},
        {'/', 0xBF},   {'"', 0x1DE}, {'~', 0x1C0}, {'\xE9', -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, keyboard().VkKeyScanA(c.character)) << "'" << c.character << "'";
}

TEST_P(KeyboardContract, MapVirtualKeyA_TranslatesBetweenKeysAndScanCodes) {
    const struct {
        unsigned code, mapType, expected;
    } cases[] = {
        {0x43, kMapVkToVsc, 46},   {0x41, kMapVkToVsc, 30},   {0x42, kMapVkToVsc, 48},
        {0x31, kMapVkToVsc, 2},    {0x30, kMapVkToVsc, 11},   {0x20, kMapVkToVsc, 57},
        {0xBD, kMapVkToVsc, 12},   {0xC0, kMapVkToVsc, 41},   {0xDC, kMapVkToVsc, 43},
        {0xBF, kMapVkToVsc, 53},   {46, kMapVscToVk, 0x43},   {2, kMapVscToVk, 0x31},
        {0x143, kMapVkToVsc, 0},  // a shift state in the high byte: no such key
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, keyboard().MapVirtualKeyA(c.code, c.mapType))
            << hex(c.code) << " by translation " << c.mapType;
}

TEST_P(KeyboardContract, ClipboardText_ReadsBackToTheFirstZeroOrTheLimit_AndNoTextLeavesTheStringAlone) {
    const struct {
        const char* what;
        std::optional<std::string> put;
        bool expected;
        std::string text;
        std::size_t limit = 64;
    } cases[] = {
        {"plain text", std::string("Hello, 42!"), true, "Hello, 42!"},
        {"a zero inside", std::string("abc\0def", 7), true, "abc"},
        {"empty text", std::string(), true, ""},
        {"no text", std::nullopt, false, "marker"},
        {"longer than the limit", std::string("Hello, 42!"), true, "Hel", 3},
        {"a zero before the limit", std::string("ab\0def", 6), true, "ab", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(putClipboard(c.put));
        std::string text = "marker";
        EXPECT_EQ(c.expected, keyboard().GetClipboardText(c.limit, text));
        EXPECT_EQ(c.text, text);
    }
}

}  // namespace
}  // namespace vantora::contract
