#!/usr/bin/python3
"""Writes the caption bar's status icons: mail_on/mail_off (watching the mail
box), bar_on/bar_off (desktop toolbar shown) and web/web_off (web server
running). Each .ico holds a 32x32 and a 16x16 image, 32 bits with alpha.

Shapes are drawn on a 32-unit grid and sampled several times per pixel, so
edges come out smooth at both sizes. An "off" icon is the "on" drawing
greyed out, with a red no-entry sign in the lower right corner.

Run from anywhere: python3 core/res/make_caption_icons.py
"""
import math
import os
import struct

SUB = 6  # samples per pixel along each axis

NAVY = (20, 60, 140)
CREAM = (255, 248, 225)
INK = (40, 40, 48)
RED = (215, 25, 25)
WHITE = (255, 255, 255)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.unit = 32.0 / size  # grid units per pixel
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def pen(self, width):
        """A line width in units, but never thinner than one pixel."""
        return max(width, self.unit)

    def snap(self, v):
        """The pixel edge nearest to v, so that straight edges stay sharp."""
        return math.floor(v / self.unit + 0.5) * self.unit

    def mid(self, v):
        """The pixel centre nearest to v, for one pixel wide lines."""
        return (math.floor(v / self.unit) + 0.5) * self.unit

    def box(self, x0, y0, x1, y1, color):
        s = self.snap
        self.fill(rect(s(x0), s(y0), s(x1), s(y1)), color)

    def fill(self, inside, color, alpha=1.0):
        """Paints color wherever inside(x, y) holds, weighting each pixel by
        the share of its samples that fall inside."""
        for py in range(self.size):
            for px in range(self.size):
                hits = 0
                for sy in range(SUB):
                    y = (py + (sy + 0.5) / SUB) * self.unit
                    for sx in range(SUB):
                        hits += inside((px + (sx + 0.5) / SUB) * self.unit, y)
                if hits:
                    self.over(px, py, color, alpha * hits / (SUB * SUB))

    def over(self, x, y, color, alpha):
        r, g, b, a = self.px[y][x]
        out = alpha + a * (1 - alpha)
        mix = [(c * alpha + d * a * (1 - alpha)) / out for c, d in zip(color, (r, g, b))]
        self.px[y][x] = (*mix, out)

    def grey(self):
        """Desaturates what is drawn so far, keeping outlines dark enough to
        stand out on the grey caption."""
        for row in self.px:
            for x, (r, g, b, a) in enumerate(row):
                lum = 0.3 * r + 0.59 * g + 0.11 * b
                v = 20 + 0.85 * lum
                row[x] = (v, v, v, a)


# Shape tests on the 32-unit grid.

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def ring(cx, cy, rx, ry, width):
    outer = ellipse(cx, cy, rx + width / 2, ry + width / 2)
    inner = ellipse(cx, cy, max(rx - width / 2, 0.01), max(ry - width / 2, 0.01))
    return lambda x, y: outer(x, y) and not inner(x, y)


def line(ax, ay, bx, by, width):
    """A stroke with round ends: points near the segment."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) <= width / 2
    return inside


def polygon(points):
    """Even-odd rule: a ray to the right crosses the edge an odd number of times."""
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        odd = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                odd = not odd
        return odd
    return inside


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


# The drawings.

def mail(c):
    """An envelope seen from the back, its flap folded down to the middle."""
    c.box(2, 6, 30, 26, NAVY)
    c.box(4, 8, 28, 24, CREAM)
    c.fill(polygon([(4, 8), (28, 8), (16, 18)]), (215, 228, 250))
    w = c.pen(2)
    c.fill(line(3, 7, 16, 18, w), NAVY)
    c.fill(line(29, 7, 16, 18, w), NAVY)


def bar(c):
    """A monitor whose desktop has a toolbar docked along its top edge."""
    c.box(13, 22, 19, 27, INK)                              # neck
    c.box(8, 26, 24, 30, INK)                               # foot
    c.box(1, 3, 31, 24, INK)                                # frame
    c.box(3, 5, 29, 22, (70, 150, 210))                     # desktop
    c.box(3, 5, 29, 12, (30, 40, 90))                       # the docked bar
    c.box(3, 12, 29, 13, (190, 220, 245))                   # its lower rim
    for x in (5, 12, 19):                                   # its buttons
        c.box(x, 7, x + 5, 10, (255, 210, 60))


def web(c):
    """A shaded globe with the equator, two meridians and two parallels."""
    m, r = c.mid(16), 13.5
    globe = ellipse(m, m, r, r)
    c.fill(globe, (30, 95, 185))
    # Lighter, smaller discs towards the top left make it look round.
    for i, shade in enumerate([(45, 120, 210), (65, 145, 230), (95, 170, 240)], 1):
        k = r * (1 - 0.25 * i) + 2
        c.fill(both(globe, ellipse(m - 1.3 * i, m - 1.3 * i, k, k)), shade)
    # At 16 pixels full strength lines would turn the globe into a waffle.
    grid, a, w = (160, 235, 130), 1.0 if c.size > 16 else 0.7, c.pen(1.5)
    c.fill(both(globe, line(0, m, 32, m, w)), grid, a)
    c.fill(both(globe, line(m, 0, m, 32, w)), grid, a)
    c.fill(ring(m, m, 6, r, w), grid, a)
    for side in (-1, 1):
        c.fill(both(globe, ring(m, m + side * 14, 15, 8, w)), grid, a)
    c.fill(ring(m, m, r, r, c.pen(2)), NAVY)


def off_sign(c):
    """A red no-entry sign filling the lower right quarter. Its centre sits
    on a pixel corner at both sizes, so the slash runs through whole pixels."""
    m, r, w = 24, 8, 2
    c.fill(ellipse(m, m, r, r), WHITE)
    c.fill(ring(m, m, r - w / 2, r - w / 2, w), RED)
    d = (r - w / 2) * 0.7
    c.fill(line(m - d, m - d, m + d, m + d, 2.8), RED)


# The .ico file.

def image(c):
    """BITMAPINFOHEADER, colour rows bottom-up in BGRA, then the AND mask
    (one bit per pixel, set where nothing is drawn, rows padded to 32 bits)."""
    n = c.size
    colour, mask = b'', b''
    stride = (n + 31) // 32 * 4
    for row in reversed(c.px):
        bits = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            a = round(a * 255)
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
                r = g = b = 0
            colour += struct.pack('<BBBB', round(b), round(g), round(r), a)
        mask += bytes(bits)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + colour + mask


def ico(canvases):
    images = [image(c) for c in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack('<BBBBHHII', c.size, c.size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b''.join(images)


ICONS = {
    'mail_on.ico': (mail, False), 'mail_off.ico': (mail, True),
    'bar_on.ico': (bar, False), 'bar_off.ico': (bar, True),
    'web.ico': (web, False), 'web_off.ico': (web, True),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, (draw, off) in ICONS.items():
        canvases = []
        for size in (32, 16):
            c = Canvas(size)
            draw(c)
            if off:
                c.grey()
                off_sign(c)
            canvases.append(c)
        with open(os.path.join(here, name), 'wb') as f:
            f.write(ico(canvases))
        print(name)


if __name__ == '__main__':
    main()
