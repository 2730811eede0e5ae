#!/usr/bin/env bash
# 10-kolvu.sh -- installs a sample application into the demo prefix by hand
# (files, a shared DLL, a COM server, registry values, INI entries, a custom
# uninstall program, an uninstall key and language files), writes its install
# log with mklog.exe and lets the real Kolvu.exe remove it, its windows shown on
# the virtual display and answered by kolvudemo.exe, with /yes and a removal
# report (/log:); then prints the report and says what was removed and what remained.
# The same sample installed again goes with /quiet, where no window may show. A
# small run has a file in use and shows the restart dialog; a damaged copy of
# Kolvu.exe must refuse to run.
set -u
bin="$ZX_WIN/bin"
kolvu="$ZX_DIST/Kolvu.exe"
for f in "$kolvu" "$bin/mklog.exe" "$bin/kolvudemo.exe" "$bin/ComServerFixture.dll" \
         "$bin/CustomUninstall.exe" "$bin/FileLocker.exe"; do
  if [ ! -f "$f" ]; then echo "kolvu: $f was not built; nothing to show"; exit 1; fi
done

win() { winepath -w "$1" 2>/dev/null; }
quiet() { "$@" </dev/null >/dev/null 2>&1; }
drive_c="$WINEPREFIX/drive_c"
sys32="$drive_c/windows/system32"
app="$drive_c/Program Files/Velmor Demo"
logdir="$drive_c/windows/Velmor Demo Uninstall"   # the log lives outside the application folder
shared_key='HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs'
uninstall_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Velmor Demo'
clsid='{6B1F0D2E-5C3A-4E71-9B8D-2A7C4F1E0D93}'   # the COM server fixture's class

# --- install ---------------------------------------------------------------
install_sample() {
rm -rf "$app" "$logdir"; mkdir -p "$app/data" "$app/bin" "$logdir"
echo "Velmor Demo readme" > "$app/readme.txt"
head -c 20000 /dev/urandom > "$app/data/sample.dat"
# enough small files for the progress dialog to stay up a moment
pages=()
for i in $(seq -w 1 300); do
  echo "page $i" > "$app/data/page$i.txt"
  pages+=(--file "C:\\Program Files\\Velmor Demo\\data\\page$i.txt")
done
cp "$bin/ComServerFixture.dll" "$app/bin/VelmorView.dll"
cp "$bin/CustomUninstall.exe" "$app/bin/cleanup.exe"
echo "shared by two programs" > "$sys32/velmorshr.dll"
echo "shared by this one only" > "$sys32/velmorone.dll"
cp "$ZX_ROOT/tests/fixtures_langfiles/english/LEXA1.LDB" "$logdir/LEXA1.LDB"
printf '[Settings]\r\nPath=C:\\Program Files\\Velmor Demo\r\nTheme=Blue\r\n' > "$drive_c/windows/velmordemo.ini"
quiet wine reg add 'HKCU\Software\Velmor\Demo' /v Path /d 'C:\Program Files\Velmor Demo' /f
quiet wine reg add 'HKCU\Software\Velmor\Demo' /v Version /d '1.0' /f
quiet wine reg add 'HKCU\Software\Velmor\Demo' /v Owner /d 'kept: not in the log' /f
quiet wine reg add "$uninstall_key" /v DisplayName /d 'Velmor Demo' /f
quiet wine reg add "$shared_key" /v 'C:\windows\system32\velmorshr.dll' /t REG_DWORD /d 2 /f
quiet wine reg add "$shared_key" /v 'C:\windows\system32\velmorone.dll' /t REG_DWORD /d 1 /f
quiet wine regsvr32 /s "$(win "$app/bin/VelmorView.dll")"
quiet wine reg query "HKCU\Software\Classes\CLSID\\$clsid" \
  && echo "kolvu: COM server VelmorView.dll registered"

dest='C:\Program Files\Velmor Demo\'
log="$logdir/uninst.log"
mark='C:\velmor-demo-cleanup.txt'
rm -f "$drive_c/velmor-demo-cleanup.txt"
quiet wine "$bin/mklog.exe" "$(win "$log")" --flags 2 --language-files 1 \
  --app 'Velmor Demo' "$dest" \
  --custom "${dest}bin\\cleanup.exe" "0 $mark demo" \
  --file "${dest}readme.txt" --file "${dest}data\\sample.dat" "${pages[@]}" \
  --file "${dest}bin\\VelmorView.dll" --file "${dest}bin\\cleanup.exe" \
  --system-file 'C:\windows\system32\velmorshr.dll' --system-file 'C:\windows\system32\velmorone.dll' \
  --reg 1 'Software\Velmor\Demo' Path --reg 1 'Software\Velmor\Demo' Version \
  --ini 1 velmordemo.ini Settings Path \
  --raw 6 10 \
  --directory "${dest}data" --directory "${dest}bin" --directory 'C:\Program Files\Velmor Demo'
if [ ! -s "$log" ]; then echo "kolvu: mklog.exe could not write the sample log"; exit 1; fi
echo "kolvu: sample installed; install log $(stat -c %s "$log") bytes, 315 records, texts from LEXA1.LDB beside it"
}
install_sample

# --- uninstall -------------------------------------------------------------
cd "$bin" || exit 1
report="$drive_c/velmor-demo-report.txt"
rm -f "$report"
wine kolvudemo.exe "\"$(win "$kolvu")\" \"$(win "$log")\" /yes /log:\"$(win "$report")\"" </dev/null > "$ZX_BUILD/demo-kolvu.out" 2>/dev/null
rc=$?
sed 's/^/kolvu: /' "$ZX_BUILD/demo-kolvu.out"
if [ -s "$report" ]; then
  echo "kolvu: the removal report (/log:), without the 300 lines of data\\pageNNN.txt:"
  grep -v 'data\\page[0-9]' "$report" | tr -d '\r' | sed 's/^/  | /'
  cp "$report" "$ZX_BUILD/demo-kolvu-report.txt"
else
  echo "kolvu: no removal report was written"; rc=1
fi

removed="" left=""
check() {   # check LABEL COMMAND...: removed when the command fails
  if "${@:2}" >/dev/null 2>&1 </dev/null; then left="$left, $1"; else removed="$removed, $1"; fi
}
check "readme.txt" test -e "$app/readme.txt"
check "data\\sample.dat and 300 pages" test -e "$app/data/sample.dat" -o -e "$app/data/page150.txt"
check "the application folder" test -e "$app"
check "COM class of VelmorView.dll" wine reg query "HKCU\Software\Classes\CLSID\\$clsid"
check "velmorone.dll (last user)" test -e "$sys32/velmorone.dll"
check "registry value Path" wine reg query 'HKCU\Software\Velmor\Demo' /v Path
check "registry value Version" wine reg query 'HKCU\Software\Velmor\Demo' /v Version
check "INI entry Settings/Path" grep -q '^Path=' "$drive_c/windows/velmordemo.ini"
check "uninstall key" wine reg query "$uninstall_key"
check "install log, LEXA1.LDB and their folder" test -e "$logdir"
echo "kolvu: removed: ${removed#, }"
[ -n "$left" ] && echo "kolvu: NOT removed: ${left#, }"
[ -e "$sys32/velmorshr.dll" ] && echo "kolvu: remained as it should: velmorshr.dll, still used by another program" \
  "(count now $(wine reg query "$shared_key" /v 'C:\windows\system32\velmorshr.dll' 2>/dev/null </dev/null | grep -o '0x[0-9a-f]*'))"
wine reg query 'HKCU\Software\Velmor\Demo' /v Owner >/dev/null 2>&1 </dev/null \
  && echo "kolvu: remained as it should: registry value Owner (not in the log)"
grep -q '^Theme=Blue' "$drive_c/windows/velmordemo.ini" && echo "kolvu: remained as it should: INI entry Settings/Theme"
[ -s "$drive_c/velmor-demo-cleanup.txt" ] && echo "kolvu: the custom uninstall program ran first, in the application folder"

# --- the same from a script: /quiet -----------------------------------------
install_sample
quietreport="$drive_c/velmor-demo-quiet.txt"
rm -f "$quietreport"
wine kolvudemo.exe "\"$(win "$kolvu")\" \"$(win "$log")\" /quiet /log:$(win "$quietreport")" </dev/null > "$ZX_BUILD/demo-kolvu-quiet.out" 2>/dev/null
quietrc=$?
sed 's/^/kolvu (\/quiet): /' "$ZX_BUILD/demo-kolvu-quiet.out"
if [ $(wc -l < "$ZX_BUILD/demo-kolvu-quiet.out") -eq 1 ] && [ -e "$quietreport" ]; then
  echo "kolvu (/quiet): no window shown; the report ends:"
  tail -n 2 "$quietreport" | tr -d '\r' | sed 's/^/  | /'
else
  echo "kolvu (/quiet): a window showed, or no report was written"; quietrc=1
fi

# --- a file in use: the restart dialog ---------------------------------------
busy="$drive_c/Velmor Busy"
rm -rf "$busy"; mkdir -p "$busy"
echo busy > "$busy/Busy.txt"; echo free > "$busy/free.txt"
quiet wine "$bin/mklog.exe" "$(win "$busy/uninst.log")" \
  --file 'C:\Velmor Busy\Busy.txt' --file 'C:\Velmor Busy\free.txt'
wine "$bin/FileLocker.exe" demo "$(win "$busy/Busy.txt")" </dev/null >/dev/null 2>&1 &
locker=$!
sleep 2
wine kolvudemo.exe "\"$(win "$kolvu")\" \"$(win "$busy/uninst.log")\" /yes" </dev/null > "$ZX_BUILD/demo-kolvu-busy.out" 2>/dev/null
busyrc=$?
sed 's/^/kolvu (file in use): /' "$ZX_BUILD/demo-kolvu-busy.out"
[ ! -e "$busy/free.txt" ] && [ -e "$busy/Busy.txt" ] \
  && echo "kolvu (file in use): free.txt removed; Busy.txt stays until the next start"
quiet wine taskkill /f /im FileLocker.exe; wait "$locker" 2>/dev/null

# --- a damaged copy must refuse to run ---------------------------------------
bad="$ZX_BUILD/demo-KolvuDamaged.exe"
cp "$kolvu" "$bad" && printf '\x01' | dd of="$bad" bs=1 seek=$(( $(stat -c %s "$bad") - 1 )) conv=notrunc 2>/dev/null
wine kolvudemo.exe "\"$(win "$bad")\" C:\\nowhere\\uninst.log" </dev/null > "$ZX_BUILD/demo-kolvu-bad.out" 2>/dev/null
badrc=$?
sed 's/^/kolvu (damaged copy): /' "$ZX_BUILD/demo-kolvu-bad.out"
rm -f "$bad"

[ $rc -eq 0 ] && [ $quietrc -eq 0 ] && [ $busyrc -eq 0 ] && [ $badrc -eq 255 ] && [ -z "$left" ]
