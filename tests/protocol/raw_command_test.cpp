// mfAnyCommand: raw bytes to port 1, with its own log file when no session is open.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tarn/tarn.h"
#include "virtual_printer_test.h"

namespace tarn {
namespace {

class RawCommandTest : public test::VirtualPrinterTest {
protected:
    void SetUp() override {
        VirtualPrinterTest::SetUp();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previousDir_ = cwd;
        ASSERT_EQ(chdir(dir.Path().c_str()), 0);  // "tarnlog.txt" is made in the current directory
    }
    void TearDown() override {
        ASSERT_EQ(chdir(previousDir_.c_str()), 0);
        VirtualPrinterTest::TearDown();
    }
    std::string RawLog() const { return test::ReadFile(dir.File("tarnlog.txt")); }

    int Send(std::vector<uint8_t> bytes, int maximum, int timeoutMs = 500) {
        received.assign(1024, 0xEE);
        count = -5;
        return mfAnyCommand(static_cast<int>(bytes.size()), bytes.data(), maximum, received.data(),
                            &count, timeoutMs);
    }

    std::vector<uint8_t> received;
    int count = 0;

private:
    std::string previousDir_;
};

size_t Lines(const std::string& text) {
    size_t n = 0;
    for (const char c : text) n += c == '\n';
    return n;
}

TEST_F(RawCommandTest, WithoutASessionSendsTheBytesAsTheyAreAndLogsToItsOwnFile) {
    const std::string mainBefore = LogText();
    EXPECT_EQ(Send({0x1B, 0x66}, 3), 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ((std::vector<uint8_t>(received.begin(), received.begin() + 4)),
              (std::vector<uint8_t>{0x06, 0x00, 0x00, 0xEE}));
    EXPECT_EQ(platform->Writes().back().bytes, (std::vector<uint8_t>{0x1B, 0x66}));
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_EQ(LogText(), mainBefore);
    const std::string raw = RawLog();
    EXPECT_EQ(Lines(raw), 6u);
    EXPECT_NE(raw.find("***** LOG OPEN  TARN *****\n"), std::string::npos);
    EXPECT_NE(raw.find("In mfAnyCommand - new logger\n"), std::string::npos);
    EXPECT_NE(raw.find("In mfAnyCommand, Open, boolresult: 1\n"), std::string::npos);
    EXPECT_NE(raw.find("In mfAnyCommand, Send, result: 2\n"), std::string::npos);
    EXPECT_NE(raw.find("In mfAnyCommand, Receive, result: 3\n"), std::string::npos);
    EXPECT_NE(raw.find("***** LOG CLOSED *****\n"), std::string::npos);
    EXPECT_EQ(Lib().temporaryLogger, nullptr);
    EXPECT_FALSE(platform->PortOpen());
    EXPECT_EQ(Lib().printerType, 0);  // the session's state is not touched
}

TEST_F(RawCommandTest, WithASessionLogsToTheMainLogOnlyFailuresAndNonZeroCounts) {
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(Send({0x1B, 0x66}, 3), 0);
    const std::string log = LogText();
    EXPECT_EQ(log.find("new logger"), std::string::npos);
    EXPECT_EQ(log.find("boolresult"), std::string::npos);
    EXPECT_NE(log.find("In mfAnyCommand, Send, result: 2\n"), std::string::npos);
    EXPECT_NE(log.find("In mfAnyCommand, Receive, result: 3\n"), std::string::npos);
    EXPECT_EQ(RawLog(), "");
}

TEST_F(RawCommandTest, AShortAnswerComesBackAfterOneTimeOut) {
    const int64_t start = Now();
    EXPECT_EQ(Send({0x1B, 0x66}, 10, 700), 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(Now() - start, 700);
}

TEST_F(RawCommandTest, NothingToReadOrNothingReadIsNoFailure) {
    EXPECT_EQ(Send({0x1B, 0x66}, 0), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Send({}, 4), 0);
    EXPECT_EQ(count, 0);
    EXPECT_NE(RawLog().find("In mfAnyCommand, Receive, result: 0\n"), std::string::npos);
}

TEST_F(RawCommandTest, AnUnopenablePortIs514) {
    printer->SetUnplugged(true);
    EXPECT_EQ(Send({0x1B, 0x66}, 3), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_EQ(count, -5);
    EXPECT_NE(RawLog().find("In mfAnyCommand, Open, boolresult: 0\n"), std::string::npos);
    EXPECT_NE(RawLog().find("LOG CLOSED"), std::string::npos);
    EXPECT_EQ(Lib().temporaryLogger, nullptr);
}

TEST_F(RawCommandTest, FailedWritesAndReadsAre514AndLeaveThePortClosed) {
    platform->FailNextWrite();
    EXPECT_EQ(Send({0x1B, 0x66}, 3), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_NE(RawLog().find("In mfAnyCommand, Send, result: -1\n"), std::string::npos);
    platform->FailNextRead();
    EXPECT_EQ(Send({0x1B, 0x66}, 3), -2);
    EXPECT_NE(RawLog().find("In mfAnyCommand, Receive, result: -1\n"), std::string::npos);
    EXPECT_FALSE(platform->PortOpen());
}

struct RefusedCase {
    int sendCount;
    int timeoutMs;
};

TEST_F(RawCommandTest, RefusesCountsAndTimeOutsItCannotServeWithoutOpeningAnything) {
    const RefusedCase cases[] = {{-1, 500}, {1025, 500}, {2, 0}, {2, -1}};
    uint8_t bytes[2048] = {0x1B, 0x66};
    for (const RefusedCase& c : cases) {
        int got = -5;
        EXPECT_EQ(mfAnyCommand(c.sendCount, bytes, 4, bytes, &got, c.timeoutMs), -2);
        EXPECT_EQ(Lib().mfErrorL, 771);
        EXPECT_EQ(got, -5);
    }
    EXPECT_EQ(platform->Opens(), 0);
    EXPECT_EQ(RawLog(), "");
}

TEST_F(RawCommandTest, CutsTheReceiveMaximumAndTakesNullPointers) {
    EXPECT_EQ(Send({0x1B, 0x66}, 5000), 0);
    EXPECT_EQ(count, 3);
    uint8_t query[] = {0x1B, 0x66};
    EXPECT_EQ(mfAnyCommand(2, query, 3, nullptr, nullptr, 500), 0);
    EXPECT_EQ(mfAnyCommand(2, nullptr, 3, nullptr, nullptr, 500), 0);
}

}  // namespace
}  // namespace tarn
