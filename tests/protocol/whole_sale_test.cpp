// Whole sales on printers of types 3, 4 and 8: what the printer recorded and printed.
#include <gtest/gtest.h>

#include <string>

#include "receipt_fixture.h"
#include "tarn/tarn.h"
#include "text/cp852.h"

namespace tarn {
namespace {

using test::ReceiptTest;

class WholeSaleTest : public ReceiptTest {
protected:
    std::string Roll() const { return printer->Roll().AsUtf8(); }
    ::testing::AssertionResult Printed(const std::string& utf8) const {
        if (Roll().find(utf8) != std::string::npos) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "not on the roll:\n" << Roll();
    }
};

struct SaleCase {
    int type;
    int version;
};

TEST_F(WholeSaleTest, SellsVoidsAndPaysOnEveryGeneration) {
    for (const SaleCase& c : {SaleCase{3, 2}, SaleCase{4, 2}, SaleCase{8, 2}}) {
        SCOPED_TRACE(c.type);
        StartOn(c.type, c.version);
        ASSERT_EQ(mfDefPOS(2, 5, "Ewa"), 0);
        ASSERT_EQ(mfBeginTicket(-1), 0);
        ASSERT_EQ(Sell("Chleb pszenny", 'B', 450, 2000), 0);       // 9,00 B
        ASSERT_EQ(Sell("Kawa mielona 500g", 'A', 3199, 1000), 0);  // 31,99 A
        ASSERT_EQ(Sell("Woda mineralna", 'B', 199, 3000), 0);      // 5,97 B
        ASSERT_EQ(mfStornoLineTicket(0, "Woda mineralna", 'B', "szt", 199, 3000, 0), 0);
        ASSERT_EQ(mfEndTicket(0, 0, 0, 5000, Utf8ToCp852("Gotówka").c_str(), 0, "", 0, "", 0, "", 0,
                              "", "", ""),
                  0);
        EXPECT_FALSE(ReceiptOpen());
        ASSERT_TRUE(printer->LastEndedReceipt().has_value());
        const auto totals = printer->TotalsOf(*printer->LastEndedReceipt());
        EXPECT_EQ(totals.gross, 4099);
        EXPECT_EQ(totals.Slot(1).gross, 3199);
        EXPECT_EQ(totals.Slot(2).gross, 900);
        EXPECT_EQ(printer->State().receiptsToday, 1);
        EXPECT_TRUE(Printed("PARAGON FISKALNY"));
        EXPECT_TRUE(Printed("Chleb pszenny"));
        EXPECT_TRUE(Printed("Storno"));
        EXPECT_TRUE(Printed("SUMA PLN                           40,99"));
        EXPECT_TRUE(Printed("PTU A 23,00%"));
        // Older printers take the payments as printed lines and know of no change.
        EXPECT_EQ(Roll().find("RESZTA                              9,01") != std::string::npos,
                  c.type >= 4);
        EXPECT_TRUE(Printed("05-Ewa"));
    }
}

TEST_F(WholeSaleTest, DiscountsAndASecondCurrencyOnType8) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(Sell("Ser \xBE\xA2\x88ty plastry", 'B', 1099, 1000), 0);  // code page 852
    ASSERT_EQ(mfLineTicketExt(0, "Ser \xBE\xA2\x88ty plastry", 'B', "", 0, -1000, 100), 0);
    ASSERT_EQ(Sell("Wino czerwone", 'A', 3999, 1000), 0);
    ASSERT_EQ(mfEndTicket(1000, 0, 0, 4500, "EUR 4,5000", 0, "", 0, "", 0, "", 0, "", "", ""), 0);
    ASSERT_TRUE(printer->LastEndedReceipt().has_value());
    // 9,99 + 39,99 = 49,98 less 10 % (5,00) = 44,98.
    EXPECT_EQ(printer->TotalsOf(*printer->LastEndedReceipt()).gross, 4498);
    EXPECT_TRUE(Printed("Ser żółty plastry"));
    EXPECT_TRUE(Printed("EUR 4,5000"));
    EXPECT_TRUE(Printed("SUMA PLN                           44,98"));
}

TEST_F(WholeSaleTest, ADeclaredTotalThatTheLinesMeet) {
    ASSERT_EQ(mfBeginTicket(1250), 0);
    ASSERT_EQ(Sell("Bu\x88ka maślana", 'B', 125, 10000), 0);
    ASSERT_EQ(mfEndTicket(0, 0, 0, 1250, "Karta", 0, "", 0, "", 0, "", 0, "", "", ""), 0);
    EXPECT_EQ(printer->TotalsOf(*printer->LastEndedReceipt()).gross, 1250);
}

}  // namespace
}  // namespace tarn
