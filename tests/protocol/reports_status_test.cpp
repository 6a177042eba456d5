// The daily report, the periodic reports by dates and by numbers, the status questions and the
// state printout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receipt_fixture.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

using test::Bytes;
using test::Frame;
using test::ReceiptTest;

struct DateRangeForTest {
    int year, month, day;
};

class ReportsTest : public ReceiptTest {
protected:
    void IssueAReceipt() {
        ASSERT_EQ(mfBeginTicket(-1), 0);
        ASSERT_EQ(Sell("Chleb pszenny", 'A', 450, 1000), 0);
        ASSERT_EQ(Close(450), 0);
    }
    std::vector<Bytes> RawBlocks() const {
        std::vector<Bytes> blocks;
        for (const auto& frame : printer->Frames()) {
            if (frame.kind == sim::FrameKind::RawBlock) blocks.push_back(frame.bytes);
        }
        return blocks;
    }
};

TEST_F(ReportsTest, ADayGoesRound) {
    int open = -1;
    ASSERT_EQ(mfStatShift(&open), 0);
    EXPECT_EQ(open, 0);
    Sent();
    EXPECT_EQ(mfShiftEnd(), -2);
    EXPECT_EQ(Lib().mfErrorL, 778);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Frame({0x66})}));
    IssueAReceipt();
    IssueAReceipt();
    ASSERT_EQ(mfStatShift(&open), 0);
    EXPECT_EQ(open, 1);
    EXPECT_EQ(mfDefTax(2300, 800, 500, 0, -1, -1), -2);
    EXPECT_EQ(mfShiftEnd(), 0);
    ASSERT_EQ(mfStatShift(&open), 0);
    EXPECT_EQ(open, 0);
    EXPECT_EQ(mfDefTax(2300, 800, 500, 0, -1, -1), 0);
    EXPECT_EQ(mfShiftEnd(), -2);
    EXPECT_EQ(Lib().mfErrorL, 778);
    EXPECT_NE(printer->Roll().AsUtf8().find("RAPORT DOBOWY FISKALNY"), std::string::npos);
}

TEST_F(ReportsTest, ReportsByDatesInReportModeFromType4) {
    IssueAReceipt();
    ASSERT_EQ(mfShiftEnd(), 0);
    Sent();
    EXPECT_EQ(mfPrDetailReport(2026, 12, 1, 2026, 12, 31), 0);
    std::vector<Bytes> frames = Sent();
    EXPECT_EQ(frames[0], Frame({0x31}));
    EXPECT_EQ(frames[1], (Bytes{0x00, 0x02, 0x06, 0x01, 0x02, 0x00, 0x01, 0x02, 0x06, 0x01, 0x02,
                                0x03, 0x01}));
    EXPECT_EQ(mfPrGlobalReport(2026, 12, 31, 2026, 12, 1), -2);
    frames = Sent();
    EXPECT_EQ(frames[1], (Bytes{0x03, 0x02, 0x06, 0x01, 0x02, 0x03, 0x01, 0x02, 0x06, 0x01, 0x02,
                                0x00, 0x01}));
    EXPECT_EQ(Lib().mfErrorL, 771);  // the printer cannot take a range that ends before it starts
    // Years go out modulo 100: 1999 and 99 give the same digits.
    mfPrGlobalReport(1999, 1, 1, 1999, 1, 2);
    const Bytes longYear = Sent()[1];
    mfPrGlobalReport(99, 1, 1, 99, 1, 2);
    EXPECT_EQ(Sent()[1], longYear);
}

TEST_F(ReportsTest, OlderPrintersTakeTheRangeInOneCommand) {
    StartOn(2);
    Sent();
    EXPECT_EQ(mfPrDetailReport(2024, 3, 1, 2024, 3, 31), 0);
    EXPECT_EQ(Sent()[0], Frame({0x28, 0x02, 0x04, 0x00, 0x03, 0x00, 0x01, 0x02, 0x04, 0x00, 0x03,
                                0x03, 0x01}));
    EXPECT_EQ(mfPrGlobalReport(2024, 3, 1, 2024, 3, 31), 0);
    EXPECT_EQ(Sent()[0][1], 0x29);
    EXPECT_EQ(mfPrNrReport(1, 2), 1);
    EXPECT_EQ(mfParNrReport(), -3);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ReportsTest, AFailedOlderReportKeepsItsCodeThroughTheWait) {
    StartOn(2);
    platform->FailWriteStarting({0x1B, 0x28});
    EXPECT_EQ(mfPrDetailReport(2024, 3, 1, 2024, 3, 31), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_EQ(mfError(), 514);
}

TEST_F(ReportsTest, ReportsByNumbersSplitInBase255) {
    EXPECT_EQ(mfParNrReport(), 0);
    for (int i = 0; i < 2; ++i) {
        IssueAReceipt();
        ASSERT_EQ(mfShiftEnd(), 0);
    }
    Sent();
    EXPECT_EQ(mfPrNrReport(1, 2), 0);
    EXPECT_EQ(RawBlocks().back(), (Bytes{0x01, 0x01, 0x00, 0x02, 0x00}));
    mfPrNrReport(1, 300);
    EXPECT_EQ(RawBlocks().back(), (Bytes{0x01, 0x01, 0x00, 0x2D, 0x01}));
    mfPrNrReport(255, 65279);
    EXPECT_EQ(RawBlocks().back(), (Bytes{0x01, 0x00, 0x01, 0xFE, 0xFF}));
    Sent();
    EXPECT_EQ(mfPrNrReport(5, 4), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_EQ(mfPrNrReport(0, 65280), -2);
    EXPECT_EQ(mfPrNrReport(-1, 4), -2);
    EXPECT_TRUE(Sent().empty());
    mfPrNrReport(4, 4);
    EXPECT_EQ(RawBlocks().back(), (Bytes{0x01, 0x04, 0x00, 0x04, 0x00}));
}

TEST_F(ReportsTest, TheAnswerByteBecomesTheResult) {
    IssueAReceipt();
    ASSERT_EQ(mfShiftEnd(), 0);
    mfSetDebugLevel(9);
    const struct {
        uint8_t answer;
        int result;
        int code;
    } cases[] = {{0, 0, 0}, {1, -2, 771}, {3, -2, 771}, {2, -2, 769}, {9, -2, 769}};
    for (const auto& c : cases) {
        printer->AnswerGarbageNext({c.answer}, true);
        EXPECT_EQ(mfPrNrReport(1, 1), c.result) << int(c.answer);
        EXPECT_EQ(Lib().mfErrorL, c.code) << int(c.answer);
        printer->AnswerGarbageNext({c.answer}, true);
        EXPECT_EQ(mfPrGlobalReport(2026, 12, 1, 2026, 12, 31), c.result) << int(c.answer);
        EXPECT_EQ(Lib().mfErrorL, c.code) << int(c.answer);
    }
    EXPECT_NE(LogText().find("In mfPrNrReport, CRequestDetailReport, result: 0, answer: 2"),
              std::string::npos);
}

TEST_F(ReportsTest, ReportsRefuseInsideADocumentAndDatesThatDoNotFit) {
    Lib().SetDocumentOpen(MF_DOC_ORDER, true);
    Sent();
    EXPECT_EQ(mfPrDetailReport(2024, 3, 1, 2024, 3, 31), -2);
    EXPECT_EQ(Lib().mfErrorL, 779);
    EXPECT_EQ(mfPrNrReport(1, 2), -2);
    EXPECT_EQ(Lib().mfErrorL, 779);
    Lib().SetDocumentOpen(MF_DOC_ORDER, false);
    for (const DateRangeForTest& r : {DateRangeForTest{2024, 100, 1}, DateRangeForTest{2024, 3, -1},
                                      DateRangeForTest{-5, 3, 1}}) {
        EXPECT_EQ(mfPrGlobalReport(r.year, r.month, r.day, 2024, 3, 31), -2);
        EXPECT_EQ(Lib().mfErrorL, 771);
    }
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ReportsTest, StatusAnswersComeFromThePrinterOrTheDocumentFlags) {
    int answer = -1;
    EXPECT_EQ(mfStatMode(&answer), 0);
    EXPECT_EQ(answer, 1);  // a fiscal printer
    printer->State().fiscalised = false;
    EXPECT_EQ(mfStatMode(&answer), 0);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(mfStatNoPaper(&answer), 0);
    EXPECT_EQ(answer, 0);
    printer->SetPaperOut(true);
    EXPECT_EQ(mfStatNoPaper(&answer), 0);
    EXPECT_EQ(answer, 1);
    Lib().SetDocumentOpen(MF_DOC_ORDER, true);
    EXPECT_EQ(mfStatReceipt(&answer), 0);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(mfStatDocument(&answer), 0);
    EXPECT_EQ(answer, 1);
    Lib().SetDocumentOpen(MF_DOC_RECEIPT, true);
    EXPECT_EQ(mfStatReceipt(&answer), 0);
    EXPECT_EQ(answer, 1);
    answer = 7;
    printer->AnswerShortNext(0);
    EXPECT_EQ(mfStatShift(&answer), -2);
    EXPECT_EQ(answer, 7);
    EXPECT_EQ(mfStatMode(nullptr), 0);
    mfStop();
    EXPECT_EQ(mfStatReceipt(&answer), -1);
    EXPECT_EQ(answer, 7);
}

TEST_F(ReportsTest, TheStatePrintoutWaitsForThePrinterAndKeepsAFailure) {
    Sent();
    EXPECT_EQ(mfPrState(), 0);
    const std::vector<Bytes> frames = Sent();
    EXPECT_EQ(frames[0], Frame({0x26}));
    EXPECT_EQ(frames[1], Frame({0x55}));
    printer->AcknowledgeNextWith(0x26, 0x15);
    EXPECT_EQ(mfPrState(), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
}

}  // namespace
}  // namespace tarn
