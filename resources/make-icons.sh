#!/usr/bin/env bash
# Draws the toolbar's bundled icons (32x32 PNG) with ImageMagick. They are used when the desktop
# theme has no icon of its own. Run again after changing a drawing; the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")/icons"
IM=convert
if [ -x /usr/bin/convert-im6.q16 ]; then IM=/usr/bin/convert-im6.q16; fi
F=/usr/share/fonts/truetype/dejavu
base() { "$IM" -size 32x32 xc:none "$@"; }

base -fill white -stroke '#404040' -strokewidth 2 -draw 'polygon 7,3 19,3 25,9 25,29 7,29' \
     -fill '#d0d0d0' -draw 'polygon 19,3 19,9 25,9' new.png
base -fill '#e8b830' -stroke '#8a6510' -strokewidth 2 -draw 'polygon 2,8 12,8 14,11 29,11 29,27 2,27' \
     -fill '#f5d060' -draw 'polygon 5,15 31,15 28,27 2,27' open.png
base -fill '#3465a4' -stroke '#1d3b66' -strokewidth 2 -draw 'roundrectangle 3,3 28,28 3,3' \
     -fill white -stroke none -draw 'rectangle 8,4 23,13' -fill '#1d3b66' -draw 'rectangle 18,6 21,11' \
     -fill '#babdb6' -draw 'rectangle 8,18 23,27' save.png
base -stroke '#404040' -strokewidth 3 -fill none -draw 'line 10,3 20,21' -draw 'line 22,3 12,21' \
     -stroke '#cc0000' -draw 'circle 10,25 13,27' -draw 'circle 22,25 25,27' cut.png
base -fill '#e0e0e0' -stroke '#404040' -strokewidth 2 -draw 'rectangle 4,3 18,21' \
     -fill white -draw 'rectangle 13,10 27,28' copy.png
base -fill '#a0703a' -stroke '#5c3c1a' -strokewidth 2 -draw 'roundrectangle 5,5 26,29 2,2' \
     -fill white -stroke '#404040' -strokewidth 1 -draw 'rectangle 9,9 22,26' \
     -fill '#babdb6' -stroke '#404040' -draw 'rectangle 11,2 20,7' paste.png
base -fill white -stroke '#404040' -strokewidth 2 -draw 'rectangle 9,3 23,13' \
     -fill '#888a85' -draw 'roundrectangle 3,12 29,24 2,2' -fill white -draw 'rectangle 9,20 23,29' print.png
base -fill '#3465a4' -stroke '#1d3b66' -strokewidth 1 -draw 'circle 16,16 16,1' \
     -fill white -stroke none -font "$F/DejaVuSans-Bold.ttf" -pointsize 22 -gravity center -annotate +0+1 '?' help.png
base -fill black -font "$F/DejaVuSerif-Bold.ttf" -pointsize 26 -gravity center -annotate +0+0 'B' bold.png
base -fill black -font "$F/DejaVuSerif-Italic.ttf" -pointsize 26 -gravity center -annotate +0+0 'I' italic.png
base -fill black -font "$F/DejaVuSerif.ttf" -pointsize 22 -gravity center -annotate +0-3 'U' \
     -stroke black -strokewidth 2 -draw 'line 7,28 25,28' underline.png
lines() { # $1: name, then x ranges for the four lines
  local name=$1; shift
  base -stroke '#303030' -strokewidth 3 -draw "line $1 5 $2 5" -draw "line $3 12 $4 12" \
       -draw "line $1 19 $2 19" -draw "line $3 26 $4 26" "$name"
}
lines leftbut.png 3 28 3 19
lines centrebut.png 3 28 8 23
lines rightbut.png 3 28 12 28
base -fill '#204a87' -font "$F/DejaVuSansMono-Bold.ttf" -pointsize 15 -gravity center -annotate +0+0 '</>' \
     -stroke '#cc0000' -strokewidth 3 -draw 'line 4,28 28,4' removeHTML.png
base -stroke '#303030' -strokewidth 3 -draw 'line 3 5 28 5' -draw 'line 3 27 28 27' \
     -stroke '#cc0000' -draw 'line 10 11 22 21' -draw 'line 22 11 10 21' removeBlankLine.png
base -fill '#303030' -font "$F/DejaVuSerif-Bold.ttf" -pointsize 24 -gravity center -annotate -4+0 'A' \
     -fill '#3465a4' -font "$F/DejaVuSans.ttf" -pointsize 16 -annotate +9+5 'a' Font.png
