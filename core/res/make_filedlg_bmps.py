#!/usr/bin/python3
"""Writes the file dialog's pictures: open_glyph.bmp and save_glyph.bmp (16x16
glyphs of the split button) and places.bmp (five 32x32 place icons side by
side: History, Desktop, My Documents, Favourites, Web Folders). Magenta is the
transparent colour. 24-bit bitmaps.

Run from anywhere: python3 core/res/make_filedlg_bmps.py
"""
import math
import os
import struct

MAGENTA = (255, 0, 255)
HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, pixels):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for row in reversed(pixels):
        data = b''.join(bytes((b, g, r)) for r, g, b in row)
        rows.append(data + b'\0' * (stride - len(data)))
    body = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, 14 + len(info))
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(head + info + body)


def canvas(w, h):
    return [[MAGENTA] * w for _ in range(h)]


def rect(p, x0, y0, x1, y1, colour):
    for y in range(y0, y1):
        for x in range(x0, x1):
            p[y][x] = colour


def folder(p, ox, oy, s):
    """A yellow folder with its tab, scaled by s (16 or 32)."""
    k = s // 16
    rect(p, ox + 1 * k, oy + 3 * k, ox + 7 * k, oy + 5 * k, (200, 160, 40))
    rect(p, ox + 1 * k, oy + 5 * k, ox + 15 * k, oy + 14 * k, (240, 200, 60))
    rect(p, ox + 1 * k, oy + 13 * k, ox + 15 * k, oy + 14 * k, (150, 110, 20))


def floppy(p):
    rect(p, 1, 1, 15, 15, (40, 40, 120))
    rect(p, 4, 1, 12, 6, (220, 220, 220))
    rect(p, 3, 9, 13, 15, (250, 250, 250))


def clock(p, ox):
    for y in range(32):
        for x in range(32):
            d = math.hypot(x - 15.5, y - 15.5)
            if d < 13:
                p[y][ox + x] = (250, 250, 250) if d < 11.5 else (60, 60, 60)
    rect(p, ox + 15, 7, ox + 17, 17, (0, 0, 0))
    rect(p, ox + 15, 15, ox + 23, 17, (0, 0, 0))


def desktop(p, ox):
    rect(p, ox + 3, 4, ox + 29, 22, (60, 60, 60))
    rect(p, ox + 5, 6, ox + 27, 20, (0, 128, 128))
    rect(p, ox + 12, 22, ox + 20, 26, (90, 90, 90))
    rect(p, ox + 8, 26, ox + 24, 28, (90, 90, 90))


def star(p, ox):
    for y in range(32):
        for x in range(32):
            a = math.atan2(y - 16, x - 16)
            r = math.hypot(x - 16, y - 16)
            if r < 6 + 7 * (0.5 + 0.5 * math.cos(5 * (a + math.pi / 2))):
                p[y][ox + x] = (240, 190, 0)


def globe(p, ox):
    for y in range(32):
        for x in range(32):
            d = math.hypot(x - 15.5, y - 15.5)
            if d < 13:
                p[y][ox + x] = (40, 90, 200) if (x + y) % 7 else (230, 230, 255)


def main():
    g = canvas(16, 16)
    folder(g, 0, 0, 16)
    write('open_glyph.bmp', g)
    g = canvas(16, 16)
    floppy(g)
    write('save_glyph.bmp', g)
    strip = canvas(160, 32)
    clock(strip, 0)
    desktop(strip, 32)
    folder(strip, 64, 0, 32)
    star(strip, 96)
    globe(strip, 128)
    write('places.bmp', strip)


if __name__ == '__main__':
    main()
