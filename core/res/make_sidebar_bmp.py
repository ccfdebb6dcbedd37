#!/usr/bin/python3
"""Writes sidebar.bmp, the strip down the left of the tray and attachment
menus: 24 pixels wide, a dark blue running to light blue from top to bottom
(the menu shows its lower end next to the first items), as a 24-bit bitmap.

Run from anywhere: python3 core/res/make_sidebar_bmp.py
"""
import os
import struct

WIDTH, HEIGHT = 24, 256
TOP, BOTTOM = (16, 24, 96), (96, 136, 220)  # red, green, blue


def main():
    stride = (WIDTH * 3 + 3) // 4 * 4
    rows = []
    # Bottom-up rows, as a ".bmp" stores them.
    for y in range(HEIGHT - 1, -1, -1):
        t = y / (HEIGHT - 1)
        r, g, b = (round(TOP[i] + (BOTTOM[i] - TOP[i]) * t) for i in range(3))
        row = bytes((b, g, r)) * WIDTH
        rows.append(row + b'\0' * (stride - len(row)))
    pixels = b''.join(rows)
    header = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack('<2sIHHI', b'BM', 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'sidebar.bmp')
    with open(out, 'wb') as f:
        f.write(file_header + header + pixels)


if __name__ == '__main__':
    main()
