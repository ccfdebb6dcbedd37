#!/usr/bin/python3
"""Writes toolbar.bmp, the main frame's toolbar strip: one 16x15 glyph per
button (activate, options, previous log, about) as a 16-colour bitmap in the
standard palette, light grey standing for the button face.

Run from anywhere: python3 core/res/make_toolbar_bmp.py
"""
import math
import os
import struct

WIDTH, HEIGHT = 16, 15

# The 16-colour palette (index: red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
FACE = 7
INK = {'.': FACE, 'k': 0, 'd': 2, 'G': 10, 'g': 8, 'w': 15, 'b': 4, 'B': 12}


def power():
    """A power symbol: an open ring with a bar through its gap."""
    rows = []
    cx, cy = 7.5, 8.0
    for y in range(HEIGHT):
        row = ''
        for x in range(WIDTH):
            dx, dy = x - cx, y - cy
            r = math.hypot(dx, dy)
            angle = math.degrees(math.atan2(dx, -dy))  # 0 straight up
            bar = x in (7, 8) and 1 <= y <= 8
            ring = 4.5 <= r <= 6.7 and abs(angle) > 40
            row += 'd' if bar or ring else '.'
        rows.append(row)
    return rows


def gear():
    """A gear: a ring with eight teeth around a hole."""
    rows = []
    cx, cy = 7.5, 7.0
    for y in range(HEIGHT):
        row = ''
        for x in range(WIDTH):
            dx, dy = x - cx, y - cy
            r = math.hypot(dx, dy)
            angle = math.degrees(math.atan2(dy, dx)) % 45
            tooth = 4.5 < r <= 7.0 and (angle < 12 or angle > 33)
            if r <= 1.8:
                row += '.'
            elif r <= 2.8:
                row += 'k'
            elif r <= 4.5 or tooth:
                row += 'g'
            else:
                row += '.'
        rows.append(row)
    return rows


PAGE = [
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwggggwkkkk...",
    "..kwwwwwwwwwk...",
    "..kwgggggggwk...",
    "..kwwwwwwwwwk...",
    "..kwgggggggwk...",
    "..kwwwwwwwwwk...",
    "..kwgggggggwk...",
    "..kwwwwwwwwwk...",
    "..kwggggggwwk...",
    "..kwwwwwwwwwk...",
    "..kkkkkkkkkkk...",
    "................",
]

QUESTION = [
    "................",
    ".....BBBBBB.....",
    "....BBBBBBBB....",
    "...BBBb..bBBB...",
    "...BBB....BBB...",
    "..........BBB...",
    ".........BBBb...",
    "........BBBb....",
    ".......BBBb.....",
    ".......BBB......",
    ".......BBB......",
    "................",
    ".......BBB......",
    ".......BBB......",
    "................",
]


def strip(glyphs):
    for glyph in glyphs:
        assert len(glyph) == HEIGHT, glyph
        for row in glyph:
            assert len(row) == WIDTH, row
    return [''.join(g[y] for g in glyphs) for y in range(HEIGHT)]


def bmp_4bit(rows):
    width = len(rows[0])
    stride = ((width * 4 + 31) // 32) * 4
    pixels = b''
    for row in reversed(rows):  # bottom-up
        line = bytearray(stride)
        for x, ch in enumerate(row):
            index = INK[ch]
            line[x // 2] |= index << 4 if x % 2 == 0 else index
        pixels += bytes(line)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, len(rows), 1, 4, 0, len(pixels),
                       2835, 2835, 16, 0)
    return header + info + palette + pixels


def main():
    rows = strip([power(), gear(), PAGE, QUESTION])
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'toolbar.bmp')
    with open(out, 'wb') as f:
        f.write(bmp_4bit(rows))
    for row in rows:
        print(row)


if __name__ == '__main__':
    main()
