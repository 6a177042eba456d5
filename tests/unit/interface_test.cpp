// The exported interface against its list: the module definition file and the public header
// the build wrote from it, the shared library's exports and, when it was built, TARN.dll's
// export table.
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
#include "windows_dll.h"

namespace tarn {
namespace {

struct Name {
    std::string name;
    int ordinal;
    int args;  // as the public header declares the name
    std::string entry;
};

template <typename... Params>
int ArgumentCount(int(TARN_API*)(Params...)) {
    return sizeof...(Params);
}

std::vector<Name> Interface() {
    std::vector<Name> names;
#define TARN_LIST_ROW(name, ordinal, entry, kind, params) \
    names.push_back({#name, ordinal, ArgumentCount(&(name)), #entry});
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

// In the file at `path`, each name has one line that `pattern` matches (group 1 the
// name, group 2 the rest) and whose rest is `expected(name)`; no other name has one.
void ExpectOneLinePerName(const char* path, const std::regex& pattern,
                          std::string (*expected)(const Name&)) {
    std::ifstream file(path);
    ASSERT_TRUE(file.good()) << path;
    std::map<std::string, std::vector<std::string>> found;
    for (std::string line; std::getline(file, line);) {
        std::smatch m;
        if (std::regex_match(line, m, pattern)) found[m[1]].push_back(m[2]);
    }
    for (const Name& n : Interface()) {
        EXPECT_EQ(found[n.name], std::vector<std::string>{expected(n)}) << n.name;
        found.erase(n.name);
    }
    for (const auto& extra : found) ADD_FAILURE() << path << " has a line for " << extra.first;
}

// "name = entry@bytes @ordinal".
TEST(InterfaceList, TheModuleDefinitionFileExportsExactlyTheListedNames) {
    ExpectOneLinePerName(
        TARN_DEF_FILE, std::regex(R"(^\s+(\w+) = (\w+@\d+ @\d+)\s*$)"), [](const Name& n) {
            return n.entry + "@" + std::to_string(4 * n.args) + " @" + std::to_string(n.ordinal);
        });
}

// The reference's heading of each name: "### name — ordinal N, M arguments".
TEST(InterfaceList, TheReferenceHasOneHeadingForEachName) {
    ExpectOneLinePerName(
        TARN_SOURCE_DIR "/docs/reference.md",
        std::regex(R"(^#{3,4} (mf\w+) — (ordinal \d+, \d+ arguments?)\s*$)"), [](const Name& n) {
            return "ordinal " + std::to_string(n.ordinal) + ", " + std::to_string(n.args) +
                   (n.args == 1 ? " argument" : " arguments");
        });
}

TEST(SharedLibrary, ExportsTheListedNamesAndNothingElse) {
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
    for (const Name& n : Interface()) expected.insert(n.name);
    EXPECT_EQ(exported, expected);
}

std::vector<test::ExportRow> ListedExports() {
    std::vector<test::ExportRow> rows;
    for (const Name& n : Interface()) rows.push_back({n.name, n.ordinal, n.args, n.entry});
    return rows;
}

// Each TARN.dll read from its file: the export table against the list, and from the code, each
// function's return. A 32-bit stdcall function takes its arguments off the stack (4 bytes
// each); a caller whose count differs is left with a wrong stack. An x64 function pops none.
struct WindowsBuild {
    const char* target;
    const char* path;
    int stackBytesPerArg;
    std::set<std::string> flags;
};

const std::vector<WindowsBuild> kWindowsBuilds = {
#ifdef TARN_WINDOWS_DLL
    {"i686", TARN_WINDOWS_DLL, 4, {"DYNAMIC_BASE", "NX_COMPAT"}},
#endif
#ifdef TARN_WINDOWS64_DLL
    {"x86_64", TARN_WINDOWS64_DLL, 0, {"DYNAMIC_BASE", "NX_COMPAT", "HIGH_ENTROPY_VA"}},
#endif
};

TEST(WindowsLibrary, EachBuildMatchesTheListInItsExportsAndItsCode) {
    if (kWindowsBuilds.empty()) GTEST_SKIP() << "this build was given no Windows build";
    for (const WindowsBuild& build : kWindowsBuilds) {
        SCOPED_TRACE(build.path);
        const test::WindowsDll dll = test::DumpWindowsDll(build.target, build.path);
        ASSERT_FALSE(dll.returnPops.empty());
        EXPECT_EQ(test::ExportProblems(dll, ListedExports(), build.stackBytesPerArg),
                  std::vector<std::string>{});
        for (const std::string& flag : build.flags) EXPECT_EQ(dll.flags.count(flag), 1u) << flag;
        // Nothing but the system's own libraries is needed (Winsock for a printer on TCP).
        EXPECT_EQ(dll.imports, (std::set<std::string>{"KERNEL32.dll", "msvcrt.dll", "WS2_32.dll"}));
    }
}

}  // namespace
}  // namespace tarn
