// Information queries, the names that answer a fixed result, and raw commands.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "exports.h"
#include "library_test.h"
#include "seam.h"

namespace tarn {
namespace {

using test::Esc;
using test::Frame;

class QueriesTest : public test::LibraryTest {};

TEST_F(QueriesTest, ReadTheClockCounterRatesAndSerialNumber) {
    sim::PrinterModel model;
    model.clock = {2026, 3, 9, 14, 59, 30};
    model.serialNumber = "ABC12345678";
    Load(model);
    ASSERT_EQ(mfStart(0, 1), 0);
    printer->State().receiptsToday = 300;
    printer->State().taxRates = {2300, 800, -1, 0, 500, -1};
    int v[12] = {};
    char serial[12] = {};
    EXPECT_EQ((std::vector<int>{
                  mfGetDate(&v[0], &v[1], &v[2]), mfGetTime(&v[3], &v[4]), mfGetLastTicketNo(&v[5]),
                  mfGetTax(&v[6], &v[7], &v[8], &v[9], &v[10], &v[11]), mfGetSerNo(serial)}),
              std::vector<int>(5, 0));
    EXPECT_EQ(std::vector<int>(v, v + 12),
              (std::vector<int>{26, 3, 9, 14, 59, 300, 2300, 800, -1, 0, 500, -1}));
    EXPECT_STREQ(serial, "ABC12345678");
}

TEST_F(QueriesTest, AShortAnswerFailsAndLeavesTheOutputsAlone) {
    // clang-format off
    const struct { const char* name; int (*query)(int* out); } rows[] = {
        {"mfGetTime", [](int* out) { return mfGetTime(out, out + 1); }},
        {"mfGetDate", [](int* out) { return mfGetDate(out, out + 1, out + 2); }},
        {"mfGetLastTicketNo", [](int* out) { return mfGetLastTicketNo(out); }},
        {"mfGetTax",
         [](int* out) { return mfGetTax(out, out + 1, out + 2, out + 3, out + 4, out + 5); }},
        {"mfGetSerNo", [](int* out) { return mfGetSerNo(reinterpret_cast<char*>(out)); }},
    };
    // clang-format on
    StartOn(8);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        int out[6] = {-7, -7, -7, -7, -7, -7};
        printer->AnswerShortNext(1);
        EXPECT_EQ(r.query(out), -2);
        EXPECT_EQ(mfError(), 514);
        EXPECT_EQ(std::vector<int>(out, out + 6), std::vector<int>(6, -7));
    }
    EXPECT_TRUE(Logged("In mfGetSerNo, result: -2"));
}

TEST_F(QueriesTest, TheClockIsNotReadInsideADocumentButTheCounterIs) {
    StartOn(8);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    Sent();
    int h = -1, m = -1, x = -1;
    EXPECT_EQ(mfGetTime(&h, &m), -2);
    EXPECT_EQ(mfError(), 779);
    EXPECT_EQ(mfGetDate(&h, &m, &x), -2);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(h, -1);
    EXPECT_EQ(mfGetLastTicketNo(&h), 0);
}

// Older printers get a pause after the clock (300 ms) and the counter (100 ms), beside the
// 800 ms after each acknowledge.
TEST_F(QueriesTest, OlderPrintersPauseAfterClockAndCounter) {
    for (const auto& [type, clockMs, counterMs] : {std::tuple{2, 1100, 900}, {4, 0, 0}}) {
        StartOn(type);
        int a = 0, b = 0;
        int64_t start = Now();
        mfGetTime(&a, &b);
        EXPECT_EQ(Now() - start, clockMs) << type;
        start = Now();
        mfGetLastTicketNo(&a);
        EXPECT_EQ(Now() - start, counterMs) << type;
    }
    // A frame longer than its head waits 800 ms after the head too: on type 3 a receipt's
    // percentage discount (ESC, 0x1B, the percent) and the status check after it add 2600 ms.
    StartOn(3);
    int64_t ms[2] = {};
    for (const int percent : {0, 1000}) {
        mfBeginTicket(-1);
        mfLineTicket(0, "Chleb", 'A', "szt", 500, 1000, 0);
        const int64_t start = Now();
        mfEndTicket(percent, 0, 0, 500, "Karta", 0, "", 0, "", 0, "", 0, "", "", "");
        ms[percent != 0] = Now() - start;
    }
    EXPECT_EQ(ms[1] - ms[0], 2600);
}

TEST_F(QueriesTest, VersionsAndFixedFacts) {
    int a = -1, b = -1;
    EXPECT_EQ(mfParLibVersion(&a, &b, 0), -1);
    EXPECT_EQ(mfGetVersion(&a, &b), -1);
    EXPECT_EQ(a, -1);
    StartOn(8);
    int build = -1, fiscal = 0, denomination = 0;
    EXPECT_EQ((std::vector<int>{mfParLibVersion(&a, &b, 0), mfParLibBuild(&build),
                                mfParFiscal(&fiscal), mfStatDenom(&denomination)}),
              std::vector<int>(4, 0));
    EXPECT_EQ((std::vector<int>{a, b, build, fiscal, denomination}),
              (std::vector<int>{1, 12, 6, 1, 1}));
}

// What each shared fixed-answer entry point answers with a session and without one; those
// with an output write 0 there, with a session only.
TEST_F(QueriesTest, EveryFixedAnswerNameAnswersWithAndWithoutASession) {
    const std::map<std::string, std::pair<int, int>> answers = {
        {"FixedSession0Args0", {0, -1}},       {"FixedSessionAbsentArgs0", {-3, -1}},
        {"FixedSessionAbsentArgs1", {-3, -1}}, {"FixedAbsentArgs0", {-3, -3}},
        {"FixedAlways1Args2", {1, 1}},         {"FixedAlways1Args12", {1, 1}},
        {"FixedAlways0Args0", {0, 0}},         {"FixedSessionZeroOut", {0, -1}},
    };
    for (const bool session : {false, true}) {
        if (session) StartOn(8);
        for (const test::Export& e : test::Exports()) {
            if (!e.fixedAnswer) continue;
            SCOPED_TRACE(e.name + (session ? " with a session" : " without one"));
            // Every FixedSession1ArgsN entry answers 1 with a session, -1 without.
            const bool one = e.entry.rfind("FixedSession1Args", 0) == 0;
            ASSERT_TRUE(one || answers.count(e.entry) == 1);
            const auto [with, without] = one ? std::make_pair(1, -1) : answers.at(e.entry);
            int outs[40];
            std::fill(outs, outs + 40, 7);
            EXPECT_EQ(e.call({0, "", outs}), session ? with : without);
            EXPECT_EQ(outs[0], e.entry == "FixedSessionZeroOut" && session ? 0 : 7);
            EXPECT_EQ(e.call({}), session ? with : without);  // null outputs
        }
        EXPECT_TRUE(Sent().empty());
    }
}

// mfAnyCommand: raw bytes to port 1, with a log file of its own when no session is open.
class RawCommandTest : public test::LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previousDir_ = cwd;
        ASSERT_EQ(chdir(dir.Path().c_str()), 0);  // "tarnlog.txt" is made in the current directory
    }
    void TearDown() override {
        ASSERT_EQ(chdir(previousDir_.c_str()), 0);
        LibraryTest::TearDown();
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

TEST_F(RawCommandTest, WithoutASessionSendsTheBytesAsTheyAreAndLogsToItsOwnFile) {
    const std::string mainLog = LogText();
    EXPECT_EQ(Send({0x1B, 0x66}, 3), 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(std::vector<uint8_t>(received.begin(), received.begin() + 4),
              (std::vector<uint8_t>{0x06, 0x00, 0x00, 0xEE}));
    EXPECT_EQ(Sent(), std::vector<Frame>{Esc("f")});
    EXPECT_EQ(LogText(), mainLog);
    const std::string raw = RawLog();
    for (const char* line :
         {"***** LOG OPEN  TARN *****", "In mfAnyCommand - new logger",
          "In mfAnyCommand, Open, boolresult: 1", "In mfAnyCommand, Send, result: 2",
          "In mfAnyCommand, Receive, result: 3", "***** LOG CLOSED *****"}) {
        EXPECT_NE(raw.find(std::string(line) + "\n"), std::string::npos) << line;
    }
    EXPECT_EQ(std::count(raw.begin(), raw.end(), '\n'), 6);
    EXPECT_FALSE(platform->PortOpen());
    const LineSettings& s = platform->LastSettings();
    EXPECT_EQ(std::vector<int>({s.baudRate, s.dataBits, s.parity, s.stopBits, s.timeoutMs}),
              std::vector<int>({9600, 8, 2, 0, 500}));
    EXPECT_EQ(mfError(), -1);  // no session was opened
}

TEST_F(RawCommandTest, WithASessionLogsToTheMainLogOnlyFailuresAndCounts) {
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(Send({0x1B, 0x66}, 3), 0);
    EXPECT_EQ(LogText().find("boolresult"), std::string::npos);
    EXPECT_TRUE(Logged("In mfAnyCommand, Send, result: 2"));
    EXPECT_TRUE(Logged("In mfAnyCommand, Receive, result: 3"));
    EXPECT_EQ(RawLog(), "");
}

TEST_F(RawCommandTest, ShortNoneOrTooMuchToReadIsNoFailure) {
    // clang-format off
    const struct { std::vector<uint8_t> bytes; int maximum, timeoutMs, count; int64_t ms; }
        rows[] = {
        {{0x1B, 0x66}, 10, 700, 3, 700}, {{0x1B, 0x66}, 5000, 500, 3, 500},
        {{0x1B, 0x66}, 0, 500, 0, 0}, {{0x1B, 0x66}, -1, 500, 0, 0}, {{}, 4, 500, 0, 500}};
    // clang-format on
    for (const auto& r : rows) {
        const int64_t start = Now();
        EXPECT_EQ(Send(r.bytes, r.maximum, r.timeoutMs), 0);
        EXPECT_EQ(count, r.count);
        EXPECT_EQ(Now() - start, r.ms);
    }
    EXPECT_NE(RawLog().find("In mfAnyCommand, Receive, result: 0\n"), std::string::npos);
    uint8_t query[] = {0x1B, 0x66};
    EXPECT_EQ(mfAnyCommand(2, query, 3, nullptr, nullptr, 500), 0);
    EXPECT_EQ(mfAnyCommand(2, nullptr, 3, nullptr, nullptr, 500), 0);
}

TEST_F(RawCommandTest, FailuresAre514AndRefusalsOpenNothing) {
    printer->SetUnplugged(true);
    EXPECT_EQ(Send({0x1B, 0x66}, 3), -2);
    EXPECT_EQ(test::seam::DetailCode(), 514);
    EXPECT_EQ(count, -5);
    printer->SetUnplugged(false);
    platform->FailNextWrite();
    EXPECT_EQ(Send({0x1B, 0x66}, 3), -2);
    platform->FailNextRead();
    EXPECT_EQ(Send({0x1B, 0x66}, 3), -2);
    for (const char* line : {"Open, boolresult: 0", "Send, result: -1", "Receive, result: -1"})
        EXPECT_NE(RawLog().find(std::string("In mfAnyCommand, ") + line), std::string::npos);
    EXPECT_FALSE(platform->PortOpen());
    const int opens = platform->Opens();
    uint8_t bytes[2048] = {0x1B, 0x66};
    for (const auto& [sendCount, timeoutMs] : {std::pair{-1, 500}, {1025, 500}, {2, 0}, {2, -1}}) {
        int got = -5;
        EXPECT_EQ(mfAnyCommand(sendCount, bytes, 4, bytes, &got, timeoutMs), -2);
        EXPECT_EQ(test::seam::DetailCode(), 771);
        EXPECT_EQ(got, -5);
    }
    EXPECT_EQ(platform->Opens(), opens);
    EXPECT_EQ(mfAnyCommand(1024, bytes, 4, bytes, nullptr, 500), 0);  // the most it sends
}

}  // namespace
}  // namespace tarn
