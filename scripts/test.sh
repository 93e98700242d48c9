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
# The threaded classes once more under ThreadSanitizer (in build-tsan/): the copy worker and the
# watchers, the thumbnail loader and the decoder helper's client, the look-ahead and the undo
# writer, the histogram panel's worker, the folder size walk and the export's worker. Qt itself is not
# instrumented, so races reported inside its libraries are suppressed.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVRA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
ninja -C build-tsan platform_tests browser_tests viewer_tests info_tests export_tests kelvra-decoder
export TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/tests/tsan.supp"
build-tsan/tests/platform/platform_tests --gtest_brief=1
build-tsan/tests/browser/browser_tests --gtest_brief=1 --gtest_filter='ThumbnailLoader*:FileCommands*:CImageListCtrl*:-CImageListCtrl.ScreenReaders*'
build-tsan/tests/viewer/viewer_tests --gtest_brief=1 --gtest_filter='Preload*:UndoHistory*:ViewerStepping*:ViewerStale*:ViewerChanges*'
build-tsan/tests/info/info_tests --gtest_brief=1 --gtest_filter='HistogramPanel*:FileProperties*'
build-tsan/tests/export/export_tests --gtest_brief=1 --gtest_filter='ExportRunTest*'
echo "ThreadSanitizer: the threaded classes' tests passed"
unset TSAN_OPTIONS
# A short run of every fuzz target when the fuzzing build is present (tests/fuzz/run.sh makes
# it in build-fuzz/ with clang; about 30 s a target).
if [ -d build-fuzz ] && command -v clang++ >/dev/null; then
  tests/fuzz/run.sh 30
fi
