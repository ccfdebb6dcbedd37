#!/usr/bin/python3
"""Writes tip.bmp, the light bulb beside the tip dialog's heading: 48x48 on
white, as a 24-bit bitmap.

Run from anywhere: python3 core/res/make_tip_bmp.py
"""
import math
import os
import struct

SIZE = 48


def pixel(x, y):
    cx, cy = 24, 19
    d = math.hypot(x - cx, y - cy)
    if d < 12:
        return (255, 230, 90) if d < 10.5 else (150, 120, 20)  # glass and its rim
    if 30 <= y < 40 and 18 <= x < 30:
        return (140, 140, 140) if (y - 30) % 3 else (90, 90, 90)  # the screw base
    if 40 <= y < 42 and 21 <= x < 27:
        return (60, 60, 60)
    return (255, 255, 255)


def main():
    stride = (SIZE * 3 + 3) // 4 * 4
    rows = []
    for y in range(SIZE - 1, -1, -1):
        row = b''.join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(SIZE)))
        rows.append(row + b'\0' * (stride - len(row)))
    body = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, 14 + len(info))
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'tip.bmp'), 'wb') as f:
        f.write(head + info + body)


if __name__ == '__main__':
    main()
