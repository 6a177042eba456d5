// The Linux library and tools as built: relocations resolved at load and then read-only (full
// RELRO), stack canaries and, in optimised builds, the checked string and print functions.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "test_dir.h"

namespace tarn {
namespace {

TEST(Hardening, TheLibraryAndToolsAreBuiltHardened) {
    for (const std::string path : {TARN_SHARED_LIBRARY, TARN_CLI_BINARY, TARN_SIM_BINARY}) {
        SCOPED_TRACE(path);
        const std::string dynamic = test::CommandOutput("readelf -d -W '" + path + "'");
        EXPECT_TRUE(std::regex_search(dynamic, std::regex(R"(\(FLAGS\)\s+.*BIND_NOW)")));
        const std::string segments = test::CommandOutput("readelf -l -W '" + path + "'");
        EXPECT_NE(segments.find("GNU_RELRO"), std::string::npos);
        const std::string symbols = test::CommandOutput("readelf --dyn-syms -W '" + path + "'");
        EXPECT_NE(symbols.find(" __stack_chk_fail"), std::string::npos);
#ifdef TARN_FORTIFIED
        EXPECT_TRUE(std::regex_search(symbols, std::regex(R"(\b__\w+_chk\b)")));
#endif
    }
}

}  // namespace
}  // namespace tarn
