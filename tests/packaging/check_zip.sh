#!/bin/sh
# A Windows package holds the DLL, its import library, the export table, the header and the
# tool; the DLL and the tool are of the package's width, and the tool runs with nothing beside
# it but TARN.dll and the system's own libraries, importing from TARN.dll only names it exports
# (a 32-bit import library that asks for "mfStart@8" would make a tool that never loads).
# usage: check_zip.sh <zip> <objdump file format: pei-i386 | pei-x86-64>
set -eu
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cmake -E tar xf "$zip"
for file in TARN.dll libTARN.dll.a tarn.def tarn.h tarn.exe; do
    [ -f "$file" ] || { echo "missing $file in $1"; exit 1; }
done
for file in TARN.dll tarn.exe; do
    objdump -f "$file" | grep -q "file format $2\$" || { echo "$file in $1 is not $2"; exit 1; }
done
imports=$(objdump -p tarn.exe | sed -n 's/^[[:space:]]*DLL Name: //p' | LC_ALL=C sort | tr '\n' ' ')
[ "$imports" = "KERNEL32.dll TARN.dll msvcrt.dll " ] || {
    echo "tarn.exe in $1 needs $imports"
    exit 1
}
objdump -p tarn.exe | awk '/DLL Name: TARN.dll/ { on = 1; getline; next }
                           on && NF == 0 { on = 0 } on { print $3 }' >imported
objdump -p TARN.dll | sed -n 's/^[[:space:]]*\[ *[0-9]*\] \([A-Za-z0-9_]*\)$/\1/p' >exported
[ -s imported ] && ! grep -vxFf exported imported || {
    echo "tarn.exe in $1 imports from TARN.dll what it does not export (above), or nothing"
    exit 1
}
echo "zip ok"
