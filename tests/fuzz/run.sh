#!/bin/sh
# Builds the fuzz targets with clang in their own build tree and runs each for a while.
# Usage: tests/fuzz/run.sh [seconds-per-target] [target...]
#   default 30 s for every target; needs clang and libclang-rt-14-dev.
# A longer local run of one target, with its corpus kept between runs:
#   tests/fuzz/run.sh 3600 load_route_fuzz
# Crashes are written to the build tree's crash-* files; replay one with
#   KELVRA_DECODER=build-fuzz/kelvra-decoder build-fuzz/tests/fuzz/TARGET crash-FILE
set -eu
seconds=${1:-30}
[ $# -gt 0 ] && shift
targets=${*:-"history_file_fuzz load_route_fuzz thumbnail_fuzz open_dialog_fuzz profile_fuzz clipboard_fuzz thumbnail_cache_fuzz hidden_file_fuzz"}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
# The whole project is instrumented for coverage, so the fuzzer sees into the routes.
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKELVRA_BENCH=OFF -DKELVRA_SANITIZE=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
# shellcheck disable=SC2086
ninja -C "$build" kelvra-decoder $targets
export KELVRA_DECODER="$build/kelvra-decoder" QT_QPA_PLATFORM=offscreen
for target in $targets; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  case $target in
    history_file_fuzz) printf '\003\000\001\007\000\004Pics\000\000\000\000\000\000' >"$corpus/seed" ;;
    profile_fuzz) printf '[Main]\nKey=12\n' >"$corpus/seed" ;;
    clipboard_fuzz) printf 'cut\nfile:///tmp/a%%20b.jpg\n' >"$corpus/seed" ;;
    hidden_file_fuzz) printf 'a.jpg\n.b\n' >"$corpus/seed" ;;
    *) [ -f "$corpus/seed.jpg" ] || printf '\377\330\377\340\000\020JFIF\000\001\001\000\000\001\000\001\000\000\377\331' >"$corpus/seed.jpg" ;;
  esac
  echo "== $target ($seconds s)"
  (cd "$build" && "$build/tests/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=20 \
    -rss_limit_mb=4096 "$corpus")
done
