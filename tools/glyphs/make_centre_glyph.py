#!/usr/bin/env python3
"""Draws the "centre" glyph of the orbit pages into res/widgets/glyphs/centre.png.

A 16 x 16 RGB picture on the glyphs' transparent magenta: a small target (a ring round a
dot) with four ticks pointing at it.  Run from anywhere:
    python3 tools/glyphs/make_centre_glyph.py
"""

import os
import struct
import zlib

SIZE = 16
CLEAR = (255, 0, 255)
INK = (0, 0, 128)


def pixels():
    img = [[CLEAR] * SIZE for _ in range(SIZE)]
    c = 7.5
    for y in range(SIZE):
        for x in range(SIZE):
            r = ((x - c) ** 2 + (y - c) ** 2) ** 0.5
            if 3.6 <= r <= 4.6 or r <= 1.2:
                img[y][x] = INK
    for t in range(0, 3):  # ticks from the edges towards the ring
        for a, b in ((7, t), (8, t), (7, 15 - t), (8, 15 - t)):
            img[b][a] = INK
            img[a][b] = INK
    return img


def png(img):
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in img)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "widgets",
                       "glyphs", "centre.png")
    with open(out, "wb") as f:
        f.write(png(pixels()))
