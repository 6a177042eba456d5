#!/bin/sh
# Runs the benchmarks of a build and prints their figures. `make bench` runs it on build/.
#
#   tools/run-benchmarks.sh <build dir>
#
# The receipt benchmark takes about four minutes: the sale runs in real time over the paced
# virtual printer, on each printer type through libtarn.so, through a build whose waits spin
# and, when the 64-bit TARN.dll is built and Wine is installed, through the DLL under Wine; type
# 3 waits 800 ms around every command. The service benchmark takes about two minutes: three
# rounds of the same sale through libtarn.so, through tarn serve, and on four printers served
# at once.
set -eu

build=$(cd "${1:?usage: tools/run-benchmarks.sh <build dir>}" && pwd)
bench=$build/bench
if [ ! -x "$bench/tarn-receipt-bench" ] || [ ! -x "$bench/tarn-call-bench" ] ||
   [ ! -x "$bench/tarn-serve-bench" ]; then
    echo "run-benchmarks: no benchmarks in $build/bench; build $build first" >&2
    exit 1
fi

echo "== The standard sale over the paced virtual printer, against its floor"
"$bench/tarn-receipt-bench" --sim "$build/tarn-sim" --library "$build/libtarn.so" \
    --spinning "$bench/libtarn-spinning.so"

echo
echo "== The standard sale through tarn serve, against the library called directly"
"$bench/tarn-serve-bench" --sim "$build/tarn-sim" --tarn "$build/tarn" --library "$build/libtarn.so"

echo
echo "== The library's own work per call: virtual printer in-process, on its virtual clock"
"$bench/tarn-call-bench" --benchmark_min_time=1
