#!/usr/bin/env bash
# 10-kolvu.sh -- installs a small sample application into the demo prefix by
# hand, writes its install log with mklog.exe, runs the real Kolvu.exe on it
# with /yes and tells what it left behind. A damaged copy of Kolvu.exe is run too.
set -u
bin="$ZX_BUILD/win/bin"
kolvu="$ZX_DIST/Kolvu.exe"
for f in "$kolvu" "$bin/mklog.exe" "$bin/kolvurun.exe"; do
  if [ ! -f "$f" ]; then echo "kolvu: $f was not built; nothing to show"; exit 1; fi
done

win() { winepath -w "$1" 2>/dev/null; }
drive_c="$WINEPREFIX/drive_c"
app="$drive_c/Program Files/Velmor Demo"
rm -rf "$app"; mkdir -p "$app/data"
cp "$kolvu" "$app/Kolvu.exe"
echo "Velmor Demo readme" > "$app/readme.txt"
head -c 20000 /dev/urandom > "$app/data/sample.dat"
windir=$(win "$drive_c/windows")
printf '[Settings]\r\nPath=C:\\Program Files\\Velmor Demo\r\nTheme=Blue\r\n' > "$drive_c/windows/velmordemo.ini"
wine reg add 'HKCU\Software\Velmor\Demo' /v Path /d 'C:\Program Files\Velmor Demo' /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Velmor Demo' \
  /v DisplayName /d 'Velmor Demo' /f >/dev/null 2>&1

dest='C:\Program Files\Velmor Demo\'
log="$app/uninst.log"
wine "$bin/mklog.exe" "$(win "$log")" --flags 2 \
  --app 'Velmor Demo' "$dest" \
  --file "${dest}readme.txt" --file "${dest}data\\sample.dat" \
  --reg 1 'Software\Velmor\Demo' Path \
  --ini 1 velmordemo.ini Settings Path \
  --raw 6 10 \
  --directory "${dest}data" --directory 'C:\Program Files\Velmor Demo' </dev/null >/dev/null 2>&1
if [ ! -s "$log" ]; then echo "kolvu: mklog.exe could not write the sample log"; exit 1; fi
echo "kolvu: sample install log written: $(stat -c %s "$log") bytes, 8 records (application, 2 files, a registry value, an INI entry, one of no meaning, 2 directories)"

cd "$bin" || exit 1
wine kolvurun.exe "\"$(win "$app/Kolvu.exe")\" \"$(win "$log")\" /yes" </dev/null > "$ZX_BUILD/demo-kolvu.out" 2>/dev/null
rc=$?
sed 's/^/kolvu: /' "$ZX_BUILD/demo-kolvu.out"

left=""
for f in readme.txt data/sample.dat uninst.log; do [ -e "$app/$f" ] && left="$left $f"; done
grep -q '^Path=' "$drive_c/windows/velmordemo.ini" 2>/dev/null && left="$left INI:Settings/Path"
wine reg query 'HKCU\Software\Velmor\Demo' /v Path >/dev/null 2>&1 && left="$left HKCU\\Software\\Velmor\\Demo:Path"
wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Velmor Demo' >/dev/null 2>&1 \
  && left="$left uninstall-key"
if [ -n "$left" ]; then echo "kolvu: still present after the run:$left"; else echo "kolvu: files, registry value, INI entry, log and uninstall key are gone"; fi
grep -q '^Theme=Blue' "$drive_c/windows/velmordemo.ini" && echo "kolvu: the INI file's other entry was kept"
[ -e "$app/Kolvu.exe" ] && echo "kolvu: Kolvu.exe itself is not in the log and stays, so the application folder was left for removal at the next start"

# A copy with one changed byte must refuse to run.
bad="$ZX_BUILD/demo-KolvuDamaged.exe"
cp "$kolvu" "$bad" && printf '\x01' | dd of="$bad" bs=1 seek=$(( $(stat -c %s "$bad") - 1 )) conv=notrunc 2>/dev/null
wine kolvurun.exe "\"$(win "$bad")\" C:\\nowhere\\uninst.log" </dev/null > "$ZX_BUILD/demo-kolvu-bad.out" 2>/dev/null
badrc=$?
sed 's/^/kolvu (damaged copy): /' "$ZX_BUILD/demo-kolvu-bad.out"
rm -f "$bad"

[ $rc -eq 0 ] && [ $badrc -eq 255 ] && [ -z "$left" ]
