#!/usr/bin/env bash
# native-cross.sh BIN BROLTBUILD -- the native broltbuild against BroltBuild.exe
# under Wine: the demo's settings built by both give the same bytes (with the
# stub of BIN, the architecture under test), and 1,000 files built natively
# extract under Wine byte for byte. Every folder lives in the prefix's drive C.
set -u
bin=$(realpath "$1")
native=$2
count=${ZX_CROSS_FILES:-1000}
[ -n "${WINEPREFIX:-}" ] || { echo "native-cross: run under scripts/with-wine"; exit 1; }
[ -x "$native" ] || { echo "native-cross: $native is not built (make native): skipped"; exit 77; }
name="zxcross-$$"
root="$WINEPREFIX/drive_c/$name"
[ -n "${ZX_KEEP:-}" ] || trap 'rm -rf "$root"' EXIT
rm -rf "$root"; mkdir -p "$root/demo" "$root/many/src" "$root/many/out"
fail() { echo "native-cross: $*"; exit 1; }

# The demo's settings, once through each builder.
"$(dirname "$0")/../../scripts/sfx-demo-files" "$root/demo" "C:\\$name\\demo\\out" || fail "no demo files"
(cd "$root/demo" && wine "$bin/BroltBuild.exe" settings.ini </dev/null >windows.log 2>&1) || {
  sed 's/\r$//' "$root/demo/windows.log"; fail "BroltBuild.exe failed"; }
mv "$root/demo/DemoSfx.exe" "$root/demo/windows.exe"
"$native" --stub "$bin/pelstub.bin" "$root/demo/settings.ini" >"$root/demo/native.log" 2>&1 || {
  cat "$root/demo/native.log"; fail "broltbuild failed"; }
cmp "$root/demo/windows.exe" "$root/demo/DemoSfx.exe" || fail "the demo's self-extractors differ"
# The summary reads alike but for the path and the time.
diff <(sed 's/\r$//' "$root/demo/windows.log" | sed -n '/^  module/,$p' | grep -v -e '^  output' -e '^Built' -e '^  time' -e '^Packing') \
     <(sed -n '/^  module/,$p' "$root/demo/native.log" | grep -v -e '^  output' -e '^Built' -e '^  time' -e '^Packing') ||
  fail "the two builders report differently"
echo "native-cross: the demo's settings give $(stat -c %s "$root/demo/DemoSfx.exe") identical bytes from both builders"

# 1,000 files built natively, extracted under Wine.
"$(dirname "$0")/../../scripts/many-files" "$root/many/src" "$count" 'File %04d.dat'
printf '[Sfx]\nOpeningDialog = no\nDestination = custom\nCustomFolder = C:\\%s\\many\\out\nOverwrite = all\nOutput = Many.exe\n[Files]\nsrc/*.DAT\n' \
  "$name" > "$root/many/many.ini"
"$native" --stub "$bin/pelstub.bin" "$root/many/many.ini" >"$root/many/native.log" 2>&1 || {
  cat "$root/many/native.log"; fail "broltbuild failed on $count files"; }
wine "$root/many/Many.exe" /s </dev/null >/dev/null 2>&1 || fail "Many.exe /s exit code $?"
diff -r "$root/many/src" "$root/many/out" >/dev/null || fail "$(ls "$root/many/out" | wc -l) files extracted, not identical"
mv "$root/many/Many.exe" "$root/many/native.exe"
(cd "$root/many" && wine "$bin/BroltBuild.exe" many.ini </dev/null >/dev/null 2>&1) || fail "BroltBuild.exe failed on $count files"
cmp "$root/many/native.exe" "$root/many/Many.exe" || fail "the $count-file self-extractors differ"
echo "native-cross: $count files built natively extract under Wine byte for byte, and BroltBuild.exe builds the same bytes"
