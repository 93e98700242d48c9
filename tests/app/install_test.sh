#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks what a desktop needs from it, and starts
# the installed program headless until its main window exists.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in bin/kelvra libexec/kelvra/kelvra-decoder "share/kelvra/tool bar.png" "share/kelvra/tool bar@2x.png" \
         share/applications/kelvra.desktop share/metainfo/io.kelvra.PhotoViewer.metainfo.xml \
         share/icons/hicolor/scalable/apps/kelvra.svg; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/kelvra.png
  [ -s "$png" ] || fail "the ${size}-pixel icon is missing"
done
entry=$prefix/share/applications/kelvra.desktop
grep -qx 'Exec=kelvra' "$entry" || fail "the desktop entry must start the program without a file"
grep -q '^MimeType=' "$entry" && fail "the desktop entry must not claim file types the program ignores"
grep -qx 'Icon=kelvra' "$entry" || fail "the desktop entry names another icon"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/io.kelvra.PhotoViewer.metainfo.xml" >/dev/null \
    || fail "the AppStream description does not validate"
fi

# The installed program, run from the prefix with a data folder of its own, must reach its
# main window: the frame's settings are written only by a frame that was made and shown.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
"$prefix/bin/kelvra" >"$work/out.txt" 2>&1 &
pid=$!
caught=0
for _ in $(seq 1 600); do
  mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
  if [ -n "$mask" ] && (( (16#$mask >> 14) & 1 )); then caught=1; break; fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
[ $caught = 1 ] || { cat "$work/out.txt" >&2; fail "the installed program did not start"; }
kill -TERM "$pid"
wait "$pid" || { cat "$work/out.txt" >&2; fail "the installed program ended with an error"; }
config="$XDG_DATA_HOME/Kelvra Photo Viewer/Config.ini"
grep -q '^\[MainFrame\]' "$config" || fail "the installed program ended before its main window"
grep -q 'tool bar.png' "$work/out.txt" && fail "the installed program did not find its tool-bar picture"
echo "installed program: ok"
