#!/bin/sh
# The Windows package holds the DLL, its import library, the export table and the header.
set -eu
listing=$(cd "$(dirname "$1")" && cmake -E tar tf "$(basename "$1")")
for file in TARN.dll libTARN.dll.a tarn.def tarn.h; do
    echo "$listing" | grep -qx "$file" || { echo "missing $file in $1"; exit 1; }
done
echo "zip ok"
