#!/usr/bin/env bash
# Makes a 6000 x 4000 test photo (blurred noise over a gradient, JPEG quality 90) with vips.
# usage: bench/make-photo.sh OUT.jpg [WIDTH HEIGHT]
set -euo pipefail
out=${1:?usage: make-photo.sh OUT.jpg [WIDTH HEIGHT]}
w=${2:-6000}
h=${3:-4000}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
vips gaussnoise "$tmp/n.v" "$w" "$h" --mean 128 --sigma 60
vips gaussblur "$tmp/n.v" "$tmp/b.v" 3
vips xyz "$tmp/xy.v" "$w" "$h"
vips extract_band "$tmp/xy.v" "$tmp/x.v" 0
vips linear "$tmp/x.v" "$tmp/xr.v" "$(awk -v w="$w" 'BEGIN { print 255 / w }')" 0
vips bandjoin "$tmp/b.v $tmp/xr.v $tmp/b.v" "$tmp/c.v"
vips cast "$tmp/c.v" "$tmp/c8.v" uchar
vips copy "$tmp/c8.v" "$out[Q=90]"
