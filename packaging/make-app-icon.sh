#!/usr/bin/env bash
# Renders the application icon (icons/quorvik.svg, drawn by hand) to the PNG sizes the desktop's
# icon theme uses, with ImageMagick. Run again after changing the drawing; the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")/icons"
IM=convert
if [ -x /usr/bin/convert-im6.q16 ]; then IM=/usr/bin/convert-im6.q16; fi
for size in 16 22 24 32 48 64 128 256; do
  # Drawn at four times the size and scaled down, so small sizes keep clean edges.
  "$IM" -background none -density $((96 * size * 4 / 256)) quorvik.svg \
        -resize "${size}x${size}" -strip "PNG32:quorvik-${size}.png"
done
