#!/usr/bin/env bash
# run.sh [BUILD] -- compares our self-extractor with NSIS on the same payloads:
# 100 files of about 20 MB (half text-like, half random) and the empty payload.
# Prints output size, bare overhead, build time and silent extraction time under
# Wine. Build first with `make windows BUILD=<BUILD>`; needs makensis (Debian nsis).
# Each time is the best of RUNS runs (default 3).
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$root/build}")
if [ -z "${ZX_BENCH_INNER:-}" ]; then
  export ZX_BENCH_INNER=1
  exec "$root/scripts/with-wine" "$build/bench-prefix" bash "$0" "$build"
fi

bin="$build/win/bin"
runs=${RUNS:-3}
work="$build/bench-sfx"
for f in BroltBuild.exe KANTOR.EXE pelstub.bin; do
  [ -f "$bin/$f" ] || { echo "missing $bin/$f: build the Windows tree first"; exit 1; }
done
command -v makensis >/dev/null || { echo "makensis not found (apt-get install nsis)"; exit 1; }
rm -rf "$work"; mkdir -p "$work/payload-full" "$work/payload-empty" "$work/x"
python3 "$here/make_payload.py" "$work/payload-full"
cd "$work" || exit 1

win() { winepath -w "$1" 2>/dev/null; }
now() { date +%s.%N; }
best() { awk -v a="$1" -v b="$2" 'BEGIN { d = b - a; print (d < 0 ? 0 : d) }'; }
# min of a list of numbers
minof() { printf '%s\n' "$@" | sort -g | head -1; }

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
  makensis -V1 "$out.nsi" >/dev/null
}

extract() {  # extract EXE KIND
  rm -rf "$work/x"; mkdir -p "$work/x"
  if [ "$2" = ours ]; then wine "$1" /s </dev/null >/dev/null 2>&1
  else wine "$1" /S "/D=$(win "$work/x")" </dev/null >/dev/null 2>&1; fi
}

check() {  # check PAYLOAD: extracted files equal the payload
  local n=0
  for f in "$1"/*; do [ -f "$f" ] || continue; cmp -s "$f" "$work/x/$(basename "$f")" || return 1; n=$((n + 1)); done
  return 0
}

printf '%-7s %-10s %12s %10s %10s  %s\n' payload tool "size(B)" "build(s)" "extract(s)" "extracted ok"
for payload in full empty; do
  for tool in ours nsis-zlib nsis-lzma; do
    out="$tool-$payload.exe"; bt=(); xt=()
    [ $tool = ours ] && settings_ours "$work/payload-$payload" "$out"
    for ((r = 0; r < runs; r++)); do
      rm -f "$out"; t0=$(now)
      case $tool in
        ours) build_ours "$out" ;;
        nsis-zlib) build_nsis "$work/payload-$payload" "$out" zlib ;;
        nsis-lzma) build_nsis "$work/payload-$payload" "$out" lzma ;;
      esac
      bt+=("$(best "$t0" "$(now)")")
      t0=$(now); extract "$work/$out" "${tool%%-*}"; xt+=("$(best "$t0" "$(now)")")
    done
    ok=no; [ -f "$out" ] && check "$work/payload-$payload" && ok=yes
    size=$(stat -c %s "$out" 2>/dev/null || echo 0)
    printf '%-7s %-10s %12d %10.2f %10.2f  %s\n' "$payload" "$tool" "$size" "$(minof "${bt[@]}")" "$(minof "${xt[@]}")" "$ok"
  done
done
echo "payload: $(ls "$work/payload-full" | wc -l) files, $(cat "$work/payload-full"/* | wc -c) bytes; stub pelstub.bin $(stat -c %s "$bin/pelstub.bin") bytes"
echo "bare overhead = the empty payload's output size; build times: ours under Wine, makensis native"
