#!/usr/bin/env bash
# run.sh [BUILD] -- compares our self-extractor with NSIS on the same payloads:
# 100 files of about 20 MB (half text-like, half random) and the empty payload.
# Prints output size, bare overhead, build time and silent extraction time under
# Wine, for BroltBuild.exe and for the native broltbuild (its peak memory too).
# Build first with `make windows native-release BUILD=<BUILD>`; needs makensis
# (Debian nsis). Where 32-bit programs can't start, the 64-bit set (ARCH=x64).
# Every round runs each tool once, one beside the other; a warm-up round is not
# counted, then ROUNDS rounds (default 5) and their medians (bench/rounds.sh).
# ARCH=x64 measures the 64-bit build (bench/arch.sh). NSIS's installers are
# 32-bit programs: where none can start, their extraction is not measured.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$root/build}")
. "$root/bench/arch.sh"
if [ -z "${ZX_BENCH_INNER:-}" ]; then
  export ZX_BENCH_INNER=1
  # The prefix's folder first, so that Wine's server starts in it to stay up
  # for the whole run, as a Windows machine's services do: a server that goes
  # down with each program makes the next start them again, a second or more.
  mkdir -p "$build/$bench_prefix"
  exec "$root/scripts/with-wine" "$build/$bench_prefix" bash "$0" "$build"
fi

bin="$build/$bench_tree/bin"
native="$build/native-release/bin/broltbuild"
nsis_runs=yes
"$root/scripts/can-run-32bit" >/dev/null || nsis_runs=no
echo "sfx benchmark: the $bench_arch build; NSIS installers start here: $nsis_runs"
. "$root/bench/rounds.sh"
work="$build/bench-sfx"
for f in BroltBuild.exe KANTOR.EXE pelstub.bin; do
  [ -f "$bin/$f" ] || { echo "missing $bin/$f: build the Windows tree first"; exit 1; }
done
[ -x "$native" ] || { echo "missing $native: make native-release first"; exit 1; }
command -v makensis >/dev/null || { echo "makensis not found (apt-get install nsis)"; exit 1; }
rm -rf "$work"; mkdir -p "$work/payload-full" "$work/payload-empty" "$work/x"
python3 "$here/make_payload.py" "$work/payload-full"
cd "$work" || exit 1

win() { winepath -w "$1" 2>/dev/null; }
now() { date +%s.%N; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { d = b - a; print (d < 0 ? 0 : d) }'; }

# settings_ours PAYLOAD OUT: the settings file of BroltBuild.exe, which takes
# the payload's files by one pattern (and no line for the empty payload).
settings_ours() {
  local payload=$1 out=$2
  {
    echo "[Sfx]"; echo "OpeningDialog = no"; echo "Destination = custom"
    echo "CustomFolder = $(win "$work/x")"; echo "Output = $out"; echo "Overwrite = all"
    echo "[Files]"
    [ -n "$(ls "$payload")" ] && echo "$(basename "$payload")\\*"
  } > "$out.ini"
}

# build_ours OUT: the command-line build, as a CI job would run it.
build_ours() {
  wine "$bin/BroltBuild.exe" "$1.ini" </dev/null >/dev/null 2>&1
}

# build_native OUT: the same settings (but the output's name) through
# broltbuild, no Wine; its peak memory (KB) lands in OUT.rss.
build_native() {
  /usr/bin/time -f '%M %U %S' -o "$1.time" "$native" --stub "$bin/pelstub.bin" "$1.ini" </dev/null >/dev/null 2>&1
  local rc=$?
  read -r kb user sys < "$1.time"
  echo "$kb" > "$1.rss"; awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }' > "$1.cpu"
  return $rc
}

# build_nsis PAYLOAD OUT COMPRESSOR
build_nsis() {
  local payload=$1 out=$2 comp=$3
  {
    echo "SetCompressor $comp"
    echo "Name \"Bench\""; echo "OutFile \"$out\""; echo "RequestExecutionLevel user"
    echo "InstallDir \"\$TEMP\\nsisbench\""
    echo "Section"; echo "SetOutPath \$INSTDIR"
    for f in "$payload"/*; do [ -f "$f" ] && echo "File \"$f\""; done
    echo "SectionEnd"
  } > "$out.nsi"
  /usr/bin/time -f '%U %S' -o "$out.time" makensis -V1 "$out.nsi" >/dev/null
  awk '{ print $1 + $2 }' "$out.time" > "$out.cpu"
}

extract() {  # extract EXE KIND: fails when KIND cannot start on this machine
  rm -rf "$work/x"; mkdir -p "$work/x"
  if [ "$2" = ours ]; then wine "$1" /s </dev/null >/dev/null 2>&1
  elif [ "$nsis_runs" = yes ]; then wine "$1" /S "/D=$(win "$work/x")" </dev/null >/dev/null 2>&1
  else return 1; fi
}

check() {  # check PAYLOAD: extracted files equal the payload
  local n=0
  for f in "$1"/*; do [ -f "$f" ] || continue; cmp -s "$f" "$work/x/$(basename "$f")" || return 1; n=$((n + 1)); done
  return 0
}

# sfx_round R: one round of every tool on $payload; each row printed, the
# counted rounds' times and the ratios ours/nsis-zlib kept for the medians.
tools=(ours native nsis-zlib nsis-lzma)
declare -A bt xt ok rss cpu
sfx_round() {
  local r=$1 tool out t0 b x good size kind
  local -A rb rx
  for tool in "${tools[@]}"; do
    out="$tool-$payload.exe"
    rm -f "$out"; t0=$(now)
    case $tool in
      ours) build_ours "$out" ;;
      native) build_native "$out" ;;
      nsis-zlib) build_nsis "$work/payload-$payload" "$out" zlib ;;
      nsis-lzma) build_nsis "$work/payload-$payload" "$out" lzma ;;
    esac
    b=$(best "$t0" "$(now)")
    kind=${tool%%-*}; [ "$kind" = native ] && kind=ours
    t0=$(now)
    if extract "$work/$out" "$kind"; then
      x=$(best "$t0" "$(now)")
      good=no; [ -f "$out" ] && check "$work/payload-$payload" && good=yes
      # broltbuild's output must be BroltBuild.exe's, byte for byte.
      [ "$tool" = native ] && ! cmp -s "$out" "ours-$payload.exe" && good="no (bytes differ)"
      [ "$good" = yes ] || ok[$tool]=no
    else
      x=0; good="not measured on this machine"; ok[$tool]=$good
    fi
    size=$(stat -c %s "$out" 2>/dev/null || echo 0)
    printf '%-7s %-10s %-8s %12d %10.2f %10.2f  %s\n' "$payload" "$tool" "$(rounds_label "$r")" "$size" "$b" "$x" "$good"
    rb[$tool]=$b; rx[$tool]=$x
    [ "$r" -eq 0 ] && continue
    bt[$tool]+=" $b"; xt[$tool]+=" $x"
  done
  [ "$r" -eq 0 ] && return
  bt[ratio]+=" $(rounds_ratio "${rb[ours]}" "${rb[nsis-zlib]}")"
  bt[nratio]+=" $(rounds_ratio "${rb[native]}" "${rb[nsis-zlib]}")"
  rss[$payload]+=" $(cat "native-$payload.exe.rss" 2>/dev/null || echo 0)"
  cpu[native]+=" $(cat "native-$payload.exe.cpu" 2>/dev/null || echo 0)"
  cpu[nsis]+=" $(cat "nsis-zlib-$payload.exe.cpu" 2>/dev/null || echo 0)"
  if [ "$nsis_runs" = yes ]; then xt[ratio]+=" $(rounds_ratio "${rx[ours]}" "${rx[nsis-zlib]}")"; fi
}

printf '%-7s %-10s %-8s %12s %10s %10s  %s\n' payload tool round "size(B)" "build(s)" "extract(s)" "extracted ok"
for payload in full empty; do
  bt=(); xt=(); ok=(); cpu=()
  settings_ours "$work/payload-$payload" "ours-$payload.exe"
  settings_ours "$work/payload-$payload" "native-$payload.exe"
  rounds_run sfx_round
  for tool in "${tools[@]}"; do
    size=$(stat -c %s "$tool-$payload.exe" 2>/dev/null || echo 0)
    # shellcheck disable=SC2086
    printf '%-7s %-10s %-8s %12d %10.2f %10.2f  %s\n' "$payload" "$tool" median "$size" \
      "$(rounds_median ${bt[$tool]})" "$(rounds_median ${xt[$tool]})" "${ok[$tool]:-yes}"
  done
  # shellcheck disable=SC2086
  xr="not measured on this machine"
  [ "$nsis_runs" = yes ] && xr=$(printf '%.2fx' "$(rounds_median ${xt[ratio]})")
  # shellcheck disable=SC2086
  printf '%-7s ours/nsis-zlib, median of the rounds'"'"' ratios: build %.2fx, extract %s\n' "$payload" \
    "$(rounds_median ${bt[ratio]})" "$xr"
  # shellcheck disable=SC2086
  printf '%-7s native/nsis-zlib, median of the rounds'"'"' ratios: build %.2fx; native peak memory %d KB\n' "$payload" \
    "$(rounds_median ${bt[nratio]})" "$(rounds_median ${rss[$payload]})"
  # Both deflate the text at level 9; KANTOR's blocks store the random half
  # instead. Beyond that the native build is faster only by the processors it
  # finds free, which a shared machine may not have.
  # shellcheck disable=SC2086
  printf '%-7s processor time, medians: native %.2f s, nsis-zlib %.2f s (on %d processors)\n' "$payload" \
    "$(rounds_median ${cpu[native]})" "$(rounds_median ${cpu[nsis]})" "$(nproc)"
  if [ "$payload" = full ]; then
    rounds_goal "build time / nsis-zlib" "$(rounds_median ${bt[ratio]})" 1.0
    rounds_goal "native build time / nsis-zlib" "$(rounds_median ${bt[nratio]})" 0.5
    if [ "$nsis_runs" = yes ]; then
      rounds_goal "extraction time / nsis-zlib" "$(rounds_median ${xt[ratio]})" 0.6
    else
      echo "goal extraction time / nsis-zlib: not measured on this machine (NSIS's installer is a 32-bit program)"
    fi
  else
    # The size goals are the shipped 32-bit stub's: on the 64-bit set, broltbuild
    # packs the same empty payload with that stub, no Windows program needed.
    shipped=ours-empty.exe
    if [ "$bench_arch" = x64 ] && [ -f "$build/win/bin/pelstub.bin" ]; then
      settings_ours "$work/payload-empty" shipped-empty.exe
      "$native" --stub "$build/win/bin/pelstub.bin" shipped-empty.exe.ini </dev/null >/dev/null 2>&1 && shipped=shipped-empty.exe
      echo "empty   bare overhead with the 32-bit stub $(stat -c %s "$shipped") B, with the 64-bit one $(stat -c %s ours-empty.exe) B"
    fi
    rounds_goal "bare overhead (bytes)" "$(stat -c %s "$shipped")" 47104
    rounds_goal "bare overhead / nsis-zlib's" "$(rounds_ratio "$(stat -c %s "$shipped")" "$(stat -c %s nsis-zlib-empty.exe)")" 0.5
  fi
done
# Peak memory flat in the payload: the full payload five times over (hard
# links under other names) takes no more than the payload once.
mkdir -p "$work/payload-five"
for k in 1 2 3 4 5; do for f in "$work/payload-full"/*; do ln -f "$f" "$work/payload-five/$k-$(basename "$f")"; done; done
settings_ours "$work/payload-five" "native-five.exe"
build_native native-five.exe
# shellcheck disable=SC2086
printf 'native peak memory: %d KB for %d bytes, %d KB for five times as many\n' "$(rounds_median ${rss[full]})" \
  "$(cat "$work/payload-full"/* | wc -c)" "$(cat native-five.exe.rss)"
# shellcheck disable=SC2086
rounds_goal "native peak memory, five payloads / one (flat)" \
  "$(rounds_ratio "$(cat native-five.exe.rss)" "$(rounds_median ${rss[full]})")" 1.1
echo "payload: $(ls "$work/payload-full" | wc -l) files, $(cat "$work/payload-full"/* | wc -c) bytes; stub pelstub.bin $(stat -c %s "$bin/pelstub.bin") bytes"
echo "bare overhead = the empty payload's output size; build times: ours under Wine, native and makensis on Linux"

# A multi-gigabyte payload (ZX_BENCH_LARGE_GB, default 2: one 256 MB file of
# random bytes under that many names, hard links): each builder once, its build
# time and peak memory (the builder and the compressor it waits for), the same bytes.
large_gb=${ZX_BENCH_LARGE_GB:-2}
mkdir -p "$work/payload-large"
head -c 256M /dev/urandom > "$work/payload-large/part-1.bin"
for ((k = 2; k <= large_gb * 4; k++)); do ln -f "$work/payload-large/part-1.bin" "$work/payload-large/part-$k.bin"; done
large_peak=0
for tool in ours native; do
  settings_ours "$work/payload-large" "$tool-large.exe"
  t0=$(now)
  if [ "$tool" = ours ]; then
    /usr/bin/time -f %M -o "$tool-large.exe.rss" wine "$bin/BroltBuild.exe" "$tool-large.exe.ini" </dev/null >/dev/null 2>&1
  else
    build_native "$tool-large.exe"
  fi
  b=$(best "$t0" "$(now)")
  kb=$(tail -n 1 "$tool-large.exe.rss")
  [ "$kb" -gt "$large_peak" ] && large_peak=$kb
  printf 'large   %-10s %d GB: build %.2f s, peak memory %d KB, output %d B\n' "$tool" "$large_gb" "$b" "$kb" \
    "$(stat -c %s "$tool-large.exe" 2>/dev/null || echo 0)"
done
cmp -s ours-large.exe native-large.exe && echo "large   the same bytes from both builders" || echo "large   the builders' outputs differ"
rounds_goal "peak memory of either builder, $large_gb GB payload (MB)" "$((large_peak / 1024))" 64
rm -rf ours-large.exe native-large.exe "$work/payload-large"

# --- Extraction beside its floor -------------------------------------------
# bench_sfx_floor.exe (bench/sfx/Floor.cpp) inflates the same packed block
# with the same zlib and writes the same files with plain CreateFile and
# WriteFile: no checks, no dialogs, nothing staged. Each round extracts every
# payload with the stub and with the floor under the same Wine, the host's
# disk written back before each: the 20 MB payload above and a generated one
# of about LARGE_MB megabytes (default 1024; text and random data, 8 MB files)
# packed by broltbuild with this build's stub. Printed: extraction / floor per
# payload, and the peak resident memory of both processes (Wine's own share,
# the same for both, included).
floor="$bin/bench_sfx_floor.exe"
[ -f "$floor" ] || { echo "missing $floor: build the Windows tree first"; exit 1; }
rm -rf "$work/payload-large"; mkdir -p "$work/payload-large"
python3 "$here/make_payload.py" "$work/payload-large" "${LARGE_MB:-1024}"
settings_ours "$work/payload-large" large.exe
"$native" --stub "$bin/pelstub.bin" large.exe.ini </dev/null >/dev/null 2>&1 || { echo "broltbuild failed on the large payload"; exit 1; }
cp ours-full.exe small.exe

# floor_run TOOL EXE: extracts EXE into $work/x; its time on stdout, its peak KB in TOOL.rss.
floor_run() {
  local t0 rc
  rm -rf "$work/x"; mkdir -p "$work/x"; sync
  t0=$(now)
  if [ "$1" = stub ]; then
    /usr/bin/time -f %M -o "$1.rss" wine "$2" /s "/d:$(win "$work/x")" </dev/null >/dev/null 2>&1
  else
    /usr/bin/time -f %M -o "$1.rss" wine "$floor" "$(win "$2")" "$(win "$work/x")" </dev/null >/dev/null 2>&1
  fi
  rc=$?
  best "$t0" "$(now)"
  return $rc
}

declare -A ft frss fratio
floor_round() {
  local r=$1 p tool t ok
  local -A rt
  for p in small large; do
    for tool in stub floor; do
      ok=yes
      t=$(floor_run "$tool" "$work/$p.exe") || ok="no (exit code)"
      # The files are compared in the warm-up round: 1 GB read back each round would cost more than it tells.
      [ "$r" -eq 0 ] && ! check "$work/payload-$([ $p = small ] && echo full || echo large)" && ok="no (files differ)"
      printf '%-7s %-6s %-8s %10.2f %10d  %s\n' "$p" "$tool" "$(rounds_label "$r")" "$t" "$(cat "$tool.rss")" "$ok"
      rt[$tool]=$t
      [ "$r" -eq 0 ] && continue
      ft[$p-$tool]+=" $t"; frss[$p-$tool]+=" $(cat "$tool.rss")"
    done
    [ "$r" -gt 0 ] && fratio[$p]+=" $(rounds_ratio "${rt[stub]}" "${rt[floor]}")"
  done
}

echo
printf '%-7s %-6s %-8s %10s %10s  %s\n' payload tool round "extract(s)" "peak(KB)" "extracted ok"
rounds_run floor_round
for p in small large; do
  # shellcheck disable=SC2086
  printf '%-7s extraction/floor, median of the rounds'"'"' ratios: %.2fx (stub %.2f s, floor %.2f s); peak memory: stub %d KB, floor %d KB\n' \
    "$p" "$(rounds_median ${fratio[$p]})" "$(rounds_median ${ft[$p-stub]})" "$(rounds_median ${ft[$p-floor]})" \
    "$(rounds_median ${frss[$p-stub]})" "$(rounds_median ${frss[$p-floor]})"
  # shellcheck disable=SC2086
  rounds_goal "extraction / floor, $p payload" "$(rounds_median ${fratio[$p]})" 1.2
done
# shellcheck disable=SC2086
rounds_goal "stub peak memory on the large payload (MB)" "$(awk -v k="$(rounds_median ${frss[large-stub]})" 'BEGIN { printf "%.1f", k / 1024 }')" 80
echo "large payload: $(ls "$work/payload-large" | wc -l) files, $(cat "$work/payload-large"/* | wc -c) bytes, packed into $(stat -c %s large.exe) bytes"
rm -rf "$work/x" "$work/payload-large"
