#!/usr/bin/env bash
# Renders the PNG sizes of the icon from its SVG (needs rsvg-convert, package
# librsvg2-bin; only for whoever changes the icon: the PNGs are committed).
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/../data/icons/hicolor"
for size in 16 32 48 64 128 256; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" scalable/apps/org.example.Tolvo.svg -o "${size}x${size}/apps/org.example.Tolvo.png"
done
