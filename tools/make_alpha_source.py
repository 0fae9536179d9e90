#!/usr/bin/env python3
"""Draws res/ALPHA.png, the alpha source of the single-nucleus scattering picture: a lead
block on a stand with a bore that opens to the left, a speck of radium at its end.
28 x 29 pixels; the bore lies on row 9, level with the track the picture starts there.

Run from anywhere (needs ImageMagick's convert):  python3 tools/make_alpha_source.py
"""
import os
import subprocess

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
OUT = os.path.join(ROOT, "res", "ALPHA.png")

MVG = """viewbox 0 0 28 29
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


def main():
    subprocess.run(["convert", "-size", "28x29", "xc:white", "-draw", MVG.replace("\n", " "),
                    "-define", "png:exclude-chunks=date,time", "-strip", "PNG24:" + OUT],
                   check=True)


if __name__ == "__main__":
    main()
