// Whole non-fiscal documents through the library, as the printer prints them.
#include <gtest/gtest.h>

#include <string>

#include "receipt_fixture.h"
#include "tarn/tarn.h"
#include "text/cp852.h"

namespace tarn {
namespace {

using test::ReceiptTest;

class NonFiscalRollTest : public ReceiptTest {
protected:
    ::testing::AssertionResult Printed(const std::string& utf8) const {
        const std::string roll = printer->Roll().AsUtf8();
        if (roll.find(utf8) != std::string::npos) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "not on the roll: " << utf8 << "\n" << roll;
    }
    std::string P(const char* utf8) const { return Utf8ToCp852(utf8); }
};

TEST_F(NonFiscalRollTest, PayInAndPayOut) {
    ASSERT_EQ(mfPrPayIn("KP/7", P("Jan Kowalski").c_str(), P("Zasilenie").c_str(), "150,00"), 0);
    EXPECT_TRUE(Printed("POKWITOWANIE WPŁATY"));
    EXPECT_TRUE(Printed("WPŁACAJĄCY                  Jan Kowalski"));
    EXPECT_TRUE(Printed("KWOTA                             150,00"));
    ASSERT_EQ(mfPrPayOut("KW/2", P("Jan Kowalski").c_str(), "nie drukowany", "20,00"), 0);
    EXPECT_TRUE(Printed("POKWITOWANIE WYPŁATY"));
    EXPECT_FALSE(Printed("nie drukowany"));
}

TEST_F(NonFiscalRollTest, AnOrderAndAReturn) {
    ASSERT_EQ(mfBgOrder(P("Stolik 4").c_str(), "Z/15"), 0);
    ASSERT_EQ(mfLineOrder(P("Żurek").c_str(), "2", P("bez jajka").c_str()), 0);
    ASSERT_EQ(mfLineOrder(P("Kompot").c_str(), "", ""), 0);
    ASSERT_EQ(mfEndOrder(), 0);
    EXPECT_TRUE(Printed("KWIT ZAMÓWIENIA"));
    EXPECT_TRUE(Printed("Żurek"));
    EXPECT_TRUE(Printed("bez jajka"));
    ASSERT_EQ(mfBgReturn("ZW/3", P("Anna Nowak").c_str(), 0), 0);
    ASSERT_EQ(mfLineReturn(P("Czajnik elektryczny").c_str(), "1", "89,99"), 0);
    ASSERT_EQ(mfEndReturn(), 0);
    EXPECT_TRUE(Printed("KWIT ZWROTU"));
    EXPECT_TRUE(Printed("Czajnik elektryczny"));
    EXPECT_TRUE(Printed("1 = -89,99"));
}

TEST_F(NonFiscalRollTest, ACardSlip) {
    ASSERT_EQ(mfPrEFT_Transaction(0, 1, 1, 0, 3, "Sklep", "VISA", "****1234", 12, 345, 678, 90, -1,
                                  "", 0, "", 'C', "Karta", "AID", 1234, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0, "", 0, 0, 0, 0, 0, 0, 0, 0),
              0);
    EXPECT_TRUE(Printed("PŁATNOŚĆ KARTĄ"));
    EXPECT_TRUE(Printed("PLN 12.34"));
    EXPECT_TRUE(Printed("Transakcja potwierdzona"));
}

TEST_F(NonFiscalRollTest, AShiftSettlement) {
    ASSERT_EQ(
        mfBgShiftReport("12", "2026-12-06 08:00", "2026-12-06 16:00", P("Anna Nowak").c_str()), 0);
    ASSERT_EQ(mfLineShiftReport(4, P("SPRZEDAŻ FISKALNA").c_str(), "", "1234,56", ""), 0);
    ASSERT_EQ(mfLineShiftReport(2, P("Gotówka").c_str(), "500,00", "510,00", "10,00"), 0);
    ASSERT_EQ(mfLineShiftReport(3, P("WPŁATA DO KASY").c_str(), "", "100,00", ""), 0);
    ASSERT_EQ(mfEndShiftReport(), 0);
    EXPECT_TRUE(Printed("ROZLICZENIE ZMIANY"));
    EXPECT_TRUE(Printed("1234,56"));
    EXPECT_TRUE(Printed("1334,56"));  // income: fiscal sales and the pay-in
}

// ESC would start a command and LF end a field: inside an application's text both are printed
// as spaces and the document goes on as laid out.
TEST_F(NonFiscalRollTest, CommandBytesInsideTextsArePrintedAsSpaces) {
    const std::string text =
        "Stolik\x1BQ\x1B"
        "2\n4";
    ASSERT_EQ(mfBgOrder(text.c_str(), "Z/16"), 0);
    ASSERT_EQ(mfLineOrder(text.c_str(), "", ""), 0);
    ASSERT_EQ(mfEndOrder(), 0);
    ASSERT_EQ(mfPrPayIn("KP/8", text.c_str(), "", "1,00"), 0);
    ASSERT_EQ(mfBgReturn("ZW/4", "Anna", 0), 0);
    ASSERT_EQ(mfLineReturn("Czajnik", text.c_str(), "1,00"), 0);
    ASSERT_EQ(mfEndReturn(), 0);
    ASSERT_EQ(mfBgShiftReport("13", "2026-12-06 08:00", "2026-12-06 16:00", "Anna"), 0);
    ASSERT_EQ(mfLineShiftReport(2, text.c_str(), "5,00", "5,00", "0,00"), 0);
    ASSERT_EQ(mfEndShiftReport(), 0);
    for (const sim::Frame& frame : printer->Frames()) {
        EXPECT_TRUE(frame.kind == sim::FrameKind::Command || frame.kind == sim::FrameKind::Form)
            << static_cast<int>(frame.kind) << " at " << frame.atMs;
    }
    EXPECT_FALSE(printer->ReceiptOpen());
    const std::string roll = printer->Roll().AsUtf8();
    size_t shown = 0;
    for (size_t at = roll.find("Stolik Q 2 4"); at != std::string::npos;
         at = roll.find("Stolik Q 2 4", at + 1))
        ++shown;
    EXPECT_EQ(shown, 5u) << roll;
}

}  // namespace
}  // namespace tarn
