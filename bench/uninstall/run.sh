#!/usr/bin/env bash
# run.sh [BUILD] -- builds the uninstall benchmark and runs it under Wine in a prefix
# of its own: Kolvu.exe removing 10,000 files of 1 KB in 100 directories, against a
# minimal program deleting the same files, and the ratio of the two: ROUNDS
# counted rounds (default 5) after one warm-up round, each printed, and their median.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-$root/build}")
cmake -S "$root" -B "$build/win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/win" --target bench_uninstall -j "${JOBS:-2}" >/dev/null
"$root/scripts/with-wine" "$build/bench-prefix" bash -c "cd '$build/win/bin' && wine bench_uninstall.exe 'C:\\ZxBench' 100 100 ${ROUNDS:-5}"
