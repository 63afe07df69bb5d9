#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantora::launcher {

struct KeyEntry {
    int index;
    std::string_view name;     // "Fn-" + caption: the registry value name
    std::string_view caption;
    int left, top;             // label position on the picture, pixels
    std::uint8_t scanCode;     // set-1 make code carried by the Fn-key message
};

inline constexpr int kKeyCount = 24;
inline constexpr int kLabelSize = 24;

inline constexpr std::array<KeyEntry, kKeyCount> kKeyTable{{
    {0, "Fn-1", "1", 13, 45, 0x02},   {1, "Fn-2", "2", 40, 45, 0x03},   {2, "Fn-3", "3", 65, 45, 0x04},
    {3, "Fn-4", "4", 91, 45, 0x05},   {4, "Fn-5", "5", 117, 45, 0x06},  {5, "Fn-6", "6", 143, 45, 0x07},
    {6, "Fn-A", "A", 28, 96, 0x1E},   {7, "Fn-B", "B", 142, 123, 0x30}, {8, "Fn-C", "C", 90, 123, 0x2E},
    {9, "Fn-D", "D", 80, 97, 0x20},   {10, "Fn-E", "E", 72, 71, 0x12},  {11, "Fn-F", "F", 106, 97, 0x21},
    {12, "Fn-G", "G", 132, 97, 0x22}, {13, "Fn-H", "H", 158, 97, 0x23}, {14, "Fn-N", "N", 168, 123, 0x31},
    {15, "Fn-Q", "Q", 20, 71, 0x10},  {16, "Fn-R", "R", 98, 71, 0x13},  {17, "Fn-S", "S", 54, 97, 0x1F},
    {18, "Fn-T", "T", 124, 71, 0x14}, {19, "Fn-V", "V", 116, 123, 0x2F}, {20, "Fn-W", "W", 46, 71, 0x11},
    {21, "Fn-X", "X", 64, 123, 0x2D}, {22, "Fn-Y", "Y", 152, 71, 0x15}, {23, "Fn-Z", "Z", 38, 123, 0x2C},
}};

inline std::optional<int> keyIndexForScanCode(std::uint32_t scanCode) {
    for (const auto& k : kKeyTable)
        if (k.scanCode == scanCode) return k.index;
    return std::nullopt;
}

}  // namespace vantora::launcher
