#!/usr/bin/env bash
# run.sh [BUILD] -- builds the uninstall benchmark and runs it under Wine in a prefix
# of its own: Kolvu.exe removing 10,000 files of 1 KB in 100 directories, against a
# minimal program deleting the same files, and the ratio of the two: ROUNDS
# counted rounds (default 5) after one warm-up round, each printed, and their median.
# ARCH=x64 measures the 64-bit Kolvu against a 64-bit delete loop (bench/arch.sh).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-$root/build}")
. "$root/bench/arch.sh"
echo "uninstall benchmark: the $bench_arch build"
cmake -S "$root" -B "$build/$bench_tree" -DCMAKE_TOOLCHAIN_FILE=$bench_toolchain \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/$bench_tree" --target bench_uninstall -j "${JOBS:-2}" >/dev/null
"$root/scripts/with-wine" "$build/$bench_prefix" bash -c "cd '$build/$bench_tree/bin' && wine bench_uninstall.exe 'C:\\ZxBench' 100 100 ${ROUNDS:-5}"
