#!/usr/bin/env bash
# Renders the program's icon (resources/icons/partidex.svg) at the sizes the desktop installs.
# The PNGs are kept in the repository, so building does not need an SVG renderer.
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for s in 16 24 32 48 64 128 256; do
  convert -background none -density 300 partidex.svg -resize "${s}x${s}" -depth 8 "partidex-$s.png"
done
