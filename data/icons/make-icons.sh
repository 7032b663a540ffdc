#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from the two SVG drawings beside this script.
# The PNGs are committed, so the build needs no SVG renderer; run this again after changing a
# drawing. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    # Up to 24 px the drawing on a 16-pixel grid stays sharp; the detailed one needs more room.
    source=lintrove5a.svg
    if [ "$size" -le 24 ]; then
        source=lintrove5a-small.svg
    fi
    mkdir -p "${size}x${size}"
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "${size}x${size}/lintrove5a.png" "$source"
done
