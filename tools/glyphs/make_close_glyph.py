#!/usr/bin/env python3
"""Draws the "close" glyph of the print preview into res/widgets/glyphs/close.png.

A 16 x 16 RGB picture on the glyphs' transparent magenta: a sheet of paper with a dark red
cross over its lower right corner.  Run from anywhere:
    python3 tools/glyphs/make_close_glyph.py
"""

import os
import struct
import zlib

SIZE = 16
CLEAR = (255, 0, 255)
EDGE = (0, 0, 0)
PAPER = (255, 255, 255)
CROSS = (160, 0, 0)


def pixels():
    img = [[CLEAR] * SIZE for _ in range(SIZE)]
    for y in range(1, 13):  # the sheet
        for x in range(2, 11):
            img[y][x] = EDGE if x in (2, 10) or y in (1, 12) else PAPER
    for y in range(3, 11, 2):  # lines of text on it
        for x in range(4, 9):
            img[y][x] = (128, 128, 128)
    for t in range(6):  # a cross two pixels thick
        for a, b in ((8 + t, 8 + t), (9 + t, 8 + t), (13 - t, 8 + t), (14 - t, 8 + t)):
            if a < SIZE and b < SIZE:
                img[b][a] = CROSS
    return img


def png(img):
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in img)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "widgets", "glyphs", "close.png")
    with open(out, "wb") as f:
        f.write(png(pixels()))
