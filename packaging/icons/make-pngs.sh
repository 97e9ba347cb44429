#!/usr/bin/env bash
# Renders the program icon's PNG sizes from zelCalc.svg (needs librsvg2-bin).
# The PNGs are kept in the repository so that building needs no renderer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$here/zelCalc.svg" -o "$here/zelCalc-$size.png"
done
