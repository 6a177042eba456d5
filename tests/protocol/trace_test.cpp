// The wire trace: every block to and from the printer, when TARN_TRACE names a file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tarn/tarn.h"
#include "virtual_printer_test.h"

namespace tarn {
namespace {

class TraceTest : public test::VirtualPrinterTest {
protected:
    void TearDown() override {
        unsetenv("TARN_TRACE");
        VirtualPrinterTest::TearDown();
    }
    std::string Trace() const { return test::ReadFile(dir.File("trace.txt")); }
};

TEST_F(TraceTest, WritesEveryBlockWithItsDirectionAndPort) {
    setenv("TARN_TRACE", dir.File("trace.txt").c_str(), 1);
    ASSERT_EQ(mfStart(0, 1), 0);
    const std::string trace = Trace();
    EXPECT_EQ(trace.substr(0, 37), "2026.12.06 10:00:00.000 COM1 >> 1B FF");
    EXPECT_NE(trace.find("COM1 << 06\n"), std::string::npos);     // the acknowledge
    EXPECT_NE(trace.find("COM1 << 2C\n"), std::string::npos);     // family 44
    EXPECT_NE(trace.find("COM1 << 7C 02\n"), std::string::npos);  // type 8, version 2
    unsigned char query[] = {0x1B, 0x66};
    unsigned char answer[4];
    int got = 0;
    ASSERT_EQ(mfAnyCommand(2, query, 4, answer, &got, 300), 0);
    EXPECT_NE(Trace().find("COM1 << 06 00 00\n"), std::string::npos);
}

TEST_F(TraceTest, IsOffWithoutTheVariableAndNeverFailsACall) {
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(Trace(), "");
    mfStop();
    setenv("TARN_TRACE", dir.File("no/such/dir/trace.txt").c_str(), 1);
    EXPECT_EQ(mfStart(0, 1), 0);
}

}  // namespace
}  // namespace tarn
