#!/usr/bin/env python3
"""Draws the artwork of the machine and spectrometer pages into res/.

Run from anywhere:  python3 tools/art/make_machine_art.py

- res/sim/CELL.png: the cell of the spectrometer's accelerating supply,
  31 x 23 pixels in sixteen colours.
- res/widgets/glyphs/drot.png: the dynamo's "double rotation" button glyph,
  16 x 16 on the glyphs' transparent magenta.

Plain Python (zlib only), no time stamps, so the files are reproducible.
"""

import math
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")


def write_png(path, w, h, pixels):
    """pixels: rows of (r, g, b) tuples, top row first."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b in row:
            raw += bytes((r, g, b))

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
RED = (255, 0, 0)
MAROON = (128, 0, 0)
NAVY = (0, 0, 128)
MAGENTA = (255, 0, 255)


def cell():
    """A dry cell lying on its side: silver case, dark band, red cap, terminal."""
    w, h = 31, 23
    p = [[WHITE] * w for _ in range(h)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                p[y][x] = c

    rect(2, 6, 25, 17, BLACK)       # outline of the case
    rect(3, 7, 24, 16, SILVER)      # the case
    rect(3, 7, 24, 9, WHITE)        # highlight along the top
    rect(3, 14, 24, 16, GREY)       # shadow along the bottom
    rect(14, 7, 24, 16, NAVY)       # the label's dark half
    rect(14, 7, 24, 9, (0, 0, 255))
    rect(25, 9, 28, 14, BLACK)      # the positive terminal
    rect(25, 10, 27, 13, RED)
    # + and - marks
    rect(19, 11, 22, 12, WHITE)
    rect(20, 10, 21, 13, WHITE)
    rect(6, 11, 9, 12, BLACK)
    # leads to the supply above
    rect(1, 2, 2, 12, BLACK)
    rect(1, 11, 3, 12, BLACK)
    rect(29, 2, 30, 12, MAROON)
    rect(28, 11, 30, 12, MAROON)
    return w, h, p


def double_rotation():
    """Two turning arrows, one inside the other: the coil turns twice as fast."""
    w = h = 16
    p = [[MAGENTA] * w for _ in range(h)]
    cx = cy = 7.5

    def arc(r, a0, a1, c):
        n = int(abs(a1 - a0) * r / 20) + 8
        for k in range(n + 1):
            a = math.radians(a0 + (a1 - a0) * k / n)
            x, y = round(cx + r * math.cos(a)), round(cy - r * math.sin(a))
            if 0 <= x < w and 0 <= y < h:
                p[y][x] = c

    def head(r, a, c):
        # an arrowhead at angle a on the circle of radius r, pointing anticlockwise
        x, y = cx + r * math.cos(math.radians(a)), cy - r * math.sin(math.radians(a))
        for dx, dy in ((0, 0), (-1, 0), (1, 0), (0, -1), (-2, 0), (2, 0), (-1, -1), (1, -1)):
            xx, yy = round(x + dx), round(y + dy + 1)
            if 0 <= xx < w and 0 <= yy < h:
                p[yy][xx] = c

    for r in (6.5, 6.0):
        arc(r, 20, 300, NAVY)
    head(6.3, 20, NAVY)
    for r in (3.0, 2.5):
        arc(r, 200, 480, RED)
    head(2.8, 200, RED)
    return w, h, p


def main():
    w, h, p = cell()
    write_png(os.path.join(ROOT, "res", "sim", "CELL.png"), w, h, p)
    w, h, p = double_rotation()
    write_png(os.path.join(ROOT, "res", "widgets", "glyphs", "drot.png"), w, h, p)


if __name__ == "__main__":
    main()
