#!/usr/bin/env bash
# 20-sfx.sh -- builds a self-extractor of sample files with the real build
# pipeline (sfxdemo.exe runs BuildSfx), then extracts it silently under Wine and
# compares every extracted file with its original.
set -u
bin="$ZX_BUILD/win/bin"
work="$ZX_BUILD/demo-sfx"
for f in sfxdemo.exe KANTOR.EXE pelstub.bin; do
  if [ ! -f "$bin/$f" ]; then echo "sfx: $f was not built ($bin); nothing to show"; exit 1; fi
done
rm -rf "$work"; mkdir -p "$work/samples/docs" "$work/out"
cd "$work" || exit 1

echo "Zendrix sample readme: extracted by a Velmor self-extractor." > samples/readme.txt
printf 'line %d of a text-like sample\r\n' $(seq 1 4000) > samples/docs/manual.txt
head -c 300000 /dev/urandom > samples/data.bin
: > samples/empty.dat
cp "$bin/pelstub.bin" .   # the build takes the stub from the current directory

win() { winepath -w "$1" 2>/dev/null; }
dest=$(win "$work/out")
{
  echo "[sfx]"
  echo "appName=Zendrix Demo"
  echo "showDialog=1"
  echo "destKind=2"
  echo "customDest=$dest"
  echo "outputFile=DemoSfx.exe"
  echo "overwriteMode=1"
  i=0
  for f in samples/readme.txt samples/docs/manual.txt samples/data.bin samples/empty.dat; do
    echo "file$i=$(win "$work/$f")"; i=$((i + 1))
  done
} > settings.ini

start=$(date +%s.%N)
wine "$bin/sfxdemo.exe" settings.ini </dev/null >/dev/null 2>&1
rc=$?
if [ $rc -ne 0 ] || [ ! -f DemoSfx.exe ]; then echo "sfx: the build failed (sfxdemo exit code $rc)"; exit 1; fi
stub=$(stat -c %s pelstub.bin); total=$(stat -c %s DemoSfx.exe)
in=$(cat samples/readme.txt samples/docs/manual.txt samples/data.bin | wc -c)
printf 'sfx: built DemoSfx.exe from 4 files (%d bytes) in %.1f s: %d bytes = stub %d + header 716 + packed block %d\n' \
  "$in" "$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN{print b-a}')" "$total" "$stub" $((total - stub - 716))
left=$(find "$WINEPREFIX/drive_c/users" -iname 'SFX*.tmp' 2>/dev/null | wc -l)
if [ "$left" -ne 0 ]; then echo "sfx: $left temporary files were left behind"; exit 1; fi
echo "sfx: no temporary file left in the Windows temp folder"

wine DemoSfx.exe /s </dev/null >/dev/null 2>&1
rc=$?
echo "sfx: DemoSfx.exe /s ran with exit code $rc"
bad=0
for f in readme.txt docs/manual.txt data.bin empty.dat; do
  name=$(basename "$f")
  if cmp -s "samples/$f" "out/$name"; then echo "sfx:   $name extracted intact"
  else echo "sfx:   $name MISSING or different"; bad=1; fi
done
[ $rc -eq 0 ] && [ $bad -eq 0 ] || { echo "sfx: extraction FAILED"; exit 1; }
echo "sfx: the self-extractor built by the pipeline extracted every file into its custom folder"
