#!/usr/bin/env python3
"""Draws MERIDALE's banner parts and window icon as 16-colour bitmaps.

Run it again after changing a picture; the build takes the files it writes.
"""
import struct
from pathlib import Path

PALETTE = [(0, 0, 0), (0, 32, 96), (16, 56, 136), (40, 88, 176), (72, 120, 200), (120, 160, 224),
           (255, 255, 255), (192, 192, 192), (128, 128, 128), (240, 240, 240), (255, 176, 0)] + [(0, 0, 0)] * 5
NAVY, DARK, MID, LIGHT, PALE, WHITE, SILVER, GREY, PAPER, AMBER = 1, 2, 3, 4, 5, 6, 7, 8, 9, 10

GLYPHS = {  # 5 x 7
    'V': ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'F': ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    'n': ["00000", "00000", "10110", "11001", "10001", "10001", "10001"],
    ' ': ["00000"] * 7,
}


def canvas(w, h, colour):
    return [[colour] * w for _ in range(h)]


def text(pixels, x, y, s, colour, scale=1):
    for ch in s:
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == '1':
                    for dy in range(scale):
                        for dx in range(scale):
                            pixels[y + row * scale + dy][x + col * scale + dx] = colour
        x += 6 * scale


def gradient_rows(pixels, colours):
    h = len(pixels)
    for y in range(h):
        c = colours[y * len(colours) // h]
        pixels[y] = [c] * len(pixels[y])


def dib(pixels):
    h, w = len(pixels), len(pixels[0])
    stride = ((w + 1) // 2 + 3) & ~3
    rows = b''
    for row in reversed(pixels):
        padded = row + [0] * (stride * 2 - w)
        rows += bytes((padded[i] << 4) | padded[i + 1] for i in range(0, stride * 2, 2))
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return rows, palette, stride


def write_bmp(path, pixels):
    h, w = len(pixels), len(pixels[0])
    rows, palette, _ = dib(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(rows), 3780, 3780, 16, 0)
    offset = 14 + len(header) + len(palette)
    path.write_bytes(b'BM' + struct.pack('<IHHI', offset + len(rows), 0, 0, offset) + header + palette + rows)


def write_ico(path, images):
    entries, blobs = b'', b''
    offset = 6 + 16 * len(images)
    for pixels, mask in images:
        h, w = len(pixels), len(pixels[0])
        rows, palette, _ = dib(pixels)
        mask_stride = ((w + 31) // 32) * 4
        mask_rows = b''
        for row in reversed(mask):
            bits = 0
            for x in range(mask_stride * 8):
                bits = (bits << 1) | (1 if x >= w or row[x] else 0)
            mask_rows += bits.to_bytes(mask_stride, 'big')
        header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 4, 0, len(rows) + len(mask_rows), 0, 0, 16, 0)
        blob = header + palette + rows + mask_rows
        entries += struct.pack('<BBBBHHII', w, h, 16, 0, 1, 4, len(blob), offset)
        blobs += blob
        offset += len(blob)
    path.write_bytes(struct.pack('<HHH', 0, 1, len(images)) + entries + blobs)


def key_cap(size):
    """A keyboard key with "Fn" on it; the mask makes the corners transparent."""
    pixels = canvas(size, size, 0)
    mask = [[True] * size for _ in range(size)]
    inset = max(1, size // 16)
    for y in range(inset, size - inset):
        for x in range(inset, size - inset):
            corner = (x - inset in (0, size - 2 * inset - 1)) and (y - inset in (0, size - 2 * inset - 1))
            if corner:
                continue
            edge = x in (inset, size - inset - 1) or y in (inset, size - inset - 1)
            shade = y >= size - inset - max(2, size // 8) or x >= size - inset - max(1, size // 16)
            pixels[y][x] = GREY if edge else (SILVER if shade else PAPER)
            mask[y][x] = False
    scale = 2 if size >= 32 else 1
    text(pixels, (size - 11 * scale) // 2, (size - 7 * scale) // 2 - scale, 'Fn', NAVY, scale)
    return pixels, mask


def main():
    here = Path(__file__).resolve().parent
    left = canvas(250, 28, NAVY)
    gradient_rows(left, [NAVY, NAVY, DARK, DARK, MID])
    text(left, 10, 7, 'VANTORA', WHITE, 2)
    for x in range(100, 250):
        left[24][x] = AMBER
    write_bmp(here / 'banner_left.bmp', left)

    middle = canvas(8, 28, NAVY)
    gradient_rows(middle, [NAVY, NAVY, DARK, DARK, MID])
    for x in range(8):
        middle[24][x] = AMBER
    write_bmp(here / 'banner_middle.bmp', middle)

    right = canvas(80, 28, NAVY)
    gradient_rows(right, [NAVY, NAVY, DARK, DARK, MID])
    for x in range(0, 60):
        right[24][x] = AMBER
    for i, c in enumerate([LIGHT, PALE, WHITE]):
        for y in range(6 + i * 6, 10 + i * 6):
            for x in range(62, 76):
                right[y][x] = c
    write_bmp(here / 'banner_right.bmp', right)

    write_ico(here / 'meridale.ico', [key_cap(32), key_cap(16)])


if __name__ == '__main__':
    main()
