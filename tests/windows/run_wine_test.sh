#!/bin/sh
# Runs the Windows test program under Wine against tarn-sim on a pseudo-terminal mapped to COM1.
# usage: run_wine_test.sh <tarn-sim> <directory with TARN.dll and tarn_dll_test.exe>
set -eu
sim=$1
windows_build=$2
work=$(mktemp -d)
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    kill "$sim_pid" 2>/dev/null || true
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
sim_pid=""
trap cleanup EXIT
cp "$windows_build/TARN.dll" "$windows_build/tarn_dll_test.exe" "$work/"
wineboot -i >/dev/null 2>&1
"$sim" --quiet --link "$work/com1" >/dev/null &
sim_pid=$!
i=0
while [ ! -e "$work/com1" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$(readlink "$work/com1")" /f >/dev/null 2>&1
# The port mapping is read when the server starts: stop it and wait until it has saved.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
cd "$work"
status=0
wine tarn_dll_test.exe 2>"$work/wine-stderr.txt" || status=$?
[ "$status" -eq 0 ] || cat tarnel.txt
exit "$status"
