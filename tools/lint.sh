#!/bin/sh
# Static analysis of the library, the virtual printer and the tools: clang-tidy with the checks
# in .clang-tidy (on every file the build at $1 compiles), then cppcheck. Any finding fails.
set -eu
build=${1:-build}
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
files=$(python3 - "$build/compile_commands.json" <<'PY'
import json, os, sys
root = os.getcwd() + "/"
seen = set()
for entry in json.load(open(sys.argv[1])):
    path = os.path.relpath(entry["file"], root)
    if path.split("/")[0] in ("src", "sim", "tools") and path not in seen:
        seen.add(path)
        print(path)
PY
)
echo "clang-tidy: $(echo "$files" | wc -l) files"
echo "$files" | xargs -P "$jobs" -n 4 clang-tidy -p "$build" --quiet 2>/dev/null
echo "cppcheck"
# Its preprocessor does not follow the alias list's pick of rows (the compiler does).
cppcheck --std=c++17 --language=c++ -I "$build/generated/include" -I src -I sim -I tools \
    -U_WIN32 --enable=warning,performance,portability --inline-suppr --quiet --error-exitcode=1 \
    -j "$jobs" --suppress=missingIncludeSystem \
    --suppress=preprocessorErrorDirective:src/api/interface_aliases.h \
    -i src/platform/win32.cpp -i src/platform/win32_tcp.cpp src sim tools
