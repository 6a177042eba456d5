#!/bin/sh
# A Windows package holds the DLL, its import library, the export table and the header, and
# its DLL is of the package's width.
# usage: check_zip.sh <zip> <objdump file format: pei-i386 | pei-x86-64>
set -eu
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cmake -E tar xf "$zip"
for file in TARN.dll libTARN.dll.a tarn.def tarn.h; do
    [ -f "$file" ] || { echo "missing $file in $1"; exit 1; }
done
objdump -f TARN.dll | grep -q "file format $2\$" || { echo "TARN.dll in $1 is not $2"; exit 1; }
echo "zip ok"
