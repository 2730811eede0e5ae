#!/usr/bin/env bash
# 20-sfx.sh -- builds a self-extractor of sample files with dist/BroltBuild.exe
# (the wizard's build pipeline run from a settings file, as a CI job runs it),
# then extracts it silently under Wine and compares every extracted file with
# its original; then builds the same settings with the Linux broltbuild and
# compares the bytes.
set -u
dist="$ZX_DIST"
# inside the prefix's drive C:, like every folder the programs write to
work="$WINEPREFIX/drive_c/demo-sfx"
for f in BroltBuild.exe KANTOR.EXE pelstub.bin; do
  if [ ! -f "$dist/$f" ]; then echo "sfx: $f is not in $dist; nothing to show"; exit 1; fi
done
rm -rf "$work"; mkdir -p "$work/out"
cd "$work" || exit 1
"$ZX_ROOT/scripts/sfx-demo-files" "$work" "$(winepath -w "$work/out" 2>/dev/null)" || exit 1
echo "sfx: settings.ini"
sed 's/^/sfx: | /' settings.ini
echo "sfx: wine dist/BroltBuild.exe settings.ini"
wine "$dist/BroltBuild.exe" settings.ini </dev/null > build.log 2>&1
rc=$?
sed 's/\r$//; s/^/sfx: > /' build.log
if [ $rc -ne 0 ] || [ ! -f DemoSfx.exe ]; then echo "sfx: the build failed (BroltBuild exit code $rc)"; exit 1; fi
left=$(find "$WINEPREFIX/drive_c/users" -iname 'SFX*.tmp' 2>/dev/null | wc -l)
if [ "$left" -ne 0 ]; then echo "sfx: $left temporary files were left behind"; exit 1; fi
echo "sfx: no temporary file left in the Windows temp folder"

wine DemoSfx.exe /s </dev/null >/dev/null 2>&1
rc=$?
echo "sfx: DemoSfx.exe /s ran with exit code $rc"
bad=0
for f in readme.txt docs/manual.txt docs/notes.txt data.bin empty.dat; do
  name=$(basename "$f")
  if cmp -s "samples/$f" "out/$name"; then echo "sfx:   $name extracted intact"
  else echo "sfx:   $name MISSING or different"; bad=1; fi
done
[ $rc -eq 0 ] && [ $bad -eq 0 ] || { echo "sfx: extraction FAILED"; exit 1; }
echo "sfx: the self-extractor built by BroltBuild.exe extracted every file into its custom folder"

# The same settings through the Linux build, no Wine: the same bytes.
native="$ZX_BUILD/native-release/bin/broltbuild"
[ -x "$native" ] || { echo "sfx: $native is not built (make native-release): the Linux build not shown"; exit 0; }
mv DemoSfx.exe DemoSfx-windows.exe
echo "sfx: broltbuild --stub $dist/pelstub.bin settings.ini"
"$native" --stub "$dist/pelstub.bin" settings.ini </dev/null 2>&1 | sed 's/^/sfx: > /'
if cmp -s DemoSfx.exe DemoSfx-windows.exe; then echo "sfx: broltbuild on Linux built the same bytes as BroltBuild.exe"
else echo "sfx: broltbuild's output differs from BroltBuild.exe's"; exit 1; fi
