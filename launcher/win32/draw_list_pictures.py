#!/usr/bin/env python3
"""Draws the three 16 x 16 pictures of the key list: a plain key, a key with a popup
list (its red corner mark, as on the keyboard picture) and a popup-list entry."""
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


def bmp(px):
    rows = b"".join(bytes(c for p in row for c in p) for row in reversed(px))  # BGR, bottom-up, 48 bytes a row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return header + info + rows


out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
for name, px in (("list_key.bmp", key(False)), ("list_popup_key.bmp", key(True)), ("list_entry.bmp", entry())):
    (out / name).write_bytes(bmp(px))
