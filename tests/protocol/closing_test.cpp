// Closing the receipt: discounts, the sale total, adjustment and to-pay lines, payments in
// either currency, foot lines, and what a refusal along the way leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
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

struct EndArgs {
    int percent = 0;
    int transaction = 0;
    int payment[3] = {0, 0, 0};
    const char* name[3] = {"Got\xA2wka", "Karta", "Bon"};
    int extra = 0;
    const char* extraName = "Kaucja";
    int adjust = 0;
    const char* adjustName = "Kaucja";
    const char* table = "";
    const char* freeLine = "";
};

class ClosingTest : public ReceiptTest {
protected:
    int End(const EndArgs& a) {
        return mfEndTicket(a.percent, 0, a.transaction, a.payment[0], a.name[0], a.payment[1],
                           a.name[1], a.payment[2], a.name[2], a.extra, a.extraName, a.adjust,
                           a.adjustName, a.table, a.freeLine);
    }
    // A receipt with one line of `value` grosze, ready to close; the frames so far are dropped.
    void OneLine(int value, int declared = -1) {
        ASSERT_EQ(mfBeginTicket(declared), 0);
        ASSERT_EQ(Sell("Chleb pszenny", 'A', value, 1000), 0);
        Sent();
    }
    // The frames of one command byte, in order.
    std::vector<Bytes> Of(const std::vector<Bytes>& frames, uint8_t command) {
        std::vector<Bytes> found;
        std::copy_if(frames.begin(), frames.end(), std::back_inserter(found),
                     [command](const Bytes& f) { return f.size() > 1 && f[1] == command; });
        return found;
    }
    std::string FootText(const Bytes& frame) {
        return std::string(frame.begin() + 3, frame.end() - 1);
    }
};

TEST_F(ClosingTest, APercentageDiscountGoesBeforeTheSaleTotal) {
    OneLine(10000);
    EndArgs a;
    a.percent = 1000;
    a.payment[0] = 9000;
    ASSERT_EQ(End(a), 0);
    const std::vector<Bytes> frames = Sent();
    EXPECT_EQ(frames[0], Frame({0x1B, 10}));
    EXPECT_EQ(frames[1], kReasonQuery);
    EXPECT_EQ(frames[2], Frame({0x07, 0x28, 0x23, 0x00, 0x00}));  // 9 000
}

TEST_F(ClosingTest, APercentageThatIsNoWholePercentOrTooLargeIsRefused) {
    const struct {
        int percent;
        bool refused;
    } cases[] = {{150, true}, {10000, true}, {9900, false}, {-5, false}};
    for (const auto& c : cases) {
        OneLine(10000);
        EndArgs a;
        a.percent = c.percent;
        a.payment[0] = 10000;
        EXPECT_EQ(End(a), c.refused ? -2 : 0) << c.percent;
        if (c.refused) {
            EXPECT_EQ(Lib().mfErrorL, 771);
            EXPECT_TRUE(Sent().empty());
            EXPECT_TRUE(ReceiptOpen());
            ASSERT_EQ(mfStornoTicket(), 0);
        }
    }
}

TEST_F(ClosingTest, ADeclaredTotalSendsTheSaleTotalAloneAndPaysTheDeclaredTotal) {
    OneLine(1000, 1000);
    EndArgs a;
    a.payment[0] = 1200;
    a.adjust = 200;
    ASSERT_EQ(End(a), 0);
    const std::vector<Bytes> frames = Sent();
    EXPECT_EQ(frames[0], Frame({0x07}));
    const std::vector<Bytes> lines = Of(frames, 0x09);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0][2], '8');
    EXPECT_EQ(FootText(lines[1]),
              "P\x9D"
              "ACI" +
                  std::string(19, ' ') + "12,00  ");
}

TEST_F(ClosingTest, ANothingToPayReceiptShowsZero) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    Sent();
    ASSERT_EQ(End(EndArgs{}), 0);
    const std::vector<Bytes> frames = Sent();
    EXPECT_EQ(frames[0], Frame({0x07}));
    EXPECT_EQ(FootText(Of(frames, 0x09)[0]),
              "P\x9D"
              "ACI" +
                  std::string(20, ' ') + "0,00  ");
}

TEST_F(ClosingTest, ANegativeAdjustmentAndAnAmountToGiveBack) {
    OneLine(1000);
    EndArgs a;
    a.adjust = -250;
    ASSERT_EQ(End(a), 0);
    std::vector<Bytes> lines = Of(Sent(), 0x09);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], Frame({0x09, '9'}, "Kaucja" + std::string(13, ' ') + "2,50" + "  \n"));
    EXPECT_EQ(FootText(lines[1]).substr(0, 5),
              "P\x9D"
              "ACI");
    EXPECT_EQ(FootText(lines[1]).substr(25), "7,50  ");

    OneLine(1000);
    a.adjust = -2000;
    ASSERT_EQ(End(a), 0);
    lines = Of(Sent(), 0x09);
    EXPECT_EQ(FootText(lines[1]), "OTRZYMUJE" + std::string(15, ' ') + "10,00  ");
}

TEST_F(ClosingTest, PtuLinesBecomeOneReceiptDiscountUnlessAPercentageIsGiven) {
    OneLine(1000);
    ASSERT_EQ(mfLineTicketExt(0, "RABAT PTU A", 'A', "", 0, 0, 300), 0);
    EndArgs a;
    a.payment[0] = 700;
    ASSERT_EQ(End(a), 0);
    std::vector<Bytes> frames = Sent();
    EXPECT_EQ(frames[0], Frame({0x19, '-', 0x2C, 0x01, 0x00, 0x00}));
    EXPECT_EQ(frames[1], Frame({0x07, 0xBC, 0x02, 0x00, 0x00}));

    OneLine(1000);
    ASSERT_EQ(mfLineTicketExt(0, "RABAT PTU A", 'A', "", 0, 0, 300), 0);
    a.percent = 1000;
    a.payment[0] = 900;
    ASSERT_EQ(End(a), 0);
    frames = Sent();
    EXPECT_TRUE(Of(frames, 0x19).empty());
    EXPECT_EQ(frames[0], Frame({0x1B, 10}));
    // The printer never hears of the suppressed "PTU" discount, so the sale total leaves it out.
    EXPECT_EQ(frames[2], Frame({0x07, 0x84, 0x03, 0x00, 0x00}));
}

TEST_F(ClosingTest, TheFootLinesCarryTransactionCashierTableAndFreeText) {
    ASSERT_EQ(mfDefPOS(1, 123, "Katarzyna Wielkopolska-Nowakowska"), 0);
    OneLine(1000);
    EndArgs a;
    a.payment[0] = 1000;
    a.transaction = 12;
    a.table = "Stolik przy oknie od ulicy numer 7";
    a.freeLine = "Dziekujemy za zakupy i zapraszamy ponownie";
    ASSERT_EQ(End(a), 0);
    const std::vector<Bytes> lines = Of(Sent(), 0x09);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], Frame({0x09, '<'}, "TRANSAKCJI: 12\n"));
    EXPECT_EQ(lines[2], Frame({0x09, '5'}, "23-Katarzyna Wielkopolska-Now\n"));
    EXPECT_EQ(lines[3], Frame({0x09, '<'}, "STOLIKA: Stolik przy oknie od u \n"));
    EXPECT_EQ(lines[4], Frame({0x09, '>'}, "Dziekujemy za zakupy i zaprasza\n"));
}

TEST_F(ClosingTest, PaymentsKeepTheirIndexAndTheExtraAmountIsTheSecondKind) {
    OneLine(1000);
    EndArgs a;
    a.payment[0] = 400;
    a.payment[2] = 700;
    a.extra = 100;
    ASSERT_EQ(End(a), 0);
    const std::vector<Bytes> frames = Sent();
    const std::vector<Bytes> payments = Of(frames, 0x81);
    ASSERT_EQ(payments.size(), 2u);
    EXPECT_EQ(payments[0][2], 1);
    EXPECT_EQ(payments[1][2], 3);
    EXPECT_EQ(Of(frames, 0x82).size(), 1u);
}

TEST_F(ClosingTest, OlderPrintersPrintPaymentLinesAndStopAtSixFootLines) {
    StartOn(3, 2);
    OneLine(1000);
    ASSERT_EQ(mfDefPOS(1, 7, "Anna"), 0);
    Sent();
    EndArgs a;
    a.adjust = 100;
    a.payment[0] = 300;
    a.payment[1] = 300;
    a.payment[2] = 500;
    a.extra = 50;
    a.transaction = 5;
    a.freeLine = "Do zobaczenia";
    ASSERT_EQ(End(a), 0);
    const std::vector<Bytes> frames = Sent();
    const std::vector<Bytes> lines = Of(frames, 0x09);
    ASSERT_EQ(lines.size(), 6u);  // adjustment, to-pay, three payments, extra amount
    EXPECT_EQ(lines[2], Frame({0x09, '0'}, "Got\xA2wka" + std::string(15, ' ') + "3,00  \n"));
    EXPECT_EQ(lines[5][2], '1');
    EXPECT_TRUE(Of(frames, 0x81).empty());
}

TEST_F(ClosingTest, TheFirstSecondCurrencyTextPaysInThatCurrency) {
    OneLine(10000);
    EndArgs a;
    a.payment[0] = 10000;
    a.name[0] = "EUR 4,1234";
    a.payment[1] = 5000;
    a.name[1] = "USD 3,98";
    ASSERT_EQ(End(a), 0);
    const std::vector<Bytes> frames = Sent();
    const std::vector<Bytes> currency = Of(frames, 0x83);
    ASSERT_EQ(currency.size(), 1u);
    EXPECT_EQ(currency[0],
              Frame({0x83}, "EUR4,1234    ", {0x01, 0x79, 0x09, 0x00, 0x00}));  // 2 425
    EXPECT_EQ(Of(frames, 0x84)[0], Frame({0x84, 0x10, 0x27, 0x00, 0x00}, std::string(12, '\0')));
    const std::vector<Bytes> payments = Of(frames, 0x81);
    ASSERT_EQ(payments.size(), 1u);
    EXPECT_EQ(std::string(payments[0].begin() + 3, payments[0].begin() + 16), "USD 3,98     ");
}

TEST_F(ClosingTest, SecondCurrencyTextsAreOrdinaryNamesBelowType8OrWhenTheRateCannotConvert) {
    StartOn(4);
    OneLine(1000);
    EndArgs a;
    a.payment[0] = 1000;
    a.name[0] = "EUR 4,1234";
    ASSERT_EQ(End(a), 0);
    EXPECT_EQ(Of(Sent(), 0x81).size(), 1u);

    StartOn(8);
    OneLine(1000);
    a.name[0] = "EUR 0,0000";
    ASSERT_EQ(End(a), 0);
    const std::vector<Bytes> frames = Sent();
    EXPECT_TRUE(Of(frames, 0x83).empty());
    EXPECT_EQ(Of(frames, 0x81).size(), 1u);
}

TEST_F(ClosingTest, ASaleTotalBeyond32BitsIsRefusedBeforeAnythingIsSent) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    // The printer would cancel such lines; its answers are masked to reach the library's limit.
    for (int i = 0; i < 3; ++i) {
        printer->AnswerGarbageNext({0});
        ASSERT_EQ(Sell("Samochod osobowy", 'A', 1000000000, 1000), 0);
    }
    Sent();
    EndArgs a;
    EXPECT_EQ(End(a), -2);
    EXPECT_EQ(Lib().mfErrorL, 771);
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(ReceiptOpen());
}

TEST_F(ClosingTest, AFailedPaymentKeepsItsCodeAndTheReceiptOpen) {
    OneLine(1000);
    platform->FailWriteStarting({0x1B, 0x81});
    EndArgs a;
    a.payment[0] = 1000;
    EXPECT_EQ(End(a), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_TRUE(ReceiptOpen());
}

TEST_F(ClosingTest, ACancellationFoundAfterAStepEndsTheClosing) {
    OneLine(1000);
    printer->AnswerGarbageNext({'C'});  // the answer to the check after the sale total
    EndArgs a;
    a.payment[0] = 1000;
    EXPECT_EQ(End(a), -2);
    EXPECT_EQ(Lib().mfErrorL, 773);
    EXPECT_FALSE(ReceiptOpen());
    EXPECT_NE(LogText().find("In mfEndTicket WhyTicketCanceled2, why -2"), std::string::npos);
}

TEST_F(ClosingTest, AFailedReasonQueryEndsTheClosingWithItsCode) {
    OneLine(1000);
    printer->RefuseNext({0x03, 0x00, 0x02, 0x00});  // the reason query after the sale total
    EndArgs a;
    a.payment[0] = 1000;
    EXPECT_EQ(End(a), -2);
    EXPECT_EQ(Lib().mfErrorL, 784);
    EXPECT_FALSE(ReceiptOpen());
}

TEST_F(ClosingTest, ARefusedEndClearsTheReceiptWithItsCode) {
    OneLine(1000);
    printer->AcknowledgeNextWith(0x24, 0x15);
    EndArgs a;
    a.payment[0] = 1000;
    EXPECT_EQ(End(a), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);  // a printer in order names no cause
    EXPECT_FALSE(ReceiptOpen());
}

}  // namespace
}  // namespace tarn
