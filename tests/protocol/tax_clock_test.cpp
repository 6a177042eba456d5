// The tax table and the clock: allowed only while the fiscal day is closed, refusals in their
// order, the bytes of both rate forms and of the clock shift.
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

class TaxClockTest : public ReceiptTest {
protected:
    void IssueAReceipt() {
        ASSERT_EQ(mfBeginTicket(-1), 0);
        ASSERT_EQ(Sell("Chleb pszenny", 'A', 450, 1000), 0);
        ASSERT_EQ(Close(450), 0);
    }
    void ClockAt(int hour, int minute) {
        sim::PrinterModel model;
        model.clock = {2026, 12, 6, hour, minute, 0};
        UsePrinter(model);
        Lib().started = false;
        ASSERT_EQ(mfStart(0, 1), 0);
        Sent();
    }
};

TEST_F(TaxClockTest, RatesChangeOnlyWhileTheDayIsClosed) {
    EXPECT_EQ(mfParTax(), 1);
    IssueAReceipt();
    EXPECT_EQ(mfParTax(), 0);
    Sent();
    EXPECT_EQ(mfDefTax(2300, 800, 500, 0, -1, -1), -2);
    EXPECT_EQ(Lib().mfErrorL, 777);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Frame({0x66})}));
    Lib().SetDocumentOpen(MF_DOC_ORDER, true);
    EXPECT_EQ(mfDefTax(2300, 800, 500, 0, -1, -1), -2);
    EXPECT_EQ(Lib().mfErrorL, 777);  // the fiscal day is checked first
    ASSERT_EQ(mfShiftEnd(), 0);
    EXPECT_EQ(mfDefTax(2300, 800, 500, 0, -1, -1), -2);
    EXPECT_EQ(Lib().mfErrorL, 779);
    EXPECT_EQ(mfParTax(), 0);
    Lib().SetDocumentOpen(MF_DOC_ORDER, false);
    EXPECT_EQ(mfParTax(), 1);
    EXPECT_EQ(mfDefTax(2200, 700, 500, 0, 1234, 5678), 0);
    EXPECT_EQ(Sent().back(), Frame({0xD4, 0x08, 0x98, 0x02, 0xBC, 0x01, 0xF4, 0x00, 0x00, 0x04,
                                    0xD2, 0x16, 0x2E}));
    int r[6] = {};
    ASSERT_EQ(mfGetTax(&r[0], &r[1], &r[2], &r[3], &r[4], &r[5]), 0);
    EXPECT_EQ((std::vector<int>(r, r + 6)), (std::vector<int>{2200, 700, 500, 0, 1234, 5678}));
}

TEST_F(TaxClockTest, PrinterType1TakesFourWholePercents) {
    StartOn(1);
    Sent();
    EXPECT_EQ(mfDefTax(2200, 750, 500, 0, 1234, 5678), 0);
    EXPECT_EQ(Sent().back(), Frame({0x44, 0x16, 0x07, 0x05, 0x00}));
}

TEST_F(TaxClockTest, ARateThatDoesNotFitItsFieldIsNotSent) {
    const struct {
        int type;
        int rate;
    } cases[] = {{8, 65536}, {8, -32769}, {1, 25600}, {1, -12900}};
    for (const auto& c : cases) {
        StartOn(c.type);
        Sent();
        EXPECT_EQ(mfDefTax(2300, c.rate, 500, 0, -1, -1), -2) << c.type << " " << c.rate;
        EXPECT_EQ(Lib().mfErrorL, 771);
        EXPECT_TRUE(Sent().empty());
    }
    StartOn(1);
    EXPECT_EQ(mfDefTax(2300, 800, 500, 0, 9999999, -9999999), 0);  // rates 5 and 6 are not sent
}

TEST_F(TaxClockTest, ParTaxAnswers0WhenTheCounterCannotBeRead) {
    printer->RefuseNext({0x03, 0x00, 0x02, 0x00});
    EXPECT_EQ(mfParTax(), 0);
    EXPECT_EQ(Lib().mfErrorL, 784);
}

struct ShiftCase {
    int hour, minute;  // the printer's clock
    int wantHour, wantMinute;
    int result;
    Bytes body;  // the shift sent, when one is
};

TEST_F(TaxClockTest, TheClockMovesByAtMostAnHourWithinOneHourStep) {
    const ShiftCase cases[] = {
        {10, 5, 9, 50, 0, {0x36, 0x00, 0x01, 0x05}},
        {9, 50, 10, 5, 0, {0x36, 0x01, 0x01, 0x05}},
        {9, 30, 10, 30, 0, {0x36, 0x01, 0x06, 0x00}},
        {9, 30, 10, 31, -2, {}},
        {10, 50, 9, 10, -2, {}},
        {10, 50, 12, 0, -2, {}},
        {23, 50, 0, 10, -2, {}},
        {10, 20, 10, 75, 0, {0x36, 0x01, 0x05, 0x05}},
        {10, 0, 9, 200, -2, {}},  // a shift below zero
    };
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.hour) + ":" + std::to_string(c.minute) + " to " +
                     std::to_string(c.wantHour) + ":" + std::to_string(c.wantMinute));
        ClockAt(c.hour, c.minute);
        EXPECT_EQ(mfDefTime(c.wantHour, c.wantMinute), c.result);
        const std::vector<Bytes> frames = Sent();
        const bool sent = std::find_if(frames.begin(), frames.end(),
                                       [](const Bytes& f) { return f[1] == 0x36; }) != frames.end();
        EXPECT_EQ(sent, !c.body.empty());
        if (!c.body.empty()) {
            Bytes expected{0x1B};
            expected.insert(expected.end(), c.body.begin(), c.body.end());
            EXPECT_EQ(frames[2], expected);
        } else {
            EXPECT_EQ(Lib().mfErrorL, 771);
        }
    }
}

TEST_F(TaxClockTest, AnUnchangedReadingIs775) {
    ClockAt(10, 20);
    EXPECT_EQ(mfDefTime(10, 20), -2);  // a shift of 0
    EXPECT_EQ(Lib().mfErrorL, 775);
    printer->AcknowledgeNextWith(0x36, 0x15);  // the printer refuses the shift
    EXPECT_EQ(mfDefTime(10, 30), -2);
    EXPECT_EQ(Lib().mfErrorL, 775);
}

TEST_F(TaxClockTest, TheClockRefusesInsideADocumentBeforeLookingAtTheDay) {
    IssueAReceipt();
    Lib().SetDocumentOpen(MF_DOC_RETURN, true);
    EXPECT_EQ(mfParTime(), -2);
    EXPECT_EQ(Lib().mfErrorL, 779);
    EXPECT_EQ(mfDefTime(10, 0), -2);
    EXPECT_EQ(Lib().mfErrorL, 779);
    Lib().SetDocumentOpen(MF_DOC_RETURN, false);
    EXPECT_EQ(mfParTime(), -2);
    EXPECT_EQ(Lib().mfErrorL, 777);
    EXPECT_EQ(mfDefTime(10, 0), -2);
    EXPECT_EQ(Lib().mfErrorL, 777);
    ASSERT_EQ(mfShiftEnd(), 0);
    EXPECT_EQ(mfParTime(), 0);
}

}  // namespace
}  // namespace tarn
