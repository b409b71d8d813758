#!/usr/bin/env bash
# Draws the toolbar's bundled icons (32x32 PNG) with ImageMagick, in two sets: icons/ with dark
# ink for light palettes and icons/dark/ with light ink for dark ones (the program picks the set
# by the palette's window colour). They are used when the desktop theme has no icon of its own.
# Run again after changing a drawing; the PNGs are committed. The window's test checks that each
# icon keeps a contrast of at least 3:1 against the toolbar in both palettes.
set -euo pipefail
cd "$(dirname "$0")/icons"
IM=convert
if [ -x /usr/bin/convert-im6.q16 ]; then IM=/usr/bin/convert-im6.q16; fi
F=/usr/share/fonts/truetype/dejavu
# No time stamps in the files, so that drawing them again changes only what was redrawn.
base() { "$IM" -size 32x32 xc:none -define png:exclude-chunks=date,time "$@"; }

draw() { # $1: folder of the set; the colours come from the variables set before the call
  local d=$1
  mkdir -p "$d"
  base -fill "$PAPER" -stroke "$EDGE" -strokewidth 3 -draw 'polygon 7,3 19,3 25,9 25,29 7,29' \
       -fill "$FOLD" -draw 'polygon 19,3 19,9 25,9' "$d/new.png"
  base -fill "$FOLDER" -stroke "$FOLDER_EDGE" -strokewidth 2 -draw 'polygon 2,8 12,8 14,11 29,11 29,27 2,27' \
       -fill "$FOLDER_FRONT" -draw 'polygon 5,15 31,15 28,27 2,27' "$d/open.png"
  base -fill "$BLUE" -stroke "$BLUE_EDGE" -strokewidth 2 -draw 'roundrectangle 3,3 28,28 3,3' \
       -fill white -stroke none -draw 'rectangle 8,4 23,13' -fill "$BLUE_EDGE" -draw 'rectangle 18,6 21,11' \
       -fill '#babdb6' -draw 'rectangle 8,18 23,27' "$d/save.png"
  base -stroke "$EDGE" -strokewidth 3 -fill none -draw 'line 10,3 20,21' -draw 'line 22,3 12,21' \
       -stroke "$RED" -draw 'circle 10,25 13,27' -draw 'circle 22,25 25,27' "$d/cut.png"
  base -fill none -stroke "$EDGE" -strokewidth 3 -draw 'polyline 12,21 4,21 4,3 18,3 18,9' \
       -draw 'rectangle 13,10 27,28' "$d/copy.png"
  base -fill "$BOARD" -stroke "$BOARD_EDGE" -strokewidth 2 -draw 'roundrectangle 5,5 26,29 2,2' \
       -fill white -stroke '#404040' -strokewidth 1 -draw 'rectangle 9,9 22,26' \
       -fill '#babdb6' -stroke '#404040' -draw 'rectangle 11,2 20,7' "$d/paste.png"
  base -fill "$PAPER" -stroke "$EDGE" -strokewidth 2 -draw 'rectangle 9,3 23,13' \
       -fill "$PRINTER" -draw 'roundrectangle 3,12 29,24 2,2' -fill "$PAPER" -draw 'rectangle 9,20 23,29' "$d/print.png"
  base -fill "$BLUE" -stroke "$BLUE_EDGE" -strokewidth 1 -draw 'circle 16,16 16,1' \
       -fill white -stroke none -font "$F/DejaVuSans-Bold.ttf" -pointsize 22 -gravity center -annotate +0+1 '?' \
       "$d/help.png"
  base -fill "$INK" -font "$F/DejaVuSerif-Bold.ttf" -pointsize 26 -gravity center -annotate +0+0 'B' "$d/bold.png"
  base -fill "$INK" -font "$F/DejaVuSerif-Italic.ttf" -pointsize 26 -gravity center -annotate +0+0 'I' "$d/italic.png"
  base -fill "$INK" -font "$F/DejaVuSerif.ttf" -pointsize 22 -gravity center -annotate +0-3 'U' \
       -stroke "$INK" -strokewidth 2 -draw 'line 7,28 25,28' "$d/underline.png"
  lines() { # $1: name, then x ranges for the four lines
    local name=$1; shift
    base -stroke "$INK" -strokewidth 3 -draw "line $1 5 $2 5" -draw "line $3 12 $4 12" \
         -draw "line $1 19 $2 19" -draw "line $3 26 $4 26" "$d/$name"
  }
  lines leftbut.png 3 28 3 19
  lines centrebut.png 3 28 8 23
  lines rightbut.png 3 28 12 28
  base -fill "$CODE" -font "$F/DejaVuSansMono-Bold.ttf" -pointsize 15 -gravity center -annotate +0+0 '</>' \
       -stroke "$RED" -strokewidth 4 -draw 'line 4,28 28,4' "$d/removeHTML.png"
  base -stroke "$INK" -strokewidth 3 -draw 'line 3 5 28 5' -draw 'line 3 27 28 27' \
       -stroke "$RED" -draw 'line 10 11 22 21' -draw 'line 22 11 10 21' "$d/removeBlankLine.png"
  base -fill "$INK" -font "$F/DejaVuSerif-Bold.ttf" -pointsize 24 -gravity center -annotate -4+0 'A' \
       -fill "$BLUE" -font "$F/DejaVuSans.ttf" -pointsize 16 -annotate +9+5 'a' "$d/Font.png"
}

# Dark ink for light palettes.
INK='#202020' EDGE='#404040' PAPER=white FOLD='#d0d0d0' FOLDER='#b07810' FOLDER_FRONT='#b88214' \
  FOLDER_EDGE='#5a3c08' BLUE='#3465a4' \
  BLUE_EDGE='#1d3b66' RED='#cc0000' BOARD='#a0703a' BOARD_EDGE='#5c3c1a' PRINTER='#888a85' CODE='#204a87' \
  draw .
# Light ink for dark palettes.
INK='#f0f0f0' EDGE='#d8d8d8' PAPER=white FOLD='#b0b0b0' FOLDER='#e8b830' FOLDER_FRONT='#f5d060' \
  FOLDER_EDGE='#f5d060' BLUE='#729fcf' BLUE_EDGE='#c6dcf5' RED='#ff8080' BOARD='#c89a60' BOARD_EDGE='#f0d0a0' \
  PRINTER='#babdb6' CODE='#c4dcff' \
  draw dark
