// The frame exchange against the virtual printer on the virtual clock: framing, the two-step
// send, settling waits by printer type, refusals, and the port's life around an exchange.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "link/printer_link.h"
#include "link/shared_commands.h"
#include "virtual_printer_test.h"

namespace tarn {
namespace {

using Bytes = std::vector<uint8_t>;

class ExecuteTest : public test::VirtualPrinterTest {
protected:
    Bytes WrittenChunk(size_t i) const { return platform->Writes().at(i).bytes; }
    int64_t WrittenAt(size_t i) const { return platform->Writes().at(i).atMs; }
    int32_t& Error() { return Lib().mfErrorL; }
};

// A command with the given body and no answer.
class BodyOnly : public CRequest {
public:
    explicit BodyOnly(const Bytes& body) {
        for (const uint8_t byte : body) AppendByte(byte);
    }
};

struct TimingCase {
    int printerType;
    int64_t headWaitMs;  // between the head and the acknowledge read
    int64_t ackWaitMs;   // after the acknowledge
};

TEST_F(ExecuteTest, SendsTheHeadThenTheRestWithSettlingWaitsByPrinterType) {
    const TimingCase cases[] = {{-1, 0, 800},  {0, 800, 800}, {2, 800, 800},
                                {3, 800, 800}, {4, 0, 0},     {8, 0, 0}};
    for (const TimingCase& c : cases) {
        SCOPED_TRACE(c.printerType);
        UsePrinter({});
        CPrinterLink& link = Link(c.printerType);
        BodyOnly pos({'C', '0', '1', '0', '2'});  // point-of-sale and cashier numbers
        const int64_t start = Now();
        ASSERT_EQ(link.Execute(pos, false, false), 0);
        ASSERT_EQ(platform->Writes().size(), 2u);
        EXPECT_EQ(WrittenChunk(0), (Bytes{0x1B, 'C'}));
        EXPECT_EQ(WrittenChunk(1), (Bytes{'0', '1', '0', '2'}));
        EXPECT_EQ(WrittenAt(1) - start, c.headWaitMs + c.ackWaitMs);
        EXPECT_EQ(Now() - start, c.headWaitMs + c.ackWaitMs);
        EXPECT_EQ(Error(), 0);
    }
}

TEST_F(ExecuteTest, WritesAFrameOfTwoBytesInOnePieceWithoutHeadWait) {
    CPrinterLink& link = Link(2);
    int status = -1;
    CRequestStatus query(0, &status);
    const int64_t start = Now();
    ASSERT_EQ(link.Execute(query, false, false), 0);
    ASSERT_EQ(platform->Writes().size(), 1u);
    EXPECT_EQ(WrittenChunk(0), (Bytes{0x1B, 0x5B}));
    EXPECT_EQ(Now() - start, 800);  // only the wait after the acknowledge
    EXPECT_EQ(status, printer->State().StatusByte(0, Now()));
}

TEST_F(ExecuteTest, WithoutAcknowledgeReadsTheAnswerRightAfterTheFrame) {
    CPrinterLink& link = Link(8);
    int answer = -1;
    CRequestOneByte ping('*', &answer);
    ASSERT_EQ(link.Execute(ping, true, false), 0);
    EXPECT_EQ(answer, 0x06);  // the byte that would have been the acknowledge
}

TEST_F(ExecuteTest, WithoutEscSendsTheBodyAlone) {
    CPrinterLink& link = Link(8);
    int answer = -1;
    CRequestOneByte announce('.', &answer);
    ASSERT_EQ(link.Execute(announce, true, false), 0);
    ASSERT_EQ(answer, 6);
    // A footer line: the line number, 40 characters and their check byte, without ESC.
    Bytes record(42, ' ');
    record[0] = 1;
    record[41] = 0;
    int taken = -1;
    CRequestRawBlock line(record.data(), 42, &taken);
    ASSERT_EQ(link.Execute(line, true, true), 0);
    EXPECT_EQ(taken, 0);
    EXPECT_EQ(WrittenChunk(1), (Bytes{1, ' '}));
    EXPECT_EQ(printer->Frames().back().bytes, record);

    BodyOnly single({0x2A});
    ASSERT_EQ(link.Execute(single, true, true), 0);
    EXPECT_EQ(WrittenChunk(3), (Bytes{0x2A}));  // one single byte
}

TEST_F(ExecuteTest, AnEmptyBodyIsNotSentAndLeavesTheOutputAlone) {
    CPrinterLink& link = Link(8);
    int status = 77;
    CRequestStatus query(6, &status);
    Error() = 999;
    EXPECT_EQ(link.Execute(query, false, false), 0);
    EXPECT_EQ(status, 77);
    EXPECT_EQ(Error(), 0);
    EXPECT_EQ(platform->Opens(), 0);
}

TEST_F(ExecuteTest, ALinkWithoutPortFailsWith514) {
    Library& lib = Lib();
    CPrinterLink link;
    link.SetErrorTarget(&lib.mfErrorL);
    int status = 0;
    CRequestStatus query(0, &status);
    EXPECT_EQ(link.Execute(query, false, false), -2);
    EXPECT_EQ(lib.mfErrorL, 514);
}

TEST_F(ExecuteTest, ACommandThatDidNotFitItsBodyIsNotSent) {
    CPrinterLink& link = Link(8);
    Bytes huge(1100, 'x');
    int answer = 0;
    CRequestRawBlock block(huge.data(), static_cast<int>(huge.size()), &answer);
    EXPECT_EQ(link.Execute(block, true, true), -2);
    EXPECT_EQ(Error(), 771);
    EXPECT_EQ(platform->Opens(), 0);
    EXPECT_TRUE(platform->Writes().empty());
}

TEST_F(ExecuteTest, ThePortIsClosedAfterEveryExchangeWhateverItsOutcome) {
    CPrinterLink& link = Link(8);
    int value = 0;
    CRequestLastTicketNo counter(&value);
    ASSERT_EQ(link.Execute(counter, false, false), 0);
    EXPECT_FALSE(platform->PortOpen());
    printer->RefuseNext({0x03, 0x00, 0x00, 0x00});
    EXPECT_EQ(link.Execute(counter, false, false), -2);
    EXPECT_FALSE(platform->PortOpen());
    printer->AnswerShortNext(1);
    EXPECT_EQ(link.Execute(counter, false, false), -2);
    EXPECT_FALSE(platform->PortOpen());
    EXPECT_EQ(platform->Opens(), platform->Closes());
}

struct RefusalCase {
    std::array<uint8_t, 4> status;
    int code;
};

TEST_F(ExecuteTest, ARefusalReadsFourStatusBytesAndMapsThem) {
    const RefusalCase cases[] = {
        {{0x03, 0x00, 0x00, 0x00}, 514}, {{0x03, 0x08, 0x00, 0x00}, 777},
        {{0x01, 0x00, 0x00, 0x00}, 518}, {{0x00, 0x00, 0x00, 0x00}, 259},
        {{0x03, 0x00, 0x02, 0x00}, 784}, {{0x03, 0x00, 0x00, 0x80}, 257},
    };
    for (const RefusalCase& c : cases) {
        UsePrinter({});
        CPrinterLink& link = Link(8);
        int value = -5;
        CRequestLastTicketNo counter(&value);
        printer->RefuseNext(c.status);
        EXPECT_EQ(link.Execute(counter, false, false), -2);
        EXPECT_EQ(Error(), c.code);
        EXPECT_EQ(value, -5);
        // The refused head, then the four status queries, each an exchange of its own.
        const auto frames = ReceivedFrames();
        ASSERT_EQ(frames.size(), 5u);
        EXPECT_EQ(frames[0], (Bytes{0x1B, 0x66}));
        EXPECT_EQ(frames[1], (Bytes{0x1B, 0x5B}));
        EXPECT_EQ(frames[2], (Bytes{0x1B, 0x54}));
        EXPECT_EQ(frames[3], (Bytes{0x1B, 0x55}));
        EXPECT_EQ(frames[4], (Bytes{0x1B, 0x56}));
        EXPECT_EQ(platform->Opens(), platform->Closes());
        EXPECT_FALSE(platform->PortOpen());
    }
}

TEST_F(ExecuteTest, ARefusalWhoseStatusQueriesFailCountsTheirBytesAsZero) {
    CPrinterLink& link = Link(8);
    int value = 0;
    CRequestLastTicketNo counter(&value);
    printer->RefuseNextThenFallSilent();
    EXPECT_EQ(link.Execute(counter, false, false), -2);
    EXPECT_EQ(Error(), 259);  // status byte 0 read as 0: not initialised
    EXPECT_EQ(Now(), 4 * 30000);
}

// Status queries refused in turn are not asked about again: a line that answers NAK to
// everything costs five exchanges, not an endless descent.
TEST_F(ExecuteTest, ARefusalWhoseStatusQueriesAreRefusedTooEndsAfterFourQueries) {
    CPrinterLink& link = Link(8);
    int value = 0;
    CRequestLastTicketNo counter(&value);
    printer->RefuseEverything(true);
    printer->ClearFrames();
    EXPECT_EQ(link.Execute(counter, false, false), -2);
    EXPECT_EQ(Error(), 259);
    EXPECT_EQ(printer->Frames().size(), 5u);
    EXPECT_EQ(Now(), 0);
    printer->RefuseEverything(false);
    EXPECT_EQ(link.Execute(counter, false, false), 0);
}

TEST_F(ExecuteTest, ARefusalOfTheRealPrinterShowsItsStateInTheCode) {
    printer->State().receiptOpen = true;  // a document is open: the day cannot be closed
    CPrinterLink& link = Link(8);
    CRequestShiftEnd close;
    EXPECT_EQ(link.Execute(close, false, false), -2);
    EXPECT_EQ(Error(), 769);
    printer->State().receiptOpen = false;
    printer->SetPaperOut(true);
    EXPECT_EQ(link.Execute(close, false, false), -2);
    EXPECT_EQ(Error(), 784);
}

TEST_F(ExecuteTest, NoAcknowledgeWithinTheTimeOutIs514) {
    CPrinterLink& link = Link(8);
    printer->SetSilent(true);
    int value = 0;
    CRequestLastTicketNo counter(&value);
    EXPECT_EQ(link.Execute(counter, false, false), -2);
    EXPECT_EQ(Error(), 514);
    EXPECT_EQ(Now(), 30000);
    EXPECT_EQ(platform->Writes().size(), 1u);  // the rest is not sent
}

TEST_F(ExecuteTest, AnyAcknowledgeButNakLetsTheExchangeGoOn) {
    CPrinterLink& link = Link(8);
    int a = 0;
    int b = 0;
    // The extended identification answers two bytes after its acknowledge.
    printer->AnswerGarbageNext({0x33, 0x44});
    CRequestPrinterType query(0xF6, &a, true, &b);
    EXPECT_EQ(link.Execute(query, false, false), 0);
    EXPECT_EQ(a, 0x33);
    EXPECT_EQ(b, 0x44);
}

TEST_F(ExecuteTest, AShortAnswerFailsWith514AndLeavesTheOutputsAsTheyWere) {
    CPrinterLink& link = Link(8);
    int hour = -3;
    int minute = -3;
    printer->AnswerShortNext(9);
    CRequestGetTime clock(&hour, &minute);
    EXPECT_EQ(link.Execute(clock, false, false), -2);
    EXPECT_EQ(Error(), 514);
    EXPECT_EQ(hour, -3);
    EXPECT_EQ(minute, -3);
    EXPECT_EQ(Now(), 30000);  // one time-out for the byte that never came
}

TEST_F(ExecuteTest, AFailedWriteOrCloseIs514) {
    CPrinterLink& link = Link(8);
    int value = 0;
    CRequestLastTicketNo counter(&value);
    platform->FailNextWrite();
    EXPECT_EQ(link.Execute(counter, false, false), -2);
    EXPECT_EQ(Error(), 514);
    platform->FailNextClose();
    EXPECT_EQ(link.Execute(counter, false, false), -2);
    EXPECT_EQ(Error(), 514);
    EXPECT_EQ(link.Execute(counter, false, false), 0);
}

TEST_F(ExecuteTest, AnUnpluggedPrinterFailsEvenWhenNothingIsRead) {
    CPrinterLink& link = Link(8);
    printer->SetUnplugged(true);
    BodyOnly summary({0x80});  // display summary: no acknowledge, no answer
    EXPECT_EQ(link.Execute(summary, true, false), -2);
    EXPECT_EQ(Error(), 514);
    EXPECT_NE(LogText().find("SerialPort: CAN NOT open port"), std::string::npos);
}

TEST_F(ExecuteTest, TheSessionsPortSettingsReachTheDevice) {
    CPrinterLink& link = Link(8);
    int value = 0;
    CRequestLastTicketNo counter(&value);
    ASSERT_EQ(link.Execute(counter, false, false), 0);
    const LineSettings& s = platform->LastSettings();
    EXPECT_EQ(s.baudRate, 9600);
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.parity, 2);
    EXPECT_EQ(s.stopBits, 0);
    EXPECT_EQ(s.rtsControl, 0);
    EXPECT_EQ(s.dtrControl, 0);
    EXPECT_EQ(s.timeoutMs, 30000);
}

}  // namespace
}  // namespace tarn
