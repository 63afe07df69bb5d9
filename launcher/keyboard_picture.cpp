#include "launcher/keyboard_picture.h"

#include <algorithm>

#include "launcher/key_table.h"
#include "launcher/launcher_state.h"

namespace vantora::launcher {

namespace {

void fill(Picture& p, int x, int y, int w, int h, ui::Color c) {
    for (int j = std::max(0, y); j < std::min(p.height, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(p.width, x + w); ++i) p.pixels[std::size_t(j) * p.width + i] = c;
}

void key(Picture& p, int x, int y, int w, int h) {
    fill(p, x, y, w, h, kKeyEdge);
    fill(p, x + 1, y + 1, w - 2, h - 2, kKeyFace);
    fill(p, x + 2, y + 1, w - 4, 1, ui::rgb(96, 100, 114));  // top highlight
}

}  // namespace

Picture drawKeyboardPicture() {
    Picture p{kPictureWidth, kPictureHeight, std::vector<ui::Color>(kPictureWidth * kPictureHeight, kDeckColor)};
    // Rows follow a notebook's stagger; each row's keys are placed where the labels of
    // the key table sit, and the rest of the row is filled with keys of the same pitch.
    struct Row {
        int y, firstX, count, pitch, width;
    };
    const Row rows[] = {
        {16, 4, 14, 22, 20},   // function keys
        {44, -13, 12, 26, 25},  // digits: 1 at 13
        {70, 20, 11, 26, 25},   // Q at 20
        {96, 28, 11, 26, 25},   // A at 28 (labels 96/97)
        {122, 38, 10, 26, 25},  // Z at 38
    };
    fill(p, 0, 0, p.width, 12, ui::rgb(110, 114, 126));
    for (const Row& r : rows)
        for (int i = 0; i < r.count; ++i) key(p, r.firstX + i * r.pitch, r.y, r.width, r.y == 16 ? 14 : 25);
    key(p, 4, 148, 40, 12);     // Ctrl
    key(p, 46, 148, 24, 12);    // Fn
    key(p, 100, 148, 140, 12);  // space bar
    // Fn is drawn in the label colour of assigned keys so the picture says what it is about.
    fill(p, 52, 152, 12, 3, AssignedColor);
    return p;
}

}  // namespace vantora::launcher
