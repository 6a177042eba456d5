#!/bin/sh
# Installs the Debian packages the build needs when they are missing (as root), or says
# which ones to install. Wine runs the Windows builds: wine64 the 64-bit TARN.dll (on every
# machine), wine32 the 32-bit one (where the machine can run 32-bit programs; it needs the
# i386 architecture and installs cleanly only from bookworm's own versions).
set -eu
installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
# `install-deps.sh demo`: only what the demo builds with (the compiler, CMake, and the libraries
# the tools link: cpp-httplib for the web pages, nlohmann-json and SQLite for the print service,
# and Python, which writes the service's table of failures from the reference).
# Without an argument, everything `make test` needs besides: the documentation's examples are
# built and run in C, Python, C# and Pascal; the benchmarks use Google Benchmark; the fuzz
# targets are built with clang and its libFuzzer; the web pages are tested in headless Chromium;
# clang-tidy and cppcheck are the static analysis of `make lint`; Wine runs the Windows builds.
demo_packages="cmake make g++ pkg-config python3 libcpp-httplib-dev nlohmann-json3-dev libsqlite3-dev"
test_packages="libgtest-dev libbenchmark-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64
    clang-format clang-tidy cppcheck clang libclang-rt-14-dev python3 mono-mcs mono-runtime
    fp-compiler chromium chromium-driver"
case "${1:-all}" in
demo) packages=$demo_packages ;;
all) packages="$demo_packages $test_packages" ;;
*)
    echo "usage: install-deps.sh [demo]" >&2
    exit 2
    ;;
esac
missing=""
for package in $packages; do
    installed "$package" || missing="$missing $package"
done
wine_missing=""
if [ "${1:-all}" = all ]; then
    for package in wine32:i386 wine64 wine; do
        installed "$package" || wine_missing="wine32 wine64 wine"
    done
fi
[ -z "$missing$wine_missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages:$missing $wine_missing (install them as root, or run this as root)" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if [ -n "$wine_missing" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
echo "Installing:$missing $wine_missing"
apt-get update -qq
if [ -n "$missing" ]; then
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing
fi
if [ -n "$wine_missing" ]; then
    apt-get install -y -qq --no-install-recommends -t bookworm g++-mingw-w64-i686 $wine_missing
fi
