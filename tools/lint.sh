#!/bin/sh
# Static analysis of everything the builds compile: clang-tidy with the checks in .clang-tidy on
# every file of the Linux build at $1 (library, virtual printer, tools, tests, benchmarks, fuzz
# targets) and on the Windows-only files of the 64-bit Windows build at $2, then cppcheck on the
# same trees. Any finding fails, and so does any error of clang-tidy itself (a file it cannot
# parse is no file it checked).
set -eu
build=${1:-build}
winbuild=${2:-build-win64}
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
for db in "$build" "$winbuild"; do
    if [ ! -f "$db/compile_commands.json" ]; then
        echo "lint: no $db/compile_commands.json (build it first: make build windows64)" >&2
        exit 1
    fi
done
tidydb=$(mktemp -d)
trap 'rm -rf "$tidydb"' EXIT
# The Windows-only files are checked by clang as the MinGW compiler sees them: its C++ library
# and Windows headers, clang's own intrinsics, without the options only GCC knows.
files=$(python3 - "$build/compile_commands.json" "$winbuild/compile_commands.json" "$tidydb" <<'PY'
import json, os, re, shlex, subprocess, sys
root = os.getcwd() + "/"
linux, windows, out = sys.argv[1:4]
ours = ("src", "sim", "tools", "tests", "bench", "fuzz")
def relative(entry):
    return os.path.relpath(entry["file"], root)
seen = set()
for entry in json.load(open(linux)):
    path = relative(entry)
    if path.split("/")[0] in ours and path not in seen:
        seen.add(path)
        print(path)
def mingw_search_dirs(compiler):
    probe = subprocess.run([compiler, "-xc++", "-E", "-v", "-"], input="", text=True,
                           capture_output=True).stderr
    listed = probe.split("#include <...> search starts here:\n")[1].split("End of search")[0]
    dirs = [os.path.normpath(d) for d in listed.split()]
    return [d for d in dirs if not ("/lib/gcc/" in d and re.search(r"/include(-fixed)?$", d))]
entries = []
for entry in json.load(open(windows)):
    path = relative(entry)
    if path.split("/")[0] not in ours or path in seen:
        continue
    seen.add(path)
    args = shlex.split(entry["command"])
    command = ["clang++", "--target=x86_64-w64-mingw32", "-nostdinc++"]
    for directory in mingw_search_dirs(args[0]):
        command += ["-isystem", directory]
    for arg in args[1:]:
        if arg.startswith("@"):
            command += shlex.split(open(os.path.join(entry["directory"], arg[1:])).read())
        elif arg != "-fno-keep-inline-dllexport":
            command.append(arg)
    entries.append({"directory": entry["directory"], "file": entry["file"],
                    "command": shlex.join(command)})
    print("windows:" + path)
json.dump(entries, open(os.path.join(out, "compile_commands.json"), "w"))
PY
)
echo "clang-tidy: $(echo "$files" | wc -l) files"
# clang-tidy counts the warnings it suppressed on stderr; anything else there is a fault.
status=0
tidy() {  # tidy FILES COMPILE-DATABASE-DIR
    [ -n "$1" ] || return 0
    echo "$1" | xargs -P "$jobs" -n 4 clang-tidy -p "$2" --quiet 2>"$tidydb/stderr" || status=1
    if grep -Ev '^([0-9]+ warnings?( and [0-9]+ errors?)? generated\.|Suppressed [0-9]+ warnings|Use -header-filter|Use -system-headers)' \
        "$tidydb/stderr" >&2; then
        status=1
    fi
}
tidy "$(echo "$files" | grep -v '^windows:')" "$build"
tidy "$(echo "$files" | sed -n 's/^windows://p')" "$tidydb"
[ "$status" -eq 0 ] || { echo "lint: clang-tidy failed" >&2; exit 1; }
echo "cppcheck"
common="--std=c++17 --language=c++ --library=googletest -I $build/generated/include
    -I $build/generated/src -I src -I sim -I tools -I tests
    --enable=warning,performance,portability --inline-suppr --quiet --error-exitcode=1 -j $jobs
    --suppress=missingIncludeSystem"
# shellcheck disable=SC2086
cppcheck $common -U_WIN32 -i src/platform/win32.cpp -i src/platform/win32_tcp.cpp \
    -i tools/tarn/windows -i tests/windows -i bench/receipt/windows_client.cpp \
    src sim tools tests bench fuzz
# shellcheck disable=SC2086
cppcheck $common -D_WIN32 src/platform/win32.cpp src/platform/win32_tcp.cpp tools/tarn/windows \
    tests/windows bench/receipt/windows_client.cpp
