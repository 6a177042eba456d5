// The session and the printer link through the interface: identification, the start's
// recovery, the frame exchange (two-step send, settling waits, refusals and their detail codes,
// time-outs, the port's life), waiting for a busy printer, and the session's end.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "library_test.h"
#include "roll.h"
#include "seam.h"

namespace tarn {
namespace {

using test::Esc;
using test::Frame;

class SessionTest : public test::LibraryTest {
protected:
    int Counter() {
        int number = -7;
        return mfGetLastTicketNo(&number);
    }
};

// What each printer says of itself, and what the library makes of it: the version it reports,
// the questions it asks at the start, the reports by number (from type 4), the extended lines
// (from type 8) and the settling wait of the older printers.
TEST_F(SessionTest, IdentifiesEveryPrinterType) {
    // A refused 0xF6 is followed by the refusal's four status queries, then status byte 0 is
    // read for the type and again for the version.
    const std::vector<Frame> refusedF6{Esc("\xFF"), Esc("\xF6"), Esc("["), Esc("T"),
                                       Esc("U"),    Esc("V"),    Esc("["), Esc("[")};
    const struct {
        int type, version;
        std::vector<Frame> identification;
        int libraryVersion, nrReport, extendedLines;
        bool settles;
    } rows[] = {
        // clang-format off
        {1, 5, {Esc("\xFF"), Esc("[")}, 5, -3, -3, true},
        {2, 6, {Esc("\xFF"), Esc("[")}, 6, -3, -3, true},
        {3, 7, refusedF6, 1, -3, -3, true},
        // A type-4 printer whose version is 1 cannot be told from type 3.
        {4, 1, refusedF6, 1, -3, -3, true},
        {4, 0, refusedF6, 0, 0, -3, false},
        {4, 2, refusedF6, 2, 0, -3, false},
        {8, 3, {Esc("\xFF"), Esc("\xF6")}, 3, 0, 0, false},
        {10, 4, {Esc("\xFF"), Esc("\xF6"), Esc("[")}, 4, 0, 0, false},
        // clang-format on
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.type << "." << r.version);
        Load(test::Model(r.type, r.version));
        ASSERT_EQ(mfStart(0, 1), 0);
        std::vector<Frame> frames = Sent();
        frames.resize(r.identification.size());
        EXPECT_EQ(frames, r.identification);
        int version = -1, second = -1;
        EXPECT_EQ(mfGetVersion(&version, &second), 0);
        EXPECT_EQ(version, r.libraryVersion);
        EXPECT_EQ(second, 0);
        EXPECT_EQ(mfParNrReport(), r.nrReport);
        EXPECT_EQ(mfParLineTicketExt(), r.extendedLines);
        const int64_t before = Now();
        int mode = 0;
        EXPECT_EQ(mfStatMode(&mode), 0);
        EXPECT_EQ(Now() - before, r.settles ? 800 : 0);
    }
}

TEST_F(SessionTest, StartsThroughItsSequenceAndLogsIt) {
    mfSetDebugLevel(9);
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(Sent(), (std::vector<Frame>{Esc("\xFF"), Esc("\xF6"), Esc("f"), Esc("*"), Esc("T"),
                                          Esc("T"), Esc("V")}));
    EXPECT_TRUE(Logged("In mfStart, port: 1"));
    EXPECT_TRUE(Logged("In mfStart, PrinterType: 8, Version: 2, Result: 0"));
    EXPECT_TRUE(Logged("In mfStart MF_OK"));
}

// An unknown family leaves the type unknown: no 0xF6, and the wait after every acknowledge.
TEST_F(SessionTest, AnUnknownFamilyStartsWithTheWaitsOfAnOlderPrinter) {
    printer->AnswerGarbageNext({99});
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(Of(Sent(), '\xF6').size(), 0u);
    EXPECT_GE(Now(), 800 * 5);
}

TEST_F(SessionTest, TheStartEndsWhatThePrinterHoldsAndClosesTheDay) {
    printer->State().receiptOpen = true;
    printer->State().dayMustClose = true;
    printer->State().receiptsToday = 3;
    ASSERT_EQ(mfStart(0, 1), 0);
    const std::vector<Frame> frames = Sent();
    EXPECT_TRUE(test::InOrder(frames, {Esc("Q"), Esc("#"), Esc("%")}));
    EXPECT_FALSE(printer->ReceiptOpen());
    EXPECT_EQ(printer->State().receiptsToday, 0);
    const std::string roll = printer->Roll().AsUtf8();
    EXPECT_NE(roll.find("PARAGON ANULOWANY"), std::string::npos);
    EXPECT_NE(roll.find("RAPORT DOBOWY"), std::string::npos);
}

TEST_F(SessionTest, AStartThatFailsLeavesTheSessionClosed) {
    const struct {
        const char* what;
        void (*fault)(sim::VirtualPrinter&);
        int port, code;
        const char* logged;
    } rows[] = {
        {"a document the printer keeps", [](sim::VirtualPrinter& p) { p.State().faultBits[1] = 2; },
         1, 769, ""},
        {"an unplugged cable", [](sim::VirtualPrinter& p) { p.SetUnplugged(true); }, 1, 514,
         "SerialPort: CAN NOT open port"},
        {"no printer on the port", [](sim::VirtualPrinter&) {}, 2, 514, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        Load();
        r.fault(*printer);
        EXPECT_EQ(mfStart(0, r.port), -2);
        EXPECT_EQ(test::seam::DetailCode(), r.code);
        EXPECT_TRUE(Logged(r.logged));
        EXPECT_EQ(mfError(), -1);  // no session
        EXPECT_EQ(platform->Opens(), platform->Closes());
    }
}

TEST_F(SessionTest, StartAgainStart2AndStart3) {
    ASSERT_EQ(mfStart(0, 1), 0);
    Sent();
    EXPECT_EQ(mfStart(0, 1), -1);  // a session is open: nothing is sent
    EXPECT_TRUE(Sent().empty());
    Load();
    EXPECT_EQ(mfStart2(0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), -2);
    EXPECT_EQ(mfStart2(0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 0);
    Load();
    EXPECT_EQ(mfStart3(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 1);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(mfError(), -1);
}

TEST_F(SessionTest, StopClosesTheLogAndDocumentsOutliveTheSession) {
    StartOn(8);
    mfSetDebugLevel(9);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    EXPECT_EQ(mfStop(), 0);
    EXPECT_EQ(mfStop(), 0);
    const std::string log = LogText();
    EXPECT_TRUE(Logged("In mfStop"));
    EXPECT_EQ(log.substr(log.size() - 23), "***** LOG CLOSED *****\n");
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(LogText(), log);  // nothing more is written
    int open = 0;
    EXPECT_EQ(mfStatDocument(&open), 0);
    EXPECT_EQ(open, 1);
}

// Every exchange: the head, then on printers below type 4 800 ms before and after the
// acknowledge, then the rest; a frame of two bytes goes in one piece.
TEST_F(SessionTest, SendsTheHeadThenTheRestWithSettlingWaitsByType) {
    for (const int type : {2, 3, 4, 8}) {
        SCOPED_TRACE(type);
        StartOn(type);
        platform->ClearWrites();
        const int64_t start = Now();
        ASSERT_EQ(mfDefPOS(1, 2, ""), 0);  // ESC 'C' and four digits
        const auto& writes = platform->Writes();
        ASSERT_GE(writes.size(), 2u);
        EXPECT_EQ(writes[0].bytes, (std::vector<uint8_t>{0x1B, 'C'}));
        EXPECT_EQ(writes[1].bytes, (std::vector<uint8_t>{'0', '1', '0', '2'}));
        EXPECT_EQ(writes[1].atMs - start, type < 4 ? 1600 : 0);
        platform->ClearWrites();
        int mode = 0;
        ASSERT_EQ(mfStatMode(&mode), 0);
        EXPECT_EQ(writes.size(), 1u);
        EXPECT_EQ(writes[0].bytes, (std::vector<uint8_t>{0x1B, '['}));
        const LineSettings& s = platform->LastSettings();
        EXPECT_EQ(std::vector<int>({s.baudRate, s.dataBits, s.parity, s.stopBits, s.rtsControl,
                                    s.dtrControl, s.timeoutMs}),
                  std::vector<int>({9600, 8, 2, 0, 0, 0, 30000}));
    }
}

// A refusal: the four status bytes are read, each in an exchange of its own, and the first
// rule that holds names the cause.
TEST_F(SessionTest, ARefusalIsNamedByTheStatusBytes) {
    const struct {
        std::array<uint8_t, 4> status;
        int code;
    } rows[] = {
        // clang-format off
        {{0x02, 0, 0, 0}, 259}, {{0x01, 0, 0, 0}, 518}, {{0x07, 0, 0, 0}, 518},
        {{3, 0x01, 0, 0}, 518}, {{3, 0x02, 0, 0}, 769}, {{3, 0x08, 0, 0}, 777},
        {{3, 0x10, 0, 0}, 518}, {{3, 0x20, 0, 0}, 773}, {{3, 0x40, 0, 0}, 513},
        {{3, 0x80, 0, 0}, 514}, {{3, 0, 0x01, 0}, 769}, {{3, 0, 0x02, 0}, 784},
        {{3, 0, 0x04, 0}, 257}, {{3, 0, 0x08, 0}, 515}, {{3, 0, 0x10, 0}, 769},
        {{3, 0, 0x40, 0}, 784}, {{3, 0, 0x80, 0}, 257}, {{3, 0, 0, 0x80}, 257},
        {{3, 0, 0, 0}, 514}, {{3, 0x04, 0x20, 0x7F}, 514}, {{0xF3, 0, 0, 0}, 514},
        // The earlier rule wins.
        {{0, 0xFF, 0xFF, 0xFF}, 259}, {{3, 0x0A, 0, 0}, 769}, {{3, 0x80, 0x02, 0}, 514},
        {{3, 0, 0x44, 0}, 257},
        // clang-format on
    };
    StartOn(8);
    for (const auto& r : rows) {
        printer->RefuseNext(r.status);
        EXPECT_EQ(Counter(), -2);
        EXPECT_EQ(mfError(), r.code) << std::hex << int(r.status[0]) << " " << int(r.status[1])
                                     << " " << int(r.status[2]) << " " << int(r.status[3]);
        EXPECT_EQ(Sent(), (std::vector<Frame>{Esc("f"), Esc("["), Esc("T"), Esc("U"), Esc("V")}));
        EXPECT_FALSE(platform->PortOpen());
    }
}

// How an exchange fails: the detail code, the time it took, and the port closed after it.
TEST_F(SessionTest, FailedExchangesAre514AndLeaveThePortClosed) {
    const struct {
        const char* what;
        void (*fault)(sim::VirtualPrinter&, sim::VirtualPlatform&);
        int code;
        int64_t ms;
        bool answerRead;
    } rows[] = {
        {"no acknowledge", [](sim::VirtualPrinter& p, sim::VirtualPlatform&) { p.SetSilent(true); },
         514, 30000, false},
        {"an answer one byte short",
         [](sim::VirtualPrinter& p, sim::VirtualPlatform&) { p.AnswerShortNext(2); }, 514, 30000,
         false},
        {"a failed write", [](sim::VirtualPrinter&, sim::VirtualPlatform& p) { p.FailNextWrite(); },
         514, 0, false},
        {"a failed read", [](sim::VirtualPrinter&, sim::VirtualPlatform& p) { p.FailNextRead(); },
         514, 0, false},
        {"a failed close", [](sim::VirtualPrinter&, sim::VirtualPlatform& p) { p.FailNextClose(); },
         514, 0, true},
        // The status queries after the refusal go unanswered: each byte counts as 0.
        {"a refusal, then silence",
         [](sim::VirtualPrinter& p, sim::VirtualPlatform&) { p.RefuseNextThenFallSilent(); }, 259,
         4 * 30000, false},
        // Status queries refused in their turn are not asked about again.
        {"everything refused",
         [](sim::VirtualPrinter& p, sim::VirtualPlatform&) { p.RefuseEverything(true); }, 259, 0,
         false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        StartOn(8);
        r.fault(*printer, *platform);
        int hour = -7, minute = -7;
        const int64_t start = Now();
        EXPECT_EQ(mfGetTime(&hour, &minute), -2);
        EXPECT_EQ(mfError(), r.code);
        EXPECT_EQ(Now() - start, r.ms);
        EXPECT_EQ(hour != -7, r.answerRead);
        EXPECT_FALSE(platform->PortOpen());
        EXPECT_EQ(platform->Opens(), platform->Closes());
        EXPECT_LE(Sent().size(), 5u);
    }
}

TEST_F(SessionTest, AnyAcknowledgeButNakLetsTheExchangeGoOn) {
    StartOn(8);
    printer->AcknowledgeNextWith('C', 0x00);
    platform->ClearWrites();
    EXPECT_EQ(mfDefPOS(1, 2, ""), 0);
    EXPECT_EQ(platform->Writes().size(), 2u);  // the rest went out
}

// After a command that prints, the library polls status byte 2 every 100 ms while the printer
// is busy, up to its limit (30 s for the state printout): a printer that stays busy is no error.
TEST_F(SessionTest, WaitsWhileThePrinterIsBusy) {
    const struct {
        int64_t busyUntil;
        size_t polls;
        int64_t ms;
        int result, code;
    } rows[] = {{0, 1, 200, 0, 0}, {1450, 15, 1600, 0, 0}, {1000000, 301, 30200, 0, 0}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.busyUntil);
        sim::PrinterModel instant;  // printing takes no time: only the fault keeps it busy
        instant.printMsPerLine = 0;
        Load(instant);
        ASSERT_EQ(mfStart(0, 1), 0);
        Sent();
        printer->StayBusyUntil(Now() + r.busyUntil);
        const int64_t start = Now();
        const int64_t slept = platform->SleptMs();
        EXPECT_EQ(mfPrState(), r.result);
        EXPECT_EQ(mfError(), r.code);
        EXPECT_EQ(Of(Sent(), 'U').size(), r.polls);
        EXPECT_EQ(Now() - start, r.ms);
        EXPECT_EQ(platform->SleptMs() - slept, r.ms);  // it sleeps, it does not spin
    }
}

}  // namespace
}  // namespace tarn
