// The session and the printer link through the interface: identification, the start's recovery,
// the exchange's pace, refusals, failures and busy waits, and the session's end.
#include <array>
#include <string>
#include <vector>

#include "library_test.h"
#include "roll.h"
#include "seam.h"

namespace tarn::test {
namespace {

using Bytes = std::vector<uint8_t>;

class SessionTest : public LibraryTest {};

// What each printer says of itself and what the library makes of it: the frames of its start,
// the version, reports by number (from type 4), extended lines (from type 8); a frame of two
// bytes goes in one piece, a longer one as its head, the acknowledge, then the rest, the older
// printers settling 800 ms after the head and after the acknowledge.
TEST_F(SessionTest, IdentifiesEveryPrinterTypeAndWritesToItsPace) {
    // A refused 0xF6, the refusal's four status queries, status byte 0 for the type and again for
    // the version.
    std::vector<Frame> refusedF6;
    for (const char c : std::string("\xFF\xF6[TUV[[")) refusedF6.push_back(Esc(std::string(1, c)));
    // The version mfGetVersion tells, mfParNrReport, mfParLineTicketExt, the time from ESC '['
    // (its acknowledge waited for) to the head of ESC 'C', and from that head to its rest.
    // clang-format off
    const struct { int type, version, found; std::vector<Frame> identification;
                   std::vector<int64_t> facts; } rows[] = {
        {1, 5, 1, {Esc("\xFF"), Esc("[")}, {5, 0, -3, -3, 800, 1600}},
        {2, 6, 2, {Esc("\xFF"), Esc("[")}, {6, 0, -3, -3, 800, 1600}},
        {3, 7, 3, refusedF6, {1, 0, -3, -3, 800, 1600}},
        // A type-4 printer whose version is 1 cannot be told from type 3.
        {4, 1, 3, refusedF6, {1, 0, -3, -3, 800, 1600}},
        {4, 0, 4, refusedF6, {0, 0, 0, -3, 0, 0}}, {4, 2, 4, refusedF6, {2, 0, 0, -3, 0, 0}},
        // Then the counter, the wake-up, status bytes 1 (twice: recovery) and 3 (the display).
        {8, 3, 8, {Esc("\xFF"), Esc("\xF6"), Esc("f"), Esc("*"), Esc("T"), Esc("T"), Esc("V")},
         {3, 0, 0, 0, 0, 0}},
        {10, 4, 10, {Esc("\xFF"), Esc("\xF6"), Esc("[")}, {4, 0, 0, 0, 0, 0}},
        // An unknown family leaves the type unknown: no 0xF6, the wait after the acknowledge only.
        {8, 2, -1, {Esc("\xFF"), Esc("[")}, {2, 0, -3, -3, 800, 800}},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.type << "." << r.version);
        Load(Model(r.type, r.version));
        if (r.found < 0) printer->AnswerGarbageNext({99});
        mfSetDebugLevel(9);
        ASSERT_EQ(mfStart(0, 1), 0);
        std::vector<Frame> frames = Sent();
        frames.resize(r.identification.size());
        EXPECT_EQ(frames, r.identification);
        int version = -1, second = -1, mode = 0;
        EXPECT_EQ(mfGetVersion(&version, &second), 0);
        platform->ClearWrites();
        EXPECT_EQ(mfStatMode(&mode), 0);
        ASSERT_EQ(mfDefPOS(1, 2, ""), 0);
        const auto& w = platform->Writes();
        ASSERT_EQ(w.size(), 3u);
        EXPECT_EQ((std::vector<Bytes>{w[0].bytes, w[1].bytes, w[2].bytes}),
                  (std::vector<Bytes>{{0x1B, '['}, {0x1B, 'C'}, {'0', '1', '0', '2'}}));
        EXPECT_EQ((std::vector<int64_t>{version, second, mfParNrReport(), mfParLineTicketExt(),
                                        w[1].atMs - w[0].atMs, w[2].atMs - w[1].atMs}),
                  r.facts);
        EXPECT_TRUE(Logged("In mfStart, PrinterType: " + std::to_string(r.found) +
                           ", Version: " + std::to_string(version) + ", Result: 0"));
        EXPECT_TRUE(Logged("In mfStart MF_OK"));
        const LineSettings& s = platform->LastSettings();
        EXPECT_EQ(std::vector<int>({s.baudRate, s.dataBits, s.parity, s.stopBits, s.rtsControl,
                                    s.dtrControl, s.timeoutMs}),
                  std::vector<int>({9600, 8, 2, 0, 0, 0, 30000}));
    }
    printer->AcknowledgeNextWith('C', 0x00);  // only ACK acknowledges: the rest is not sent
    platform->ClearWrites();
    EXPECT_EQ(Coded(mfDefPOS(1, 2, "")), Outcome(-2, 514));
    EXPECT_EQ(platform->Writes().size(), 1u);
}

// A printer holding a receipt gets it ended and cancelled, then the day it asks to close closed.
// A printer that stays busy is given up on: after each of those at 30 s and 20 s, after the state
// printout at 30 s, polling status byte 2 every 100 ms and sleeping in between.
TEST_F(SessionTest, TheStartEndsWhatThePrinterHoldsAndClosesTheDayAndBusyWaitsGiveUp) {
    printer->State().receiptOpen = true;
    printer->State().dayMustClose = true;
    printer->StayBusyUntil(1000000);
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_EQ(Now(), 52000);
    EXPECT_TRUE(InOrder(Sent(), {Esc("Q"), Esc("#"), Esc("%")}));
    const std::string roll = printer->Roll().AsUtf8();
    EXPECT_NE(roll.find("RAPORT DOBOWY", roll.find("PARAGON ANULOWANY")), std::string::npos);
    const int64_t slept = platform->SleptMs();
    EXPECT_EQ(Coded(mfPrState()), Outcome(0, 0));
    EXPECT_EQ(Of(Sent(), 'U').size(), 301u);
    EXPECT_EQ(Now(), 52000 + 30200);
    EXPECT_EQ(platform->SleptMs() - slept, 30200);
    // A status answer cut short is one more busy poll; it costs the awaited byte's 30 s, and
    // then the wait's 30 s are over.
    printer->AnswerShortNext(0);
    EXPECT_EQ(Coded(mfPrState()), Outcome(0, 0));
    EXPECT_EQ(Of(Sent(), 'U').size(), 1u);
    EXPECT_EQ(Now(), 52000 + 30200 + 30200);
}

// A refusal: the four status bytes are read, each in an exchange of its own, and the first
// rule that holds names the cause. Then a second start sends nothing; mfStop may come twice; a
// start ends whatever the printer held, a receipt or an order, on both sides.
TEST_F(SessionTest, ARefusalIsNamedByTheStatusBytesAndStartAgainStopTwiceStart2AndStart3) {
    // clang-format off
    const struct { std::array<uint8_t, 4> status; int code; } rows[] = {
        {{2, 0, 0, 0}, 259}, {{1, 0, 0, 0}, 518}, {{7, 0, 0, 0}, 518}, {{3, 1, 0, 0}, 518},
        {{3, 2, 0, 0}, 769}, {{3, 8, 0, 0}, 777}, {{3, 0x10, 0, 0}, 518}, {{3, 0x20, 0, 0}, 773},
        {{3, 0x40, 0, 0}, 513}, {{3, 0x80, 0, 0}, 514}, {{3, 0, 1, 0}, 769}, {{3, 0, 2, 0}, 784},
        {{3, 0, 4, 0}, 257}, {{3, 0, 8, 0}, 515}, {{3, 0, 0x10, 0}, 769}, {{3, 0, 0x40, 0}, 784},
        {{3, 0, 0x80, 0}, 257}, {{3, 0, 0, 0x80}, 257}, {{3, 0, 0, 0}, 514}, {{0xF3, 0, 0, 0}, 514},
        {{3, 4, 0x20, 0x7F}, 514}, {{0, 0xFF, 0xFF, 0xFF}, 259},  // from here the earlier rule wins
        {{3, 10, 0, 0}, 769}, {{3, 0x80, 2, 0}, 514}, {{3, 0, 0x44, 0}, 257},
    };
    // clang-format on
    StartOn(8);
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        printer->RefuseNext(r.status);
        EXPECT_EQ(mfGetLastTicketNo(nullptr), -2);
        EXPECT_EQ(mfError(), r.code);
        EXPECT_EQ(Sent(), (std::vector<Frame>{Esc("f"), Esc("["), Esc("T"), Esc("U"), Esc("V")}));
    }
    // Bit 0x02 of status byte 1 said the printer holds a document: the library's record follows,
    // and mfStornoTicket ends it as a start does.
    EXPECT_EQ(Coded(mfBeginTicket(-1)), Outcome(-2, 779));
    EXPECT_EQ(mfStornoTicket(), 0);
    EXPECT_EQ(Sent(), (std::vector<Frame>{Esc("Q"), Esc("#")}));
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(mfLineTicket(0, "Chleb pszenny", 'B', "szt", 450, 1000, 0), 0);
    Sent();
    EXPECT_EQ(mfStart(0, 1), -1);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(mfStop(), 0);
    EXPECT_EQ(mfStop(), 0);
    ASSERT_EQ(mfStart(0, 1), 0);  // the printer's receipt is cancelled, and the library's with it
    EXPECT_FALSE(DocumentOpen());
    ASSERT_EQ(mfBeginTicket(-1), 0);
    EXPECT_EQ(mfLineTicket(0, "Kawa ziarnista", 'A', "szt", 3199, 1000, 0), 0);
    EXPECT_EQ(printer->State().receipt.lines.at(0).value, 3199);
    ASSERT_EQ(mfStornoTicket(), 0);
    ASSERT_EQ(mfBgOrder("Stolik 4", ""), 0);  // 'Q' ends the order the printer holds: no answer
    mfStop();
    EXPECT_EQ(mfStart(0, 1), 0);
    EXPECT_FALSE(DocumentOpen());
    Load();
    EXPECT_EQ(mfStart2(0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), -2);
    EXPECT_EQ(mfStart2(0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 0);
    Load();
    EXPECT_EQ(mfStart3(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0), 1);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(mfError(), -1);
}

// How a start or an exchange fails: the detail code, the time it took, and the port closed
// after it. A failed start leaves no session.
TEST_F(SessionTest, FailedStartsAndExchangesLeaveThePortClosed) {
    // clang-format off
    const struct { void (*fault)(sim::VirtualPrinter&, sim::VirtualPlatform&); int startPort, code;
                   int64_t ms; bool answerRead = false; const char* logged = ""; } rows[] = {
        {[](auto& p, auto&) { p.State().faultBits[1] = 2; }, 1, 769, 1800},  // held after Q, #
        {[](auto&, auto&) {}, 2, 514, 0, false, "SerialPort: CAN NOT open port"},  // no printer
        {[](auto& p, auto&) { p.SetSilent(true); }, 0, 514, 30000},
        {[](auto& p, auto&) { p.AnswerShortNext(2); }, 0, 514, 30000},  // a byte short
        {[](auto&, auto& p) { p.FailNextWrite(); }, 0, 514, 0},
        {[](auto&, auto& p) { p.FailNextRead(); }, 0, 514, 0},
        {[](auto&, auto& p) { p.FailNextClose(); }, 0, 514, 0, true},
        // A status query unanswered leaves the cause unknown and ends the reading; refused in
        // their turn, the queries are not asked again.
        {[](auto& p, auto&) { p.RefuseNextThenFallSilent(); }, 0, 514, 30000},
        {[](auto& p, auto&) { p.RefuseEverything(true); }, 0, 514, 0},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(&r - rows);
        r.startPort ? Load() : StartOn(8);
        r.fault(*printer, *platform);
        int hour = -7, minute = -7;
        const int64_t start = Now();
        EXPECT_EQ(r.startPort ? mfStart(0, r.startPort) : mfGetTime(&hour, &minute), -2);
        EXPECT_EQ(seam::DetailCode(), r.code);
        EXPECT_EQ(mfError(), r.startPort ? -1 : r.code);
        EXPECT_EQ(Now() - start, r.ms);
        EXPECT_EQ(hour != -7, r.answerRead);
        EXPECT_TRUE(Logged(r.logged));
        EXPECT_FALSE(platform->PortOpen());
        EXPECT_EQ(platform->Opens(), platform->Closes());
    }
}

// A printer behind TCP: the session holds one connection from mfStart to mfStop, dropping what
// came too late for the last exchange before the next; a connection that failed is made anew,
// and a start that failed holds none.
TEST_F(SessionTest, APrinterBehindTcpIsHeldForTheSession) {
    platform->HoldConnections(true);
    ASSERT_EQ(mfStart(0, 1), 0);
    EXPECT_TRUE(platform->PortOpen());
    int number = -1;
    char serial[12] = {};
    printer->DripNextAnswer(31000);  // the count comes after its time-out
    EXPECT_EQ(Coded(mfGetLastTicketNo(&number)), Outcome(-2, 514));
    platform->SleepMs(60000);
    EXPECT_EQ(mfGetSerNo(serial), 0);
    EXPECT_STREQ(serial, "TRN26000001");
    platform->FailNextRead();
    EXPECT_EQ(Coded(mfGetLastTicketNo(&number)), Outcome(-2, 514));
    EXPECT_EQ(mfGetLastTicketNo(&number), 0);
    EXPECT_EQ(platform->Opens(), 2);
    mfStop();
    EXPECT_FALSE(platform->PortOpen());
    printer->State().faultBits[1] = 0x02;  // a document held for good: 769
    EXPECT_EQ(mfStart(0, 1), -2);
    EXPECT_FALSE(platform->PortOpen());
}

}  // namespace
}  // namespace tarn::test
