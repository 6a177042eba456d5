#!/bin/sh
# The demo: a virtual printer on a pseudo-terminal, and tarn talking to it as to a printer
# on port 1.
set -eu
build=${1:-build}
dir=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -rf "$dir"' EXIT
"$build/tarn-sim" --link "$dir/com1" > "$dir/sim.out" &
sim=$!
i=0
while [ ! -e "$dir/com1" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
head -n 2 "$dir/sim.out"
echo
# The library keeps its log, "tarnel.txt", in the current directory.
build=$(cd "$build" && pwd)
cd "$dir"
TARN_COM1="$dir/com1" "$build/tarn" --port 1 identify
echo
TARN_COM1="$dir/com1" "$build/tarn" --port 1 sale
sleep 0.5
echo
echo "The virtual printer's paper roll:"
sed -n 's/^| //p' "$dir/sim.out"
