#!/usr/bin/env python3
"""Draws the button kit's two cursors into res/widgets/ as 32 x 32 RGBA PNGs:

KIT_HANDCUR  an open hand (something can be taken and moved),
KIT_DRAGCUR  the same hand closed (it is being moved).

Black outline, white inside, the rest transparent. Run from anywhere:
    python3 tools/artwork/kit_cursors.py   (plain Python, no packages)
"""

import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "widgets")

OPEN_HAND = [
    "       ##         ",
    "   ## #..# ##     ",
    "  #..##..##..#    ",
    "  #..##..##..#    ",
    "  #..##..##..# ## ",
    "  #..##..##..##..#",
    "  #..##..##..##..#",
    "  #..##..##..##..#",
    "  #..#..#..#..#..#",
    "## #.............#",
    "#..##............#",
    "#...#............#",
    " #...............#",
    "  #..............#",
    "  #.............# ",
    "   #............# ",
    "    #...........# ",
    "    #..........#  ",
    "     #.........#  ",
    "     ###########  ",
]

CLOSED_HAND = [
    "                  ",
    "                  ",
    "                  ",
    "                  ",
    "                  ",
    "    ## ## ##      ",
    "   #..#..#..###   ",
    "   #..#..#..#..#  ",
    "   #...........#  ",
    " ###...........#  ",
    "#..#...........#  ",
    "#..............#  ",
    " #.............#  ",
    "  #............#  ",
    "  #...........#   ",
    "   #..........#   ",
    "    #.........#   ",
    "    #.........#   ",
    "     #........#   ",
    "     ##########   ",
]

COLOURS = {"#": (0, 0, 0, 255), ".": (255, 255, 255, 255), " ": (0, 0, 0, 0)}


def write_png(path, pixels):
    h = len(pixels)
    w = len(pixels[0])
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def cursor(art, left, top):
    pix = [[COLOURS[" "]] * 32 for _ in range(32)]
    for y, line in enumerate(art):
        for x, ch in enumerate(line):
            pix[top + y][left + x] = COLOURS[ch]
    return pix


def main():
    os.makedirs(OUT, exist_ok=True)
    write_png(os.path.join(OUT, "KIT_HANDCUR.png"), cursor(OPEN_HAND, 7, 5))
    write_png(os.path.join(OUT, "KIT_DRAGCUR.png"), cursor(CLOSED_HAND, 7, 5))


if __name__ == "__main__":
    main()
