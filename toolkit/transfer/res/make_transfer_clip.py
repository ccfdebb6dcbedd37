#!/usr/bin/python3
"""Writes transfer.avi: the transfer dialogs' animation, a sheet of paper
moving between two folders, as an uncompressed 24-bit AVI (no codec needed)."""
import struct
import sys

W, H, FRAMES = 64, 32, 8


def chunk(tag, data):
    pad = b"\0" if len(data) % 2 else b""
    return tag + struct.pack("<I", len(data)) + data + pad


def lst(kind, data):
    return b"LIST" + struct.pack("<I", len(data) + 4) + kind + data


def frame(k):
    px = [[(255, 255, 255)] * W for _ in range(H)]

    def box(x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(H, y1)):
            for x in range(max(0, x0), min(W, x1)):
                px[y][x] = c

    box(2, 12, 16, 28, (0, 192, 255))   # folder at the left (BGR)
    box(48, 12, 62, 28, (0, 192, 255))  # folder at the right
    x = 10 + k * 4
    y = 14 - (4 if 1 <= k <= 6 else 0)
    box(x, y, x + 8, y + 10, (128, 128, 128))
    box(x + 1, y + 1, x + 7, y + 9, (255, 255, 255))
    rows = []
    for row in reversed(px):  # bottom-up
        rows.append(b"".join(struct.pack("BBB", *p) for p in row))
    return b"".join(rows)


def main(out):
    size = W * H * 3
    avih = struct.pack("<IIIIIIIIII4I", 125000, size * 8, 0, 0x10, FRAMES, 0, 1, size, W, H, 0, 0, 0, 0)
    strh = b"vids" + b"DIB " + struct.pack("<IHHIIIIIIIIhhhh", 0, 0, 0, 0, 1, 8, 0, FRAMES, size, 0xFFFFFFFF, 0, 0, 0, W, H)
    strf = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, size, 0, 0, 0, 0)
    hdrl = lst(b"hdrl", chunk(b"avih", avih) + lst(b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    frames = [chunk(b"00db", frame(k)) for k in range(FRAMES)]
    movi = lst(b"movi", b"".join(frames))
    idx = b""
    off = 4
    for f in frames:
        idx += b"00db" + struct.pack("<III", 0x10, off, size)
        off += len(f)
    body = b"AVI " + hdrl + movi + chunk(b"idx1", idx)
    with open(out, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


main(sys.argv[1] if len(sys.argv) > 1 else "transfer.avi")
