#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from ostrel.svg (run after editing it;
# the PNGs are kept in git so that building needs no SVG renderer).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" ostrel.svg -o "ostrel_$size.png"
done
