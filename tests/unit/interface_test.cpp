// The exported interface against its list: the module definition file, the public header,
// the shared library's exports and, when it was built, TARN.dll's export table.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "api/interface_list.h"
#include "tarn/tarn.h"
#include "test_dir.h"

namespace tarn {
namespace {

struct Name {
    std::string name;
    int ordinal;
    int args;
    std::string entry;
    bool built;
};

std::vector<Name> Interface() {
    std::vector<Name> names;
#define TARN_LIST_ROW(name, ordinal, args, entry, kind) \
    names.push_back({#name, ordinal, args, #entry, std::string(#kind) != "LATER"});
    TARN_INTERFACE(TARN_LIST_ROW)
    return names;
}

TEST(InterfaceList, HoldsEveryNameOnceWithItsOwnOrdinal) {
    std::set<std::string> names;
    std::set<int> ordinals;
    std::map<std::string, int> argsByEntry;
    for (const Name& n : Interface()) {
        EXPECT_TRUE(names.insert(n.name).second) << n.name;
        EXPECT_TRUE(ordinals.insert(n.ordinal).second) << n.ordinal;
        // Names that share an entry point take the same arguments.
        const auto [it, inserted] = argsByEntry.emplace(n.entry, n.args);
        EXPECT_EQ(it->second, n.args) << n.name;
        (void)inserted;
    }
    EXPECT_EQ(names.size(), 182u);
}

TEST(InterfaceList, TheHeaderDeclaresEveryBuiltName) {
    std::vector<const void*> declared;
#define TARN_DECLARED_ROW(name, ordinal, args, entry, kind) TARN_DECLARED_##kind(name)
#define TARN_DECLARED_OWN(name) declared.push_back(reinterpret_cast<const void*>(&name));
#define TARN_DECLARED_SHARED(name) TARN_DECLARED_OWN(name)
#define TARN_DECLARED_FIXED(name) TARN_DECLARED_OWN(name)
#define TARN_DECLARED_LATER(name)
    TARN_INTERFACE(TARN_DECLARED_ROW)
    size_t built = 0;
    for (const Name& n : Interface()) built += n.built;
    EXPECT_EQ(declared.size(), built);
}

// "name = entry@bytes @ordinal", one line per built name.
TEST(InterfaceList, TheModuleDefinitionFileExportsExactlyTheBuiltNames) {
    std::ifstream def(TARN_SOURCE_DIR "/src/api/tarn.def");
    ASSERT_TRUE(def.good());
    std::map<std::string, std::string> lines;
    const std::regex exportLine(R"(^\s+(\w+) = (\w+)@(\d+) @(\d+)\s*$)");
    std::string line;
    while (std::getline(def, line)) {
        std::smatch m;
        if (std::regex_match(line, m, exportLine))
            lines[m[1]] = m[2].str() + "@" + m[3].str() + " @" + m[4].str();
    }
    size_t built = 0;
    for (const Name& n : Interface()) {
        if (!n.built) {
            EXPECT_EQ(lines.count(n.name), 0u) << n.name;
            continue;
        }
        ++built;
        EXPECT_EQ(lines[n.name],
                  n.entry + "@" + std::to_string(4 * n.args) + " @" + std::to_string(n.ordinal))
            << n.name;
    }
    EXPECT_EQ(lines.size(), built);
}

TEST(SharedLibrary, ExportsTheBuiltNamesAndNothingElse) {
    test::TestDir dir;
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);  // loading opens "tarnel.txt" here
    void* library = dlopen(TARN_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_EQ(chdir(cwd), 0);
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_NE(test::ReadFile(dir.File("tarnel.txt")).find("***** LOG OPEN  TARN *****"),
              std::string::npos);

    std::map<std::string, void*> addressOfEntry;
    for (const Name& n : Interface()) {
        void* address = dlsym(library, n.name.c_str());
        if (!n.built) {
            EXPECT_EQ(address, nullptr) << n.name;
            continue;
        }
        ASSERT_NE(address, nullptr) << n.name;
        const auto [it, inserted] = addressOfEntry.emplace(n.entry, address);
        EXPECT_EQ(it->second, address) << n.name << " shares " << n.entry;
        (void)inserted;
    }
    dlclose(library);

    std::istringstream symbols(test::CommandOutput("nm -D --defined-only " TARN_SHARED_LIBRARY));
    std::set<std::string> exported;
    for (std::string address, type, name; symbols >> address >> type >> name;)
        exported.insert(name);
    std::set<std::string> expected;
    for (const Name& n : Interface()) {
        if (n.built) expected.insert(n.name);
    }
    EXPECT_EQ(exported, expected);
}

#ifdef TARN_WINDOWS_DLL
// objdump lists "[index] +base[ ordinal] rva Export RVA" and "[index] name".
TEST(WindowsLibrary, ExportsEveryBuiltNameByItsOrdinalAndSharesEntryPoints) {
    const std::string dump = test::CommandOutput("i686-w64-mingw32-objdump -p " TARN_WINDOWS_DLL);
    ASSERT_FALSE(dump.empty());
    std::map<int, std::string> rvaOfOrdinal;
    std::map<std::string, int> ordinalOfName;
    const std::regex addressLine(R"(\[\s*\d+\] \+base\[\s*(\d+)\] ([0-9a-f]+) Export RVA)");
    const std::regex nameLine(R"(^\s+\[\s*(\d+)\] (\w+)$)");
    std::smatch m;
    int base = 0;
    std::istringstream lines(dump);
    bool inNames = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("Ordinal Base") != std::string::npos)
            base = std::stoi(line.substr(line.find_last_of(" \t") + 1));
        if (std::regex_search(line, m, addressLine)) rvaOfOrdinal[std::stoi(m[1])] = m[2];
        if (line.find("[Ordinal/Name Pointer] Table") != std::string::npos) inNames = true;
        if (inNames && std::regex_match(line, m, nameLine))
            ordinalOfName[m[2]] = base + std::stoi(m[1]);
    }
    std::map<std::string, std::string> rvaOfEntry;
    size_t built = 0;
    for (const Name& n : Interface()) {
        if (!n.built) {
            EXPECT_EQ(ordinalOfName.count(n.name), 0u) << n.name;
            continue;
        }
        ++built;
        ASSERT_EQ(ordinalOfName.count(n.name), 1u) << n.name;
        EXPECT_EQ(ordinalOfName[n.name], n.ordinal) << n.name;
        const std::string rva = rvaOfOrdinal[n.ordinal];
        const auto [it, inserted] = rvaOfEntry.emplace(n.entry, rva);
        EXPECT_EQ(it->second, rva) << n.name << " shares " << n.entry;
        (void)inserted;
    }
    EXPECT_EQ(ordinalOfName.size(), built);

    // Nothing but the system's own libraries is needed.
    std::set<std::string> imports;
    const std::regex importLine(R"(DLL Name: (\S+))");
    for (auto it = std::sregex_iterator(dump.begin(), dump.end(), importLine);
         it != std::sregex_iterator(); ++it) {
        imports.insert((*it)[1]);
    }
    EXPECT_EQ(imports, (std::set<std::string>{"KERNEL32.dll", "msvcrt.dll"}));
}
#endif

}  // namespace
}  // namespace tarn
