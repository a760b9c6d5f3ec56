#!/bin/sh
# Renders the application icon's PNG sizes from lynkor.svg (needs
# rsvg-convert from librsvg2-bin). The PNGs are committed; run this after
# changing the SVG.
set -eu
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" lynkor.svg -o "lynkor-$size.png"
done
