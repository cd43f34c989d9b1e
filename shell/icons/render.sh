#!/usr/bin/env bash
# Renders the program icon's PNG sizes from segmora.svg. The PNGs are kept in
# the repository, so a build needs no SVG renderer; run this after changing the
# drawing (needs rsvg-convert from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" segmora.svg --output "segmora-$size.png"
done
