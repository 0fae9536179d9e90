#!/usr/bin/env python3
"""Draws the small bitmaps of the deflection pages into res/:

PLUS (8 x 8) marks the positive deflecting plate; BIN, BOUT (field into and out of the
flat picture) and BUP, BDOWN (field up and down the helix picture) are 16 x 16 glyphs of the
field-direction buttons, on the magenta that the buttons take as transparent.

Run from anywhere:  python3 tools/artwork/field_glyphs.py   (plain Python, no packages)
"""

import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res")

MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
RED = (255, 0, 0)
DARK_RED = (128, 0, 0)


def write_png(name, pixels):
    h = len(pixels)
    w = len(pixels[0])
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(os.path.join(OUT, name + ".png"), "wb") as f:
        f.write(png)


def canvas(w, h, colour):
    return [[colour] * w for _ in range(h)]


def ring(pix, cx, cy, r, colour):
    """A one-pixel circle outline about the pixel centre (cx, cy)."""
    for y in range(len(pix)):
        for x in range(len(pix[0])):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if abs(d - r) < 0.55:
                pix[y][x] = colour


def disc(pix, cx, cy, r, colour):
    for y in range(len(pix)):
        for x in range(len(pix[0])):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                pix[y][x] = colour


def plus():
    p = canvas(8, 8, WHITE)
    for k in range(1, 7):
        p[3][k] = p[4][k] = RED
        p[k][3] = p[k][4] = RED
    return p


def field_in():
    """A field line seen from behind its arrow: a cross in a ring."""
    p = canvas(16, 16, MAGENTA)
    disc(p, 7.5, 7.5, 6.5, WHITE)
    ring(p, 7.5, 7.5, 6.5, BLACK)
    for k in range(4, 12):
        p[k][k] = p[k][15 - k] = DARK_RED
    return p


def field_out():
    """A field line seen coming towards the viewer: a dot in a ring."""
    p = canvas(16, 16, MAGENTA)
    disc(p, 7.5, 7.5, 6.5, WHITE)
    ring(p, 7.5, 7.5, 6.5, BLACK)
    disc(p, 7.5, 7.5, 2.3, DARK_RED)
    return p


def field_up():
    """A red arrow pointing up."""
    p = canvas(16, 16, MAGENTA)
    for y in range(6, 15):
        for x in (7, 8):
            p[y][x] = RED
    for k in range(6):
        for x in range(7 - k, 9 + k):
            p[1 + k][x] = RED
    return p


def main():
    os.makedirs(OUT, exist_ok=True)
    write_png("PLUS", plus())
    write_png("BIN", field_in())
    write_png("BOUT", field_out())
    up = field_up()
    write_png("BUP", up)
    write_png("BDOWN", up[::-1])


if __name__ == "__main__":
    main()
