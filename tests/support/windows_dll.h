// A Windows DLL as mingw's objdump shows it: its export table, header flags and imports, and
// from its code, how many bytes each function takes off the stack when it returns.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tarn::test {

struct WindowsDll {
    uint64_t imageBase = 0;
    std::map<std::string, int> ordinalOfName;
    std::map<int, uint64_t> rvaOfOrdinal;
    std::set<std::string> flags;    // DllCharacteristics: DYNAMIC_BASE, NX_COMPAT...
    std::set<std::string> imports;  // the DLLs it needs
    // Function start address → the bytes each of its `ret`s pops (0 for a plain `ret`).
    std::map<uint64_t, std::vector<int>> returnPops;
};

// From `objdump -p` (headers) and `objdump -d --no-show-raw-insn` (code).
WindowsDll ReadWindowsDll(const std::string& headers, const std::string& code);
// Runs the objdump of the given mingw-w64 target prefix ("i686", "x86_64") on the file.
WindowsDll DumpWindowsDll(const std::string& target, const std::string& path);

struct ExportRow {
    std::string name;
    int ordinal;
    int args;
    std::string entry;
};

// Every way the DLL differs from the table, one line each: a name missing, extra or under
// another ordinal; names of one entry point at different addresses; a function that returns
// without taking `args × stackBytesPerArg` bytes off the stack (stdcall: 4; x64: 0).
std::vector<std::string> ExportProblems(const WindowsDll& dll, const std::vector<ExportRow>& table,
                                        int stackBytesPerArg);

}  // namespace tarn::test
