#pragma once
// The keyboard picture behind the key labels: 24-bit pixels, top row first, drawn so
// that every assignable key's face lies under its label.
#include <cstdint>
#include <vector>

#include "common/ui/view.h"

namespace vantora::launcher {

using Picture = ui::Picture;

inline constexpr ui::Color kKeyFace = ui::rgb(58, 62, 74);
inline constexpr ui::Color kKeyEdge = ui::rgb(20, 22, 28);
inline constexpr ui::Color kDeckColor = ui::rgb(150, 156, 168);

Picture drawKeyboardPicture();

}  // namespace vantora::launcher
