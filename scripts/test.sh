#!/usr/bin/env bash
# Installs what is missing, builds every test with AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-asan/) and runs them all headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVRA_SANITIZE=ON -DKELVRA_BENCH=OFF >/dev/null
ninja -C build-asan
# The program itself is started by one test, so it is built there too.
ctest --test-dir build-asan --output-on-failure -j2 --timeout 300
# A short run of every fuzz target when the fuzzing build is present (tests/fuzz/run.sh makes
# it in ../build-fuzz with clang; about 30 s a target).
if [ -d ../build-fuzz ] && command -v clang++ >/dev/null; then
  tests/fuzz/run.sh 30
fi
