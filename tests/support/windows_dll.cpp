#include "windows_dll.h"

#include <regex>
#include <sstream>

#include "test_dir.h"

namespace tarn::test {

namespace {

uint64_t Hex(const std::string& text) {
    return std::stoull(text, nullptr, 16);
}

// Header lines of `objdump -p`.
void ReadHeaders(const std::string& headers, WindowsDll* dll) {
    const std::regex imageBase(R"(^ImageBase\s+([0-9a-fA-F]+)$)");
    const std::regex flag(R"(^\s+([A-Z][A-Z_]+)$)");
    const std::regex import(R"(DLL Name: (\S+))");
    const std::regex address(R"(\[\s*\d+\] \+base\[\s*(\d+)\] ([0-9a-f]+) Export RVA)");
    const std::regex ordinalBase(R"(^Ordinal Base\s+(\d+)$)");
    const std::regex name(R"(^\s+\[\s*(\d+)\] (\S+)$)");
    enum { kOther, kFlags, kNames } section = kOther;
    int base = 0;
    std::istringstream lines(headers);
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (section == kFlags && !std::regex_match(line, m, flag)) section = kOther;
        if (std::regex_match(line, m, imageBase)) dll->imageBase = Hex(m[1]);
        if (line.rfind("DllCharacteristics", 0) == 0) section = kFlags;
        if (line.rfind("[Ordinal/Name Pointer] Table", 0) == 0) section = kNames;
        if (std::regex_match(line, m, ordinalBase)) base = std::stoi(m[1]);
        if (section == kFlags && std::regex_match(line, m, flag)) dll->flags.insert(m[1]);
        if (std::regex_search(line, m, import)) dll->imports.insert(m[1]);
        if (std::regex_search(line, m, address)) dll->rvaOfOrdinal[std::stoi(m[1])] = Hex(m[2]);
        if (section == kNames && std::regex_match(line, m, name))
            dll->ordinalOfName[m[2]] = base + std::stoi(m[1]);
    }
}

// "695c1000 <_pre_c_init>:" starts a function; "695c4757:\tret    $0x18" returns from it.
// A `ret` may carry a prefix ("repz ret") and a size suffix ("retq").
void ReadReturns(const std::string& code, WindowsDll* dll) {
    std::istringstream lines(code);
    std::vector<int>* current = nullptr;
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 3 && line.compare(line.size() - 2, 2, ">:") == 0 &&
            line.find(" <") != std::string::npos) {
            current = &dll->returnPops[Hex(line.substr(0, line.find(' ')))];
            continue;
        }
        const size_t tab = line.find(":\t");
        if (current == nullptr || tab == std::string::npos) continue;
        std::istringstream instruction(line.substr(tab + 2));
        std::string mnemonic, operand;
        instruction >> mnemonic;
        if (mnemonic == "repz" || mnemonic == "rep" || mnemonic == "bnd") instruction >> mnemonic;
        if (mnemonic != "ret" && mnemonic != "retl" && mnemonic != "retq") continue;
        instruction >> operand;
        current->push_back(operand.rfind("$0x", 0) == 0 ? static_cast<int>(Hex(operand.substr(3)))
                                                        : 0);
    }
}

void CheckReturns(const WindowsDll& dll, const ExportRow& row, uint64_t rva, int bytesPerArg,
                  std::vector<std::string>* problems) {
    const auto function = dll.returnPops.find(dll.imageBase + rva);
    if (function == dll.returnPops.end() || function->second.empty()) {
        problems->push_back(row.name + ": no function that returns at its address");
        return;
    }
    for (const int popped : function->second) {
        if (popped != row.args * bytesPerArg) {
            problems->push_back(row.name + ": returns popping " + std::to_string(popped) +
                                " bytes for " + std::to_string(row.args) + " arguments");
            return;
        }
    }
}

}  // namespace

WindowsDll ReadWindowsDll(const std::string& headers, const std::string& code) {
    WindowsDll dll;
    ReadHeaders(headers, &dll);
    ReadReturns(code, &dll);
    return dll;
}

WindowsDll DumpWindowsDll(const std::string& target, const std::string& path) {
    const std::string objdump = target + "-w64-mingw32-objdump ";
    return ReadWindowsDll(CommandOutput(objdump + "-p '" + path + "'"),
                          CommandOutput(objdump + "-d --no-show-raw-insn '" + path + "'"));
}

std::vector<std::string> ExportProblems(const WindowsDll& dll, const std::vector<ExportRow>& table,
                                        int stackBytesPerArg) {
    std::vector<std::string> problems;
    std::map<std::string, uint64_t> rvaOfEntry;
    for (const ExportRow& row : table) {
        const auto named = dll.ordinalOfName.find(row.name);
        if (named == dll.ordinalOfName.end() || named->second != row.ordinal) {
            problems.push_back(row.name + ": not exported with ordinal " +
                               std::to_string(row.ordinal));
            continue;
        }
        const auto address = dll.rvaOfOrdinal.find(row.ordinal);
        const uint64_t rva = address == dll.rvaOfOrdinal.end() ? 0 : address->second;
        if (rvaOfEntry.emplace(row.entry, rva).first->second != rva)
            problems.push_back(row.name + ": not at the address of the other names of " +
                               row.entry);
        CheckReturns(dll, row, rva, stackBytesPerArg, &problems);
    }
    if (dll.ordinalOfName.size() != table.size())
        problems.push_back("exports " + std::to_string(dll.ordinalOfName.size()) + " names, not " +
                           std::to_string(table.size()));
    return problems;
}

}  // namespace tarn::test
