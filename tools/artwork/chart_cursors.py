#!/usr/bin/env python3
"""Draws the chart's hand cursor into res/charts/ as a 32 x 32 RGBA PNG:

CHART_CURSOR_HAND  a hand pointing up with its index finger (a point of the chart
                   can be clicked); the hot spot is the fingertip, at (HOT_X, HOT_Y).

Black outline, white inside, the rest transparent. Run from anywhere:
    python3 tools/artwork/chart_cursors.py   (plain Python, no packages)
"""

import os

# The kit's cursors are drawn and written the same way.
from kit_cursors import cursor, write_png

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


def main():
    os.makedirs(OUT, exist_ok=True)
    write_png(os.path.join(OUT, "CHART_CURSOR_HAND.png"), cursor(POINTING_HAND, LEFT, TOP))


if __name__ == "__main__":
    main()
