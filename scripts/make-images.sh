#!/usr/bin/env bash
# Draws the six 32x32 indicator images (PNG with alpha) into resources/images.
# Run by hand when the artwork changes; the PNGs are committed.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/resources/images"
mkdir -p "$out"

led() { # name light dark
    convert -size 32x32 xc:none \
        \( -size 28x28 radial-gradient:"$2"-"$3" \) -geometry +2+2 -composite \
        \( -size 32x32 xc:none -fill white -draw "circle 15.5,15.5 15.5,2" \) \
        -compose DstIn -composite \
        -fill none -stroke "rgba(40,40,40,0.8)" -strokewidth 1.5 -draw "circle 15.5,15.5 15.5,2.5" \
        -fill "rgba(255,255,255,0.55)" -stroke none -draw "ellipse 12,10 5,3 0,360" \
        -define png:color-type=6 "PNG32:$out/$1.png"
}

led green "#9dff8a" "#1c8c12"
led gray "#d6d6d6" "#5a5a5a"
led red "#ff9c9c" "#b01010"
led yellow "#fff59a" "#b59b00"

# Connection indicator: two plug halves joined (connect) or apart with a red slash (disconnect).
convert -size 32x32 xc:none -stroke "#1c6e12" -strokewidth 3 -fill "#3cb42a" \
    -draw "roundrectangle 3,11 14,21 3,3" -draw "roundrectangle 18,11 29,21 3,3" \
    -draw "line 14,16 18,16" -stroke none -fill "#1c6e12" \
    -draw "rectangle 0,14 3,18" -draw "rectangle 29,14 32,18" \
    -define png:color-type=6 "PNG32:$out/connect.png"
convert -size 32x32 xc:none -stroke "#6e6e6e" -strokewidth 3 -fill "#a0a0a0" \
    -draw "roundrectangle 1,11 11,21 3,3" -draw "roundrectangle 21,11 31,21 3,3" \
    -stroke "#d01010" -strokewidth 3 -draw "line 10,27 22,5" \
    -define png:color-type=6 "PNG32:$out/disconnect.png"
echo "images written to $out"
