#!/bin/sh
# Builds the history file fuzzer with clang in its own build tree and runs it.
# Usage: tests/fuzz/run.sh [seconds]   (default 60; needs clang and libclang-rt-14-dev)
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/../build-fuzz}
corpus=$build/history-corpus
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKELVRA_BENCH=OFF -DKELVRA_SANITIZE=OFF >/dev/null
ninja -C "$build" history_file_fuzz
mkdir -p "$corpus"
# One valid record as a seed: Home / "Pics", source 0.
printf '\003\000\001\007\000\004Pics\000\000\000\000\000\000' >"$corpus/seed"
exec "$build/tests/fuzz/history_file_fuzz" -max_total_time="$seconds" -max_len=4096 "$corpus"
