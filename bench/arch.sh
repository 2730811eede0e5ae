# arch.sh -- sourced by the benchmarks: which Windows build they measure.
# ARCH=i686 or x64; without it the 32-bit build where this machine starts
# 32-bit programs, the 64-bit one otherwise. Sets bench_arch, bench_tree (the
# Windows tree under $build), bench_toolchain and bench_prefix, and exports
# ZX_ARCH for scripts/with-wine.
bench_arch=${ARCH:-}
if [ -z "$bench_arch" ]; then
  if "$root/scripts/can-run-32bit" >/dev/null; then bench_arch=i686; else bench_arch=x64; fi
fi
case $bench_arch in
  i686) bench_tree=win;   bench_toolchain=cmake/mingw-i686.cmake; bench_prefix=bench-prefix ;;
  x64)  bench_tree=win64; bench_toolchain=cmake/mingw-x64.cmake;  bench_prefix=bench-prefix64 ;;
  *) echo "ARCH must be i686 or x64"; exit 2 ;;
esac
export ZX_ARCH=$bench_arch
