#!/usr/bin/env bash
# Installs what is missing, builds the program (optimised, in build/) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVRA_TESTS=OFF >/dev/null
ninja -C build kelvra kelvra-bench
exec build/kelvra "$@"
