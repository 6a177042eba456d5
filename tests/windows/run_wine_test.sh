#!/bin/sh
# Runs the Windows test program under Wine against tarn-sim on a pseudo-terminal mapped to COM1,
# then again, and tarn.exe identify, against tarn-sim on a TCP port (TARN_COM1=tcp:HOST:PORT).
# usage: run_wine_test.sh <tarn-sim> <directory with TARN.dll, tarn_dll_test.exe, tarn.exe>
#                         <Wine loader> <wineserver> <win32|win64>
# Exits 77 (skipped) when the loader cannot run on this machine: a kernel without 32-bit
# support answers every 32-bit program with "Exec format error".
set -eu
sim=$1
windows_build=$2
loader=$3
server=$4
arch=$5
skip() {
    echo "skipped: $*"
    exit 77
}
[ -x "$loader" ] || skip "no Wine loader at $loader (the $arch Wine package is not installed)"
probe=$(mktemp)
if ! "$loader" --version >/dev/null 2>"$probe"; then
    if grep -q "Exec format error" "$probe"; then
        rm -f "$probe"
        skip "this machine cannot run $arch programs ($loader: Exec format error)"
    fi
    echo "$loader --version failed:"
    cat "$probe"
    rm -f "$probe"
    exit 1
fi
rm -f "$probe"

work=$(mktemp -d)
export WINEPREFIX="$work/wine" WINEARCH="$arch" WINELOADER="$loader" WINESERVER="$server"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
sim_pid=""
status=1
# A failure says why: what Wine printed, the library's log and the end of the paper roll.
cleanup() {
    if [ "$status" -ne 0 ]; then
        for file in wine-setup.txt wine-stderr.txt identify.txt tarnel.txt roll.txt; do
            [ -s "$work/$file" ] || continue
            echo "---- $file"
            tail -n 60 "$work/$file"
        done
    fi
    [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true
    "$server" -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
cp "$windows_build/TARN.dll" "$windows_build/tarn_dll_test.exe" "$windows_build/tarn.exe" "$work/"
unset TARN_COM1 # the first pass is on COM1 itself
"$sim" --link "$work/com1" >"$work/roll.txt" 2>&1 &
sim_pid=$!
i=0
while [ ! -e "$work/com1" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
"$(dirname "$0")/../../tools/wine-com1.sh" "$work/com1" >"$work/wine-setup.txt" 2>&1
cd "$work"
status=0
"$loader" tarn_dll_test.exe 2>"$work/wine-stderr.txt" || status=$?
[ "$status" -ne 77 ] || status=1 # the number of failed checks, never "skipped"
[ "$status" -eq 0 ] || exit "$status"

# A fresh printer on a free TCP port; TARN_COM1 names it.
serve_tcp() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    "$sim" --tcp 0 >"$work/roll.txt" 2>&1 &
    sim_pid=$!
    port=""
    i=0
    while [ -z "$port" ] && [ $i -lt 100 ]; do
        sleep 0.05
        i=$((i + 1))
        port=$(sed -n 's/.* on tcp:127\.0\.0\.1:\([0-9]*\)$/\1/p' "$work/roll.txt")
    done
    [ -n "$port" ] || { echo "tarn-sim did not listen on a TCP port"; status=1; exit 1; }
    export TARN_COM1="tcp:127.0.0.1:$port"
}
echo "---- over TCP"
serve_tcp
"$loader" tarn_dll_test.exe 2>"$work/wine-stderr.txt" || status=$?
[ "$status" -ne 77 ] || status=1
[ "$status" -eq 0 ] || exit "$status"
serve_tcp
status=1
"$loader" tarn.exe identify >"$work/identify.txt" 2>"$work/wine-stderr.txt" &&
    grep -q "TRN26000001" "$work/identify.txt" || { echo "FAIL tarn.exe identify over TCP"; exit 1; }
echo "ok   tarn.exe identify over TCP"
status=0
