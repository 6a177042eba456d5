#!/bin/sh
# Runs one documentation example against tarn-sim on a pseudo-terminal as port 1, and checks that
# it ended well and that the printer printed a receipt.
# usage: run_example.sh c|python|csharp|pascal <tarn-sim> <directory of libtarn.so> <include dir>
set -eu
language=$1
sim=$2
libdir=$3
include=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill "$sim_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
"$sim" --link "$work/com1" > "$work/roll.txt" &
sim_pid=$!
i=0
while [ ! -e "$work/com1" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
export TARN_COM1="$work/com1" LD_LIBRARY_PATH="$libdir" TARN_LIBRARY="$libdir/libtarn.so"
cd "$work"
case "$language" in
c)
    cc "$here/c/sale.c" -I"$include" -L"$libdir" -ltarn -o sale
    ./sale > out.txt ;;
python)
    /usr/bin/python3 "$here/python/sale.py" > out.txt ;;
csharp)
    mcs -nologo -out:Sale.exe "$here/csharp/Sale.cs"
    mono Sale.exe > out.txt ;;
pascal)
    cp "$here/pascal/sale.pas" .
    fpc -v0 -Fl"$libdir" sale.pas > build.txt || { cat build.txt; exit 1; }
    ./sale > out.txt ;;
esac
cat out.txt
grep -q '^ok: receipt 1$' out.txt
grep -q 'PARAGON FISKALNY' roll.txt
