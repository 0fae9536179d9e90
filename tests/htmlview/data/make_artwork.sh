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

# Cursors, 32 x 32 with transparency: the hand over links (1003; hot spot at the finger
# tip, 9,1), the hand with a small arrow for links to other pages (1006), and the
# middle-button pan cursors (hot spot in the centre, 15,15).
hand="polygon 8,1 10,1 11,2 11,10 13,9 15,9 16,10 18,10 19,11 21,11 22,12 23,13 23,20 21,24 20,27 11,27 10,24 6,19 4,16 4,14 5,13 7,13 8,15 8,2"
convert +antialias -size 32x32 xc:none -fill white -stroke black -draw "$hand" \
  -draw "line 14,10 14,16" -draw "line 17,11 17,16" -draw "line 20,12 20,16" $opts PNG32:cursor_1003.png
convert +antialias -size 32x32 xc:none -fill white -stroke black -draw "$hand" \
  -draw "line 14,10 14,16" -draw "line 17,11 17,16" -draw "line 20,12 20,16" \
  -fill black -draw "polygon 24,1 31,1 31,8 29,6 26,9 24,7 27,4" $opts PNG32:cursor_1006.png
ring="circle 15,15 15,6"
up="polygon 15,8 11,13 19,13"
down="polygon 15,22 11,17 19,17"
convert +antialias -size 32x32 xc:none -fill white -stroke black -draw "$ring" -fill black -draw "$up" -draw "$down" \
  -draw "point 15,15" $opts PNG32:cursor_updown.png
convert +antialias -size 32x32 xc:none -fill white -stroke black -draw "$ring" -fill black -draw "$up" \
  -draw "point 15,15" $opts PNG32:cursor_uponly.png
convert +antialias -size 32x32 xc:none -fill white -stroke black -draw "$ring" -fill black -draw "$down" \
  -draw "point 15,15" $opts PNG32:cursor_downonly.png
