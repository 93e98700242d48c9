#!/usr/bin/env bash
# Makes benchmark folders for the browser list.
#   bench/make-browse-folder.sh DIR COUNT            COUNT files: small real images (JPEG, PNG,
#                                                    GIF, BMP) and other files, mixed, plus a few
#                                                    sub-folders
#   bench/make-browse-folder.sh --photos DIR COUNT   COUNT camera-sized JPEGs (1600 x 1200)
# The pictures are made here with vips (bench/make-photo.sh); nothing is downloaded.
set -euo pipefail
photos=0
if [[ ${1:-} == --photos ]]; then
  photos=1
  shift
fi
dir=${1:?usage: make-browse-folder.sh [--photos] DIR COUNT}
count=${2:?usage: make-browse-folder.sh [--photos] DIR COUNT}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if [[ $photos == 1 ]]; then
  # A handful of distinct photos, repeated under distinct names (content differences do not
  # matter for thumbnail timing, only size and compression).
  for i in 1 2 3 4; do
    "$here/make-photo.sh" "$tmp/p$i.jpg" 1600 1200
  done
  python3 - "$tmp" "$dir" "$count" <<'PY'
import os, shutil, sys
tmp, out, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
for i in range(count):
    shutil.copyfile(os.path.join(tmp, "p%d.jpg" % (i % 4 + 1)), os.path.join(out, "photo %06d.jpg" % i))
PY
  exit 0
fi

"$here/make-photo.sh" "$tmp/s.jpg" 160 120
vips copy "$tmp/s.jpg" "$tmp/s.png"
vips copy "$tmp/s.jpg" "$tmp/s.bmp"
vips copy "$tmp/s.jpg" "$tmp/s.tif"
python3 - "$tmp" "$dir" "$count" <<'PY'
import os, sys
tmp, out, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
sources = {ext: open(os.path.join(tmp, "s." + ext), "rb").read() for ext in ("jpg", "png", "bmp", "tif")}
others = {"txt": b"notes\n" * 20, "pdf": b"%PDF-1.4\n%%EOF\n", "zip": b"PK\x05\x06" + b"\0" * 18, "": b"data"}
kinds = ["jpg", "jpg", "jpg", "png", "png", "bmp", "tif", "txt", "pdf", "zip", ""]
for i in range(count):
    kind = kinds[i % len(kinds)]
    name = "item %07d%s" % ((i * 7919) % count, "." + kind if kind else "")
    data = sources.get(kind) or others[kind]
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
for i in range(min(20, count // 100)):
    os.makedirs(os.path.join(out, "folder %02d" % i), exist_ok=True)
PY
