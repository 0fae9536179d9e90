#!/usr/bin/env python3
"""Draws the artwork of the alpha scattering and oil drop pages:
- res/ALPHA.png, the alpha source of the single-nucleus picture: a lead block on a stand
  with a bore that opens to the left, a speck of radium at its end. 28 x 29 pixels; the
  bore lies on row 9, level with the track the picture starts there.
- res/widgets/glyphs/clock.png ("time scale") and energy.png ("energy"), 16 x 16 toolbar
  glyphs on the glyphs' magenta transparent colour.

Run from anywhere (needs ImageMagick's convert):  python3 tools/make_alpha_millikan_art.py
"""
import os
import subprocess

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))

ALPHA = """viewbox 0 0 28 29
stroke-antialias 0
fill white
rectangle 0,0 27,28
fill #9a9a9a
stroke black
rectangle 19,19 22,26
rectangle 14,26 27,28
fill #606060
rectangle 3,1 27,18
stroke none
fill #808080
rectangle 4,2 26,3
fill white
rectangle 0,8 17,10
fill #e00000
rectangle 18,8 20,10
"""

# A stopwatch: round face, crown, two hands.
CLOCK = """viewbox 0 0 16 16
stroke-antialias 0
fill #ff00ff
rectangle 0,0 15,15
fill #000080
stroke none
rectangle 6,0 9,1
rectangle 7,2 8,2
fill white
stroke #000080
circle 7.5,9 7.5,3
stroke black
line 7,9 7,5
line 8,9 10,9
"""

# A fast particle: a red dot with motion streaks.
ENERGY = """viewbox 0 0 16 16
stroke-antialias 0
fill #ff00ff
rectangle 0,0 15,15
stroke #008000
line 0,5 7,5
line 2,8 7,8
line 0,11 7,11
stroke black
fill #e00000
circle 11,8 11,4
"""


def draw(mvg, size, out):
    subprocess.run(["convert", "-size", size, "xc:white", "-draw", mvg.replace("\n", " "),
                    "-define", "png:exclude-chunks=date,time", "-strip", "PNG24:" + out],
                   check=True)


def main():
    draw(ALPHA, "28x29", os.path.join(ROOT, "res", "ALPHA.png"))
    glyphs = os.path.join(ROOT, "res", "widgets", "glyphs")
    draw(CLOCK, "16x16", os.path.join(glyphs, "clock.png"))
    draw(ENERGY, "16x16", os.path.join(glyphs, "energy.png"))


if __name__ == "__main__":
    main()
