#!/usr/bin/env bash
# large-payload.sh BIN BROLTBUILD -- a payload far larger than any buffer of
# the builders (ZX_LARGE_MB, default 600, of bytes that pack fast because they
# are stored): built by BroltBuild.exe under Wine and by broltbuild, the same
# bytes from both, extracted silently byte for byte, and the peak memory of
# each builder (the largest resident size of the builder and the compressor it
# waits for) at most ZX_LARGE_PEAK_MB, default 64. Every folder lives in the prefix's drive C.
set -u
bin=$(realpath "$1")
native=$2
mb=${ZX_LARGE_MB:-600}
peakLimit=${ZX_LARGE_PEAK_MB:-64}
[ -n "${WINEPREFIX:-}" ] || { echo "large-payload: run under scripts/with-wine"; exit 1; }
# Stretched waits mean an emulated machine, whose times and memory say nothing here.
[ "${ZX_TIME_SCALE:-1}" -le 1 ] 2>/dev/null || { echo "large-payload: waits stretched x$ZX_TIME_SCALE (an emulated machine): left out"; exit 77; }
[ -x "$native" ] || { echo "large-payload: $native is not built (make native-release): skipped"; exit 77; }
name="zxlarge-$$"
root="$WINEPREFIX/drive_c/$name"
[ -n "${ZX_KEEP:-}" ] || trap 'rm -rf "$root"' EXIT
rm -rf "$root"; mkdir -p "$root/src"
fail() { echo "large-payload: $*"; exit 1; }

# Random bytes: the compressor stores them, so the test's time goes to the
# builders' own reading and writing, the part whose memory is measured.
head -c "${mb}M" /dev/urandom > "$root/src/payload.bin"
head -c 100000 /dev/urandom > "$root/src/small.bin"
echo "Read me first." > "$root/src/readme.txt"
printf '[Sfx]\r\nOpeningDialog = no\r\nDestination = custom\r\nCustomFolder = C:\\%s\\out\r\nOverwrite = all\r\nOutput = Large.exe\r\n[Files]\r\nsrc\\readme.txt\r\nsrc\\payload.bin\r\nsrc\\small.bin\r\n' \
  "$name" > "$root/large.ini"

now() { date +%s.%N; }
t0=$(now)
/usr/bin/time -f %M -o "$root/windows.peak" wine "$bin/BroltBuild.exe" "C:\\$name\\large.ini" </dev/null >"$root/windows.log" 2>&1 || {
  sed 's/\r$//' "$root/windows.log"; fail "BroltBuild.exe failed"; }
t1=$(now)
mv "$root/Large.exe" "$root/windows.exe"
/usr/bin/time -f %M -o "$root/native.peak" "$native" --stub "$bin/pelstub.bin" "$root/large.ini" >"$root/native.log" 2>&1 || {
  cat "$root/native.log"; fail "broltbuild failed"; }
t2=$(now)
cmp "$root/windows.exe" "$root/Large.exe" || fail "the two builders' self-extractors differ"
rm "$root/windows.exe"
wine "$root/Large.exe" /s </dev/null >/dev/null 2>&1 || fail "Large.exe /s exit code $?"
diff -r "$root/src" "$root/out" >/dev/null || fail "the extracted files differ from the originals"

windowsPeak=$(tail -n 1 "$root/windows.peak")
nativePeak=$(tail -n 1 "$root/native.peak")
awk -v mb="$mb" -v size="$(stat -c %s "$root/Large.exe")" -v w="$windowsPeak" -v n="$nativePeak" \
    -v t0="$t0" -v t1="$t1" -v t2="$t2" 'BEGIN {
  printf "large-payload: %d MB into %d bytes; BroltBuild.exe %.1f s, peak %.1f MB; broltbuild %.1f s, peak %.1f MB\n",
         mb, size, t1 - t0, w / 1024, t2 - t1, n / 1024 }'
for peak in "$windowsPeak" "$nativePeak"; do
  [ "$peak" -le $((peakLimit * 1024)) ] || fail "a builder's peak memory is $((peak / 1024)) MB, above $peakLimit MB"
done
echo "large-payload: the same bytes from both builders, extracted byte for byte"
