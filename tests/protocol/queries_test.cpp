// Information queries, the names that answer a fixed result, and raw commands.
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "exports.h"
#include "library_test.h"
#include "seam.h"

namespace tarn::test {
namespace {

// The library as loaded, run in the test's directory; mfAnyCommand sends raw bytes to port 1.
class QueriesTest : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        std::filesystem::current_path(dir.Path());  // where "tarnlog.txt" is made
        bytes.resize(2048);
    }
    void TearDown() override {
        std::filesystem::current_path(previousDir_);
        LibraryTest::TearDown();
    }
    std::string RawLog() const { return ReadFile(dir.File("tarnlog.txt")); }
    // Sends the first `sendCount` of `bytes`: the status query 0x1B 0x66, then zeros.
    int Send(int sendCount, int maximum, int timeoutMs = 500) {
        received.assign(1024, 0xEE);
        count = -5;
        return mfAnyCommand(sendCount, bytes.data(), maximum, received.data(), &count, timeoutMs);
    }

    std::vector<uint8_t> bytes = std::vector<uint8_t>{0x1B, 0x66};
    std::vector<uint8_t> received;
    int count = 0;
    const std::filesystem::path previousDir_ = std::filesystem::current_path();
};

// Each query's answer and the time it takes on an older printer: 800 ms after the acknowledge,
// and a pause after the clock (300 ms) and the counter (100 ms), none from type 4. A short
// answer fails and leaves the outputs alone, and so does one no printer gives (a web server's
// "HTTP/1.1 400" for a serial number or a rate of 215,88 %); inside a document only the counter
// is read.
TEST_F(QueriesTest, TheClockCounterRatesAndSerialNumber) {
    // clang-format off
    const struct { const char* name; int (*query)(int* out); std::vector<int> answer; int64_t ms;
                   std::vector<uint8_t> impossible; } rows[] = {
        {"mfGetTime", [](int* o) { return mfGetTime(o, o + 1); }, {14, 59}, 1100, {}},
        {"mfGetDate", [](int* o) { return mfGetDate(o, o + 1, o + 2); }, {26, 3, 9}, 1100, {}},
        {"mfGetLastTicketNo", [](int* o) { return mfGetLastTicketNo(o); }, {300}, 900, {}},
        {"mfGetTax", [](int* o) { return mfGetTax(o, o + 1, o + 2, o + 3, o + 4, o + 5); },
         {2300, 800, -1, 0, 500, -1}, 800, {0x08, 0xFC, 0x54, 0x54, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"mfGetSerNo", [](int* o) { return mfGetSerNo(reinterpret_cast<char*>(o)); }, {}, 800,
         {'T', 'T', 'P', '/', '1', '.', '1', ' ', '4', '0', '0'}},
        {"mfGetSerNo, its first byte no letter", [](int* o) {
             return mfGetSerNo(reinterpret_cast<char*>(o)); }, {}, 800,
         {' ', 'B', 'C', '1', '2', '3', '4', '5', '6', '7', '8'}},
    };
    // clang-format on
    int out[6];
    for (const int type : {4, 2}) {
        sim::PrinterModel model = Model(type);
        model.clock = {2026, 3, 9, 14, 59, 30};
        model.serialNumber = "ABC12345678";
        Load(model);
        ASSERT_EQ(mfStart(0, 1), 0);
        printer->State().receiptsToday = 300;
        printer->State().taxRates = {2300, 800, -1, 0, 500, -1};
        for (const auto& r : rows) {
            SCOPED_TRACE(testing::Message() << r.name << " on type " << type);
            const int64_t start = Now();
            EXPECT_EQ(r.query(out), 0);
            EXPECT_EQ(Now() - start, type == 4 ? 0 : r.ms);
            EXPECT_EQ(std::vector<int>(out, out + r.answer.size()), r.answer);
            if (r.answer.empty()) {
                EXPECT_STREQ(reinterpret_cast<char*>(out), "ABC12345678");
            }
            std::fill(out, out + 6, -7);
            printer->AnswerShortNext(1);
            EXPECT_EQ(Coded(r.query(out)), Outcome(-2, 514));
            if (!r.impossible.empty()) {
                printer->AnswerGarbageNext(r.impossible);
                EXPECT_EQ(Coded(r.query(out)), Outcome(-2, 514));
            }
            EXPECT_EQ(std::vector<int>(out, out + 6), std::vector<int>(6, -7));
        }
    }
    ASSERT_EQ(mfBeginTicket(-1), 0);
    Sent();
    EXPECT_EQ(Coded(mfGetTime(out, out + 1)), Outcome(-2, 779));
    EXPECT_EQ(Coded(mfGetDate(out, out + 1, out + 2)), Outcome(-2, 779));
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(out[0], -7);
    EXPECT_EQ(mfGetLastTicketNo(out), 0);
}

// What each shared fixed-answer entry point answers with a session and without one (those with
// an output write 0 there, with a session only); the versions and fixed facts.
TEST_F(QueriesTest, EveryFixedAnswerNameAnswersWithAndWithoutASession) {
    const std::map<std::string, std::pair<int, int>> answers = {
        {"FixedSession0Args0", {0, -1}},       {"FixedSessionAbsentArgs0", {-3, -1}},
        {"FixedSessionAbsentArgs1", {-3, -1}}, {"FixedAbsentArgs0", {-3, -3}},
        {"FixedAlways1Args2", {1, 1}},         {"FixedAlways1Args12", {1, 1}},
        {"FixedAlways0Args0", {0, 0}},         {"FixedSessionZeroOut", {0, -1}},
    };
    for (const bool session : {false, true}) {
        if (session) StartOn(8);
        for (const Export& e : Exports()) {
            if (!e.fixedAnswer) continue;
            SCOPED_TRACE(e.name + (session ? " with a session" : " without one"));
            // Every FixedSession1ArgsN entry answers 1 with a session, -1 without.
            const bool one = e.entry.rfind("FixedSession1Args", 0) == 0;
            ASSERT_TRUE(one || answers.count(e.entry) == 1);
            const auto [with, without] = one ? std::make_pair(1, -1) : answers.at(e.entry);
            std::vector<int> outs(40, 7);
            EXPECT_EQ(e.call({0, "", outs.data()}), session ? with : without);
            EXPECT_EQ(outs[0], e.entry == "FixedSessionZeroOut" && session ? 0 : 7);
            EXPECT_EQ(e.call({}), session ? with : without);  // null outputs
        }
        EXPECT_TRUE(Sent().empty());
    }
    int v[5] = {};
    EXPECT_EQ((std::vector<int>{mfParLibVersion(&v[0], &v[1], 0), mfParLibBuild(&v[2]),
                                mfParFiscal(&v[3]), mfStatDenom(&v[4])}),
              std::vector<int>(4, 0));
    EXPECT_EQ(std::vector<int>(v, v + 5), (std::vector<int>{1, 12, 6, 1, 1}));
}

// Without a session every line goes to a log of its own; with one the failures and counts go to
// the main log. It reads up to the maximum given (at most 1024) until the line stays quiet for the
// time-out, however long the answer takes; what it refuses (771) opens nothing; a port that
// fails is 514.
TEST_F(QueriesTest, RawCommandsSendTheBytesAsTheyAreReadWhatComesAndLogWhereTheSessionSays) {
    const std::string mainLog = LogText();
    EXPECT_EQ(Send(2, 3), 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(std::vector<uint8_t>(received.begin(), received.begin() + 4),
              (std::vector<uint8_t>{0x06, 0x00, 0x00, 0xEE}));
    EXPECT_EQ(Sent(), std::vector<Frame>{Esc("f")});
    EXPECT_EQ(LogText(), mainLog);
    std::string raw;
    for (const char* line :
         {"***** LOG OPEN  TARN *****", "In mfAnyCommand - new logger",
          "In mfAnyCommand, Open, boolresult: 1", "In mfAnyCommand, Send, result: 2",
          "In mfAnyCommand, Receive, result: 3", "***** LOG CLOSED *****"})
        raw += std::string("2026.12.06 10:00:00 ") + line + "\n";
    EXPECT_EQ(RawLog(), raw);
    const LineSettings& s = platform->LastSettings();
    EXPECT_EQ(std::vector<int>({s.baudRate, s.dataBits, s.parity, s.stopBits, s.timeoutMs}),
              std::vector<int>({9600, 8, 2, 0, 500}));
    EXPECT_EQ(mfError(), -1);  // no session was opened
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(Send(2, 3), 0);
    EXPECT_EQ(LogText().find("boolresult"), std::string::npos);
    for (const char* line : {"Send, result: 2", "Receive, result: 3"})
        EXPECT_TRUE(Logged(std::string("In mfAnyCommand, ") + line));
    EXPECT_EQ(RawLog(), raw);
    mfStop();
    // clang-format off
    const struct { int sendCount, maximum, timeoutMs, code, count; int64_t ms; int dripMs = 0; }
        rows[] = {
        {2, 10, 700, 0, 3, 700}, {2, 5000, 500, 0, 3, 500}, {2, 0, 500, 0, 0, 0},
        {2, 1024, 100, 0, 301, 700, 2}, {2, 200, 100, 0, 200, 398, 2},  // 300 bytes, 2 ms a byte
        {2, -1, 500, 0, 0, 0}, {0, 4, 500, 0, 0, 500}, {1024, 4, 500, 0, 3, 500},
        {-1, 4, 500, 771, -5, 0}, {1025, 4, 500, 771, -5, 0}, {2, 4, 0, 771, -5, 0},
        {2, 4, -1, 771, -5, 0},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.sendCount << " " << r.maximum << " " << r.timeoutMs);
        const int64_t start = Now();
        const int opens = platform->Opens();
        if (r.dripMs != 0) {
            printer->AnswerGarbageNext(std::vector<uint8_t>(300, 0x55));
            printer->DripNextAnswer(r.dripMs);
        }
        EXPECT_EQ(Send(r.sendCount, r.maximum, r.timeoutMs), r.code ? -2 : 0);
        EXPECT_EQ(seam::DetailCode(), r.code);
        EXPECT_EQ(count, r.count);
        EXPECT_EQ(Now() - start, r.ms);
        EXPECT_EQ(platform->Opens() - opens, r.code ? 0 : 1);
        platform->SleepMs(r.dripMs * 300);  // the rest of a dripped answer, past the maximum
    }
    EXPECT_NE(RawLog().find("In mfAnyCommand, Receive, result: 0\n"), std::string::npos);
    EXPECT_EQ(mfAnyCommand(2, nullptr, 3, nullptr, nullptr, 500), 0);
    printer->SetUnplugged(true);
    EXPECT_EQ(Send(2, 3), -2);
    EXPECT_EQ(seam::DetailCode(), 514);
    EXPECT_EQ(count, -5);
    printer->SetUnplugged(false);
    platform->FailNextWrite();
    EXPECT_EQ(Send(2, 3), -2);
    platform->FailNextRead();
    EXPECT_EQ(Send(2, 3), -2);
    for (const char* line : {"Open, boolresult: 0", "Send, result: -1", "Receive, result: -1"})
        EXPECT_NE(RawLog().find(std::string("In mfAnyCommand, ") + line), std::string::npos);
    EXPECT_EQ(platform->Opens(), platform->Closes());  // every port it opened, closed
}

}  // namespace
}  // namespace tarn::test
