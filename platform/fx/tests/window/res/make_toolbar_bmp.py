#!/usr/bin/python3
"""Writes toolbar.bmp: two 16x15 button images side by side, 8 bits per
pixel, on the standard grey button face (0xC0C0C0) so that loading it maps
the greys, black and white to the system's button colours.

Image 0: a black frame with a white inside; image 1: a red block with a
dark grey (0x808080) shadow."""
import struct
import sys

W, H = 32, 15
# Colour table entries (B, G, R, 0).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x80, 0x80),  # 1 dark grey
    (0xC0, 0xC0, 0xC0),  # 2 grey (button face)
    (0xFF, 0xFF, 0xFF),  # 3 white
    (0x00, 0x00, 0xFF),  # 4 red (stored B, G, R)
]


def pixel(x, y):
    """Index of the colour at (x, y), y counted from the top."""
    if x < 16:
        if 3 <= x <= 12 and 3 <= y <= 11:
            edge = x in (3, 12) or y in (3, 11)
            return 0 if edge else 3
        return 2
    lx = x - 16
    if 4 <= lx <= 11 and 4 <= y <= 10:
        return 4
    if 5 <= lx <= 12 and 5 <= y <= 11:
        return 1
    return 2


def main(path):
    stride = (W + 3) & ~3
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up
        row = bytes(pixel(x, y) for x in range(W))
        rows.append(row + b"\0" * (stride - W))
    bits = b"".join(rows)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    table += b"\0\0\0\0" * (256 - len(PALETTE))
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 8, 0, len(bits), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + table + bits)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "toolbar.bmp")
