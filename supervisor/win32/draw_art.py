#!/usr/bin/env python3
"""Draws BASTIONE's banner parts and window icon as 16-colour bitmaps.

The drawing helpers and the palette are MERIDALE's, so that the suite's banners match.
Run it again after changing a picture; the build takes the files it writes.
"""
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parents[1] / 'accessibility' / 'win32'))
import draw_art as art  # noqa: E402  (MERIDALE's)

HEIGHT = 42  # 26 dialog units of the template
BAND = [art.NAVY, art.NAVY, art.DARK, art.DARK, art.MID]

art.GLYPHS.update({
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
})


def band(width):
    pixels = art.canvas(width, HEIGHT, art.NAVY)
    art.gradient_rows(pixels, BAND)
    return pixels


def padlock(pixels, x0, y0, size):
    """A padlock: a shackle over a body with a key hole, `size` pixels square."""
    body_top = y0 + size * 2 // 5
    for y in range(body_top, y0 + size):
        for x in range(x0, x0 + size):
            edge = y in (body_top, y0 + size - 1) or x in (x0, x0 + size - 1)
            pixels[y][x] = art.GREY if edge else art.AMBER
    inner, outer = size // 5, size // 2 - size // 10
    cx = x0 + size // 2
    for y in range(y0, body_top):
        for x in range(x0 + size // 10, x0 + size - size // 10):
            d = max(abs(x - cx + 0.5), abs(y - body_top + 0.5) * 0.8)
            if inner <= d <= outer and (y > y0 + 1 or abs(x - cx) < outer - 1):
                pixels[y][x] = art.SILVER
    hole = max(1, size // 10)
    for y in range(body_top + (size - body_top + y0) // 3, y0 + size - size // 6):
        for x in range(cx - hole, cx + hole):
            pixels[y][x] = art.NAVY


def icon(size):
    pixels = art.canvas(size, size, 0)
    padlock(pixels, 0, 0, size)
    mask = [[pixels[y][x] == 0 for x in range(size)] for y in range(size)]
    return pixels, mask


def main():
    left = band(180)
    art.text(left, 10, 7, 'VANTORA', art.WHITE, 2)
    art.text(left, 10, 27, 'BIOS', art.PALE)
    for x in range(40, 180):
        left[36][x] = art.AMBER
    art.write_bmp(HERE / 'banner_left.bmp', left)

    middle = band(8)
    for x in range(8):
        middle[36][x] = art.AMBER
    art.write_bmp(HERE / 'banner_middle.bmp', middle)

    # The window's outer width places this part: its right edge may fall under the frame.
    right = band(72)
    for x in range(0, 30):
        right[36][x] = art.AMBER
    padlock(right, 34, 6, 28)
    art.write_bmp(HERE / 'banner_right.bmp', right)

    art.write_ico(HERE / 'bastione.ico', [icon(32), icon(16)])


if __name__ == '__main__':
    main()
