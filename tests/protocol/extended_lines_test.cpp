// Discounts and markups on the last sale line, "PTU" lines, and the capability answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receipt_fixture.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

using test::Bytes;
using test::Frame;
using test::kReasonQuery;
using test::ReceiptTest;

class ExtendedLinesTest : public ReceiptTest {
protected:
    void SoldChleb() {
        ASSERT_EQ(mfBeginTicket(-1), 0);
        ASSERT_EQ(Sell("Chleb", 'A', 500, 1000), 0);
        Sent();
    }
    int Ext(const char* name, char letter, int price, int quantity, int value) {
        return mfLineTicketExt(0, name, letter, "szt", price, quantity, value);
    }
};

TEST_F(ExtendedLinesTest, ADiscountOnTheLastLineIsSentAndLowersTheTotal) {
    SoldChleb();
    ASSERT_EQ(Ext("Chleb", 'A', 100, -1000, 0), 0);
    const std::vector<Bytes> frames = Sent();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], Frame({0x18, 0x2D, 0x64, 0x00, 0x00, 0x00}));
    EXPECT_EQ(frames[1], kReasonQuery);
    EXPECT_EQ(Total(), 400);
    ASSERT_EQ(Ext("Chleb", 'A', 50, 2000, 0), 0);  // a markup of 1,00
    EXPECT_EQ(Sent()[0], Frame({0x18, 0x20, 0x64, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Total(), 500);
}

TEST_F(ExtendedLinesTest, ALineThatDoesNotFitTheLastSaleIsNotCarriedOut) {
    SoldChleb();
    const struct {
        const char* name;
        char letter;
        int value;
        int result;
    } cases[] = {{"Chleb", 'A', 600, 1},
                 {"Chleb", 'B', 100, 1},
                 {"Chleb2", 'A', 100, -3},
                 {"chleb", 'A', 100, -3}};
    for (const auto& c : cases) {
        Lib().mfErrorL = 5;
        EXPECT_EQ(Ext(c.name, c.letter, 0, -1000, c.value), c.result)
            << c.name << c.letter << c.value;
        EXPECT_EQ(Lib().mfErrorL, 0);
    }
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Total(), 500);
}

TEST_F(ExtendedLinesTest, PtuLinesAreSummedAndSendNothing) {
    ASSERT_EQ(mfBeginTicket(2000), 0);
    Sent();
    ASSERT_EQ(Ext("RABAT PTU A", 'A', 0, 0, 300), 0);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(Total(), 1700);  // also with a declared total
    EXPECT_EQ(Lib().receipt.ptuLinesTotal, 300);
}

TEST_F(ExtendedLinesTest, AValueBeyond32BitsIsRefused) {
    SoldChleb();
    EXPECT_EQ(Ext("Chleb", 'A', 2000000000, -2000000000, 0), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ExtendedLinesTest, ACancellationAfterTheLineClearsTheReceipt) {
    SoldChleb();
    printer->AnswerGarbageNext({'S'});
    EXPECT_EQ(Ext("Chleb", 'A', 100, -1000, 0), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_FALSE(ReceiptOpen());
    EXPECT_EQ(Total(), 500);
}

TEST_F(ExtendedLinesTest, AFailedLineKeepsItsCodeAndTheTotal) {
    SoldChleb();
    platform->FailWriteStarting({0x1B, 0x18});
    EXPECT_EQ(Ext("Chleb", 'A', 100, -1000, 0), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_EQ(Total(), 500);
    EXPECT_TRUE(ReceiptOpen());
}

TEST_F(ExtendedLinesTest, PrintersBeforeType8HaveNoExtendedLines) {
    StartOn(4);
    EXPECT_EQ(mfParLineTicketExt(), -3);
    EXPECT_EQ(Ext("Chleb", 'A', 100, -1000, 0), 1);
    EXPECT_EQ(mfParInvoice(1, 2, 3, 4), -3);
    StartOn(8);
    EXPECT_EQ(mfParLineTicketExt(), 0);
    mfStop();
    EXPECT_EQ(mfParLineTicketExt(), -1);
    EXPECT_EQ(mfParInvoice(1, 2, 3, 4), -1);
}

}  // namespace
}  // namespace tarn
