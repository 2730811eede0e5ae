#!/usr/bin/env bash
# 30-wizard.sh -- walks Brolt.exe's six-page wizard on the virtual display
# (wizard_demo.exe presses its buttons and adds three files through the
# open-file dialog), then checks that the built SFX extracts the same files.
set -u
bin="$ZX_WIN/bin"
for f in "$ZX_DIST/Brolt.exe" "$ZX_DIST/KANTOR.EXE" "$ZX_DIST/pelstub.bin" "$ZX_DIST/Brolt.chm" \
         "$bin/wizard_demo.exe"; do
  if [ ! -f "$f" ]; then echo "wizard: $f was not built; nothing to show"; exit 1; fi
done
win() { winepath -w "$1" 2>/dev/null; }

work="$WINEPREFIX/drive_c/wizard-demo"
rm -rf "$work"; mkdir -p "$work/files"
printf 'Velmor demo files\r\nExtracted by a self-extractor built with the wizard.\r\n' > "$work/files/readme.txt"
head -c 300000 /dev/urandom > "$work/files/photo.dat"
seq 1 20000 > "$work/files/numbers.txt"

shots="$ZX_BUILD/demo-shots"; mkdir -p "$shots"
( sleep 6; import -display "$DISPLAY" -window root "$shots/wizard.png" 2>/dev/null ) &
shooter=$!
wine "$bin/wizard_demo.exe" "$(win "$ZX_DIST/Brolt.exe")" "$(win "$work")" \
  "$(win "$work/files/readme.txt")" "$(win "$work/files/photo.dat")" "$(win "$work/files/numbers.txt")" \
  | tr -d '\r'
rc=${PIPESTATUS[0]}
wait "$shooter"
if [ "$rc" -ne 0 ]; then echo "wizard: the walk through the wizard failed"; exit 1; fi

sfx="$work/MySFX.EXE"
if [ ! -f "$sfx" ]; then echo "wizard: no MySFX.EXE was built"; exit 1; fi
echo "wizard: built MySFX.EXE, $(stat -c %s "$sfx") bytes (stub $(stat -c %s "$ZX_DIST/pelstub.bin") bytes," \
     "header 716 bytes, the rest the packed files: $(du -cb "$work"/files/* | tail -1 | cut -f1) bytes before packing)"

wine "$sfx" /s "/d:$(win "$work/out")" </dev/null >/dev/null 2>&1
ok=0
for f in readme.txt photo.dat numbers.txt; do
  if cmp -s "$work/files/$f" "$work/out/$f"; then
    echo "wizard: MySFX.EXE /s extracted $f, identical to the original"
  else
    echo "wizard: $f missing or different after extraction"; ok=1
  fi
done
[ $ok -eq 0 ] && echo "wizard: screenshot of the walk in $shots/wizard.png"
exit $ok
