#!/usr/bin/env bash
# many-files.sh BIN -- 10,000 files through BroltBuild.exe and the stub: built
# from one pattern, extracted silently, compared with the originals. The files
# are made and compared on the host side, where that takes a second (Wine makes
# each new file in a big folder slowly); every folder lives in the prefix's drive C.
set -u
bin=$(realpath "${1:-.}")
count=${ZX_MANY_FILES:-10000}
[ -n "${WINEPREFIX:-}" ] || { echo "many-files: run under scripts/with-wine"; exit 1; }
name="zxmany-$$"
root="$WINEPREFIX/drive_c/$name"
trap 'rm -rf "$root"' EXIT
rm -rf "$root"; mkdir -p "$root/src" "$root/out"
"$(dirname "$0")/../../scripts/many-files" "$root/src" "$count" 'f%05d.dat'
printf '[Sfx]\r\nOpeningDialog = no\r\nDestination = custom\r\nCustomFolder = C:\\%s\\out\r\nOverwrite = all\r\nOutput = Many.exe\r\n[Files]\r\nsrc\\*\r\n' \
  "$name" > "$root/many.ini"

now() { date +%s.%N; }
t0=$(now)
wine "$bin/BroltBuild.exe" "C:\\$name\\many.ini" </dev/null > "$root/build.log" 2>&1
rc=$?
t1=$(now)
sed 's/\r$//' "$root/build.log"
[ $rc -eq 0 ] || { echo "many-files: BroltBuild.exe exit code $rc"; exit 1; }
wine "$root/Many.exe" /s </dev/null >/dev/null 2>&1
rc=$?
t2=$(now)
[ $rc -eq 0 ] || { echo "many-files: Many.exe /s exit code $rc"; exit 1; }
got=$(ls "$root/out" | wc -l)
diff -r "$root/src" "$root/out" >/dev/null || { echo "many-files: $got files extracted, not identical"; exit 1; }
awk -v n="$count" -v b="$(stat -c %s "$root/Many.exe")" -v t0="$t0" -v t1="$t1" -v t2="$t2" 'BEGIN {
  printf "many-files: %d files built into %d bytes in %.1f s, extracted byte for byte in %.1f s\n", n, b, t1 - t0, t2 - t1 }'
