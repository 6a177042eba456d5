#!/bin/sh
# Installs the build into a scratch prefix and checks what a developer finds there: the files,
# a header that compiles, a pkg-config entry that resolves, a program that links and runs.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null
libdir=$(ls -d "$prefix"/lib*)
for file in include/tarn/tarn.h bin/tarn bin/tarn-sim; do
    [ -e "$prefix/$file" ] || { echo "missing $file"; exit 1; }
done
[ -e "$libdir/libtarn.so" ] && [ -e "$libdir/pkgconfig/tarn.pc" ] || { echo "missing library or tarn.pc"; exit 1; }
export PKG_CONFIG_PATH="$libdir/pkgconfig"
[ "$(pkg-config --modversion tarn)" != "" ]
cat > "$prefix/use.c" <<'C'
#include <tarn/tarn.h>
int main(void) { return mfStart3(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) == MF_NOT_PERFORMED ? 0 : 1; }
C
# shellcheck disable=SC2046
cc -Wall -Werror "$prefix/use.c" $(pkg-config --cflags --libs tarn) -o "$prefix/use"
cd "$prefix" && LD_LIBRARY_PATH="$libdir" ./use
echo "install tree ok"
