#!/usr/bin/env python3
"""Draws the segment display's glyph bitmaps: the fourteen-segment character
cell (each segment in its key colour on black) and the colon and point cells
(a pure red mark on black), as 16-colour BMP files.

    draw_glyphs.py <output folder>
"""
import os
import struct
import sys

# Key colours as COLORREF (0x00BBGGRR), by segment bit.
KEYS = [0x808080, 0x800080, 0xFFFF00, 0x800000, 0xFF0000, 0xC0C0C0, 0x0000FF,
        0x00FFFF, 0x000080, 0x008000, 0xFF00FF, 0x808000, 0xFFFFFF, 0x008080]
HEIGHT = 87


def seg_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy or 1)
    t = max(0.0, min(1.0, t))
    cx, cy = ax + t * dx, ay + t * dy
    return ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5


# Each segment as a thick line between two points of the 45 x 87 cell.
SEGMENTS = {
    13: (9, 6, 35, 6),      # top bar
    10: (9, 80, 35, 80),    # bottom bar
    8: (6, 10, 6, 39),      # upper-left vertical
    9: (6, 47, 6, 76),      # lower-left vertical
    12: (38, 10, 38, 39),   # upper-right vertical
    11: (38, 47, 38, 76),   # lower-right vertical
    6: (10, 43, 20, 43),    # middle bar, left half
    7: (24, 43, 34, 43),    # middle bar, right half
    0: (22, 12, 22, 38),    # upper centre vertical
    5: (22, 48, 22, 74),    # lower centre vertical
    1: (12, 13, 18, 36),    # upper-left diagonal
    2: (32, 13, 26, 36),    # upper-right diagonal
    3: (18, 50, 12, 73),    # lower-left diagonal
    4: (26, 50, 32, 73),    # lower-right diagonal
}


def write_bmp(path, width, pixels, palette):
    """pixels[y][x] are palette indexes, top row first; 4 bits per pixel."""
    row_bytes = ((width + 1) // 2 + 3) & ~3
    data = bytearray()
    for y in range(HEIGHT - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(width):
            v = pixels[y][x] & 0xF
            row[x // 2] |= v << 4 if x % 2 == 0 else v
        data += row
    pal = bytearray()
    for colorref in palette + [0] * (16 - len(palette)):
        r, g, b = colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF
        pal += bytes((b, g, r, 0))
    offset = 14 + 40 + len(pal)
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, HEIGHT, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def cell():
    palette = [0x000000] + KEYS  # index 0 black, index k + 1 segment k
    pixels = [[0] * 45 for _ in range(HEIGHT)]
    for y in range(HEIGHT):
        for x in range(45):
            for bit, (ax, ay, bx, by) in SEGMENTS.items():
                if seg_distance(x, y, ax, ay, bx, by) <= 2.5:
                    pixels[y][x] = bit + 1
    return pixels, palette


def mark(points):
    palette = [0x000000, 0x0000FF]  # black, pure red
    pixels = [[0] * 15 for _ in range(HEIGHT)]
    for y in range(HEIGHT):
        for x in range(15):
            if any(abs(x - px) <= 3 and abs(y - py) <= 3 for px, py in points):
                pixels[y][x] = 1
    return pixels, palette


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "segment_cell.bmp"), 45, *cell())
    write_bmp(os.path.join(out, "segment_colon.bmp"), 15, *mark([(7, 28), (7, 58)]))
    write_bmp(os.path.join(out, "segment_point.bmp"), 15, *mark([(7, 79)]))


if __name__ == "__main__":
    main()
