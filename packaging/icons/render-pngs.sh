#!/usr/bin/env bash
# Renders the PNG sizes of the icon from its SVG (needs rsvg-convert, Debian
# package librsvg2-bin). The PNGs are kept in the repository, so building
# and installing need no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" cn.lanchuan.LCRegular.svg -o "cn.lanchuan.LCRegular-$size.png"
done
