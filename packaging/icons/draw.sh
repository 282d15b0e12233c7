#!/usr/bin/env bash
# Draws the icon in the hicolor sizes into packaging/icons/hicolor/: 16, 32 and 64 pixels are
# the window icons of resources/, drawn by hand at those sizes; 48, 128 and 256 pixels are
# drawn from org.tavrelo.Tavrelo.svg, the same picture. Run it after changing either, and
# commit what it draws. Needs rsvg-convert (librsvg2-bin) and optipng when present.
set -euo pipefail
cd "$(dirname "$0")"
svg=org.tavrelo.Tavrelo.svg
for size in 16 32 64 48 128 256; do
    out=hicolor/${size}x${size}/apps/org.tavrelo.Tavrelo.png
    mkdir -p "$(dirname "$out")"
    if [ -e "../../resources/icon$size.png" ]; then
        cp "../../resources/icon$size.png" "$out"
    else
        rsvg-convert --width "$size" --height "$size" "$svg" --output "$out"
    fi
    if command -v optipng >/dev/null; then optipng -quiet -strip all "$out"; fi
done
