#pragma once
// Colours and pictures as values: the views show them, and ports (the shell's file
// icons) hand them over without knowing anything of windows.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantora {

using Color = std::uint32_t;  // 0x00BBGGRR, as COLORREF
constexpr Color rgb(unsigned r, unsigned g, unsigned b) { return (b << 16) | (g << 8) | r; }

// A 24-bit picture drawn in code: pixels row by row, row 0 at the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<Color> pixels;  // width * height
    Color at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The views' names for them.
namespace ui {
using vantora::Color;
using vantora::Picture;
using vantora::rgb;
}  // namespace ui

}  // namespace vantora
