#!/usr/bin/env bash
# Draws the application icon into resources/icons/hicolor/NxN/apps/divevod.png for every size a Linux
# desktop asks for. Drawn once at 1024 px and scaled down, so the small sizes stay smooth.
# Run by hand when the artwork changes; the PNGs are committed.
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/resources/icons/hicolor"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A blue tile with the device's two LEDs (green, red) over the change-over arrows.
convert -size 1024x1024 xc:none \
    \( -size 896x896 gradient:"#3d97e8"-"#0a2f63" \) -geometry +64+64 -composite \
    \( -size 1024x1024 xc:none -fill white -draw "roundrectangle 64,64 959,959 190,190" \) \
    -compose DstIn -composite -compose Over \
    -fill none -stroke "rgba(255,255,255,0.35)" -strokewidth 16 -draw "roundrectangle 72,72 951,951 184,184" \
    -stroke "#0b2447" -strokewidth 14 -fill "#35e04a" -draw "circle 330,330 330,200" \
    -fill "#ff4040" -draw "circle 694,330 694,200" \
    -stroke none -fill "rgba(255,255,255,0.6)" -draw "ellipse 300,290 50,30 0,360" \
    -draw "ellipse 664,290 50,30 0,360" \
    -stroke white -strokewidth 72 -fill none -draw "line 210,620 740,620" -draw "line 284,800 814,800" \
    -stroke none -fill white -draw "polygon 700,520 850,620 700,720" -draw "polygon 324,700 174,800 324,900" \
    -define png:color-type=6 "PNG32:$work/master.png"

for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$out/${size}x${size}/apps"
    # -strip keeps the files byte-identical between runs (no time stamps).
    convert "$work/master.png" -filter Lanczos -resize "${size}x${size}" -strip \
        -define png:color-type=6 "PNG32:$out/${size}x${size}/apps/divevod.png"
done
echo "icon written to $out"
