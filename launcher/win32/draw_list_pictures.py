#!/usr/bin/env python3
"""Draws the three 16 x 16 pictures of the key list: a plain key, a key with a popup
list (its red corner mark, as on the keyboard picture) and a popup-list entry; and the
Application Explorer's: a folder closed and open (16 x 16), and its two view toggles,
large and small icons, raised and pressed (24 x 20)."""
import struct
import sys
from pathlib import Path

SIZE = 16
FACE, EDGE, MARK, PAPER, INK, BACK = (74, 62, 58), (28, 22, 20), (0, 0, 255), (255, 255, 255), (96, 96, 96), (255, 0, 255)


def key(marked):
    px = [[BACK] * SIZE for _ in range(SIZE)]
    for y in range(2, 14):
        for x in range(1, 15):
            px[y][x] = EDGE if x in (1, 14) or y in (2, 13) else FACE
    if marked:
        for y in range(3, 8):
            for x in range(13 - (7 - y), 14):
                px[y][x] = MARK
    return px


def entry():
    px = [[BACK] * SIZE for _ in range(SIZE)]
    for y in range(1, 15):
        for x in range(3, 13):
            px[y][x] = INK if x in (3, 12) or y in (1, 14) else PAPER
    for y in (4, 7, 10):
        for x in range(5, 11):
            px[y][x] = INK
    return px


FOLDER, FOLDER_EDGE, FOLDER_INSIDE = (0, 200, 255), (0, 110, 160), (0, 150, 210)  # BGR
TOGGLE_UP, TOGGLE_DOWN, GLYPH = (200, 200, 200), (150, 150, 150), (128, 64, 0)


def folder(opened):
    px = [[BACK] * SIZE for _ in range(SIZE)]
    for x in range(1, 7):
        px[3][x] = FOLDER_EDGE  # the tab
    for y in range(4, 14):
        for x in range(1, 15):
            px[y][x] = FOLDER_EDGE if x in (1, 14) or y in (4, 13) else (FOLDER_INSIDE if opened else FOLDER)
    if opened:  # the front flap tilted open
        for y in range(8, 14):
            for x in range(2 + (13 - y), 16 - (13 - y) // 2):
                if x < SIZE:
                    px[y][x] = FOLDER_EDGE if y in (8, 13) else FOLDER
    return px


def toggle(large, pressed):
    w, h = 24, 20
    back = TOGGLE_DOWN if pressed else TOGGLE_UP
    px = [[back] * w for _ in range(h)]
    shift = 1 if pressed else 0
    if large:
        for gy in (3, 11):
            for gx in (4, 14):
                for y in range(gy, gy + 6):
                    for x in range(gx, gx + 6):
                        px[y + shift][x + shift] = GLYPH
    else:
        for gy in (3, 8, 13):
            for y in range(gy, gy + 3):
                for x in range(4, 7):
                    px[y + shift][x + shift] = GLYPH
                for x in range(9, 20):
                    if y == gy + 1:
                        px[y + shift][x + shift] = GLYPH
    return px


# Four bits a pixel with a palette of the colours used: none of the pictures has more
# than sixteen, and it keeps each under a third of its 24-bit size in the programs.
def bmp(px):
    h, w = len(px), len(px[0])
    palette = sorted({p for row in px for p in row})
    assert len(palette) <= 16
    index = {p: i for i, p in enumerate(palette)}
    row_bytes = (w + 1) // 2
    pad = (4 - row_bytes % 4) % 4
    rows = b""
    for row in reversed(px):  # bottom-up
        nibbles = [index[p] for p in row] + [0] * (w % 2)
        rows += bytes(nibbles[i] << 4 | nibbles[i + 1] for i in range(0, len(nibbles), 2)) + b"\0" * pad
    colours = b"".join(bytes(p) + b"\0" for p in palette)  # each colour's bytes are blue, green, red
    offset = 54 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(rows), 2835, 2835, len(palette), len(palette))
    return header + info + colours + rows


out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
for name, px in (("list_key.bmp", key(False)), ("list_popup_key.bmp", key(True)), ("list_entry.bmp", entry()),
                 ("folder.bmp", folder(False)), ("openfolder.bmp", folder(True)),
                 ("large_u.bmp", toggle(True, False)), ("large_d.bmp", toggle(True, True)),
                 ("small_u.bmp", toggle(False, False)), ("small_d.bmp", toggle(False, True))):
    (out / name).write_bytes(bmp(px))
