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
