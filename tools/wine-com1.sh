#!/bin/sh
# Maps COM1 of a Wine prefix to a serial device (the virtual printer's pseudo-terminal), making
# the prefix first when it does not exist. WINEPREFIX, WINEARCH, WINELOADER (the loader of that
# width: Debian keeps wine64 off PATH) and WINESERVER say which Wine and which prefix.
#   tools/wine-com1.sh <device>
set -eu
device=$(readlink -f "$1")
[ -d "$WINEPREFIX" ] || "$WINELOADER" wineboot -i
"$WINELOADER" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$device" /f
# The port mapping is read when the server starts: stop it and wait until it has saved.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
