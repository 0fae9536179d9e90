#!/usr/bin/env bash
# Draws the viewer's default pictures into res/htmlview/ with ImageMagick:
# 1001 a picture that could not be loaded (a torn sheet with a red cross), 1005 its mask
# (white where 1001 is transparent, black on the sheet), 1002 a picture not shown yet.
set -euo pipefail
cd "$(dirname "$0")/../../../res/htmlview"
opts="-define png:exclude-chunk=date,time"
sheet="polygon 3,1 16,1 21,6 21,22 3,22"
convert +antialias -size 24x24 xc:white -fill white -stroke '#404040' -draw "$sheet" \
  -fill '#C0C0C0' -stroke '#404040' -draw "polygon 16,1 16,6 21,6" \
  -stroke '#E00000' -strokewidth 2 -draw "line 7,10 16,19" -draw "line 16,10 7,19" \
  -type TrueColor $opts PNG24:1001.png
convert +antialias -size 24x24 xc:white -fill black -stroke black -draw "$sheet" -type Bilevel $opts PNG:1005.png
convert +antialias -size 24x24 xc:'#C0C0C0' -fill none -stroke '#808080' -draw "rectangle 0,0 23,23" \
  -stroke white -draw "line 1,1 22,1" -draw "line 1,1 1,22" \
  -fill '#FFFFFF' -stroke '#404040' -draw "rectangle 5,6 18,17" \
  -fill '#F0C000' -stroke none -draw "circle 14,9 15,10" \
  -fill '#208020' -draw "polygon 6,17 10,11 13,15 15,13 18,17" \
  -type TrueColor $opts PNG24:1002.png
