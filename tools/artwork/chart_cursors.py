#!/usr/bin/env python3
"""Draws the chart's hand cursor into res/charts/ as a 32 x 32 RGBA PNG:

CHART_CURSOR_HAND  a hand pointing up with its index finger (a point of the chart
                   can be clicked); the hot spot is the fingertip, at (HOT_X, HOT_Y).

Black outline, white inside, the rest transparent. Run from anywhere:
    python3 tools/artwork/chart_cursors.py   (plain Python, no packages)
"""

import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "charts")

POINTING_HAND = [
    "     ##           ",
    "    #..#          ",
    "    #..#          ",
    "    #..#          ",
    "    #..#          ",
    "    #..###        ",
    "    #..#..###     ",
    "    #..#..#..##   ",
    "    #..#..#..#.#  ",
    "### #..#..#..#..# ",
    "#..##...........# ",
    "#...#...........# ",
    " #..............# ",
    "  #.............# ",
    "  #.............# ",
    "   #...........#  ",
    "   #...........#  ",
    "    #.........#   ",
    "    #.........#   ",
    "    ###########   ",
]

LEFT, TOP = 9, 5
# The top of the finger's white, in cursor pixels.
HOT_X, HOT_Y = LEFT + 5, TOP + 1

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
    write_png(os.path.join(OUT, "CHART_CURSOR_HAND.png"), cursor(POINTING_HAND, LEFT, TOP))


if __name__ == "__main__":
    main()
