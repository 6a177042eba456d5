// The shift settlement: the figures kept from mfLineShiftReport, the record mfEndShiftReport
// sends, and the cashier settlement that prints nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receipt_fixture.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

using test::ReceiptTest;

// Names as the application sends them (code page 852).
const char* const kCash = "Got\xA2wka";
const char* const kSales = "Transakcje sprzeda\xBEy";
const char* const kPayIn =
    "WP\x9D"
    "ATA DO KASY";
const char* const kPayOut =
    "WYP\x9D"
    "ATA Z KASY";
const char* const kFiscalSales = "SPRZEDA\xBD FISKALNA";

// A line code and an amount right-aligned in 20, then LF.
std::string Amount(const char* code, const std::string& text) {
    return code + std::string(20 - text.size(), ' ') + text + "\n";
}

const std::string kCashHeading = "1434 Got\xA2wka PLN\n";

class SettlementTest : public ReceiptTest {
protected:
    void SetUp() override {
        ReceiptTest::SetUp();
        Sent();
    }
    void Open(const char* person = "Jan") {
        ASSERT_EQ(mfBgShiftReport("7", "01.12.2026 06:00", "01.12.2026 14:00", person), 0);
    }
    // The records the printer received since the last call.
    std::vector<std::string> Records() {
        std::vector<std::string> records;
        for (const auto& frame : printer->Frames()) {
            if (frame.kind == sim::FrameKind::Form)
                records.emplace_back(frame.bytes.begin(), frame.bytes.end());
        }
        printer->ClearFrames();
        return records;
    }
    std::string EndAndTakeRecord() {
        EXPECT_EQ(mfEndShiftReport(), 0);
        const std::vector<std::string> records = Records();
        return records.size() == 1 ? records[0] : "";
    }
    // The heading of Open(): number, start and end dates, the person.
    std::string Heading(const std::string& person = "Jan") {
        return "\x1bs33"
               "20\n30" +
               std::string(9, ' ') + "7\n40 01.12 06:00\n50" + std::string(4, ' ') +
               "01.12.2026 14:00\n" + Amount("70", person) + "8090";
    }
};

TEST_F(SettlementTest, ASettlementWithoutFiguresPrintsZeros) {
    Open("Anna Nowak");
    const std::string blank = std::string(20, ' ') + "\n";
    const std::string expected =
        Heading("Anna Nowak") + Amount("41", "0,00") + "02OPAK. ZWROTNE\n" + Amount("12", "0,00") +
        "22" + Amount("32", "0,00") + "52" + Amount("82", "0,00") + Amount("03", "0,00") + "83" +
        Amount("93", "0,00") + kCashHeading + "44" + blank + "54" + blank + "6474" + blank +
        Amount("45", "Anna Nowak") + "55\x1bQ";
    const std::string record = EndAndTakeRecord();
    EXPECT_EQ(record, expected);
    EXPECT_EQ(record.size(), 360u);
    EXPECT_FALSE(Lib().IsDocumentOpen(MF_DOC_SHIFT_REPORT));
}

TEST_F(SettlementTest, FiguresAreKeptByNameAndAddedUp) {
    Open();
    const struct {
        int type;
        const char* name;
        const char* counted;
        const char* cash;
        const char* difference;
    } lines[] = {
        {2, kCash, "1000,00", "1005,00", "5,00"},
        {3, kSales, "", "800,00", ""},
        {3, kPayIn, "", "200,00", ""},
        {3, kPayOut, "", "-50,00", ""},
        {2, "Karta", "300,00", "300,00", "0,00"},
        {3, kPayIn, "", "999,99", ""},  // not cash: ignored
        {4, "Opakowania przyj.", "", "-3,00", ""},
        {4, "Opakowania wydane", "", "1,50", ""},
        {4, kFiscalSales, "", "1234,5", ""},  // one decimal: read as 123,45
        {2, "Bon", "10,00", "12,00", "-2,00"},
        {5, "Bon", "1", "1", "1"},
        {4, "gotowka", "", "1", ""},
    };
    for (const auto& l : lines) {
        EXPECT_EQ(mfLineShiftReport(l.type, l.name, l.counted, l.cash, l.difference), 0);
    }
    EXPECT_STREQ(Lib().settlement.salesTransactions, "800,00");
    const std::string expected =
        Heading() + Amount("21", "123,45") + Amount("41", "200,00") + "02OPAK. ZWROTNE\n" +
        Amount("12", "1,50") + "22" + Amount("32", "324,95") + "52" + Amount("82", "50,00") +
        Amount("03", "3,00") + "83" + Amount("93", "53,00") + kCashHeading +
        Amount("44", "1005,00") + Amount("54", "1000,00") + "64" + Amount("74", "5,00") +
        "34Karta\n" + Amount("44", "300,00") + Amount("54", "300,00") + "64" +
        Amount("74", "0,00") + "34Bon\n" + Amount("44", "12,00") + Amount("54", "10,00") + "64" +
        Amount("74", "-2,00") + Amount("45", "Jan") + "55\x1bQ";
    EXPECT_EQ(EndAndTakeRecord(), expected);
}

TEST_F(SettlementTest, RowsThatDoNotFitTheRecordAreLeftOut) {
    Open();
    ASSERT_EQ(mfLineShiftReport(4, kFiscalSales, "", "100,00", ""), 0);
    for (int i = 0; i < 11; ++i) {
        const std::string name = std::string(29, static_cast<char>('a' + i)) + "!";
        ASSERT_EQ(mfLineShiftReport(2, name.c_str(), "1,00", "1,00", "0,00"), 0);
    }
    EXPECT_EQ(Lib().settlement.rowCount, 10);
    const std::string record = EndAndTakeRecord();
    // 383 bytes without rows, 104 for each row of a 30-character name.
    EXPECT_EQ(record.size(), 383u + 6 * 104);
    EXPECT_NE(record.find("34" + std::string(29, 'f') + "!\n"), std::string::npos);
    EXPECT_EQ(record.find("34" + std::string(29, 'g')), std::string::npos);
    EXPECT_EQ(record.substr(record.size() - 27), Amount("45", "Jan") + "55\x1bQ");
    EXPECT_NE(LogText().find("does not fit"), std::string::npos);
}

TEST_F(SettlementTest, ARowWithoutANameEndsTheListAndANewSettlementStartsEmpty) {
    Open();
    for (const char* name : {"Karta", "", "Bon"}) {
        ASSERT_EQ(mfLineShiftReport(2, name, "1,00", "2,00", "3,00"), 0);
    }
    ASSERT_EQ(mfLineShiftReport(4, kFiscalSales, "", "10,00", ""), 0);
    std::string record = EndAndTakeRecord();
    EXPECT_NE(record.find("34Karta\n"), std::string::npos);
    EXPECT_EQ(record.find("34Bon\n"), std::string::npos);

    Open();
    ASSERT_EQ(mfLineShiftReport(2, "Czek", "1,00", "2,00", "3,00"), 0);
    record = EndAndTakeRecord();
    EXPECT_EQ(record.find("34Karta\n"), std::string::npos);
    EXPECT_NE(record.find("34Czek\n"), std::string::npos);
    EXPECT_EQ(record.find("\n21"), std::string::npos);
    EXPECT_EQ(record.size(), 360u + 74 + 4);
}

TEST_F(SettlementTest, HeadingTextsAreCutAndTheStartDateLosesItsYear) {
    const std::string longText(40, 'x');
    const struct {
        const char* startDate;
        const char* kept;
    } dates[] = {
        {"01.12.2026 06:00", "01.12 06:00"},
        {"2026-12-01", "2026-"},
        {"01", "01"},
        {"01.12.2026 06:00:00 and more", "01.12 06:00:00 and "},
    };
    for (const auto& d : dates) {
        ASSERT_EQ(
            mfBgShiftReport(longText.c_str(), d.startDate, longText.c_str(), longText.c_str()), 0);
        EXPECT_STREQ(Lib().settlement.startDate, d.kept);
    }
    EXPECT_EQ(std::string(Lib().settlement.shiftNumber), longText.substr(0, 27));
    EXPECT_EQ(std::string(Lib().settlement.endDate), longText.substr(0, 23));
    EXPECT_EQ(std::string(Lib().settlement.personName), longText.substr(0, 27));
    const std::string record = EndAndTakeRecord();
    EXPECT_EQ(record.substr(0, 34),
              "\x1bs33"
              "20\n30" +
                  longText.substr(0, 10) + "\n4001.12 06:00:");
}

TEST_F(SettlementTest, AnAmountBeyond32BitsIsRefusedAndNotKept) {
    const struct {
        int type;
        const char* name;
        const char* cash;
        bool kept;
    } rows[] = {
        {4, kFiscalSales, "21474836,48", false}, {4, kFiscalSales, "21474836,47", true},
        {3, kPayOut, "-21474836,48", false},  // kept without its minus
        {3, kPayIn, "-21474836,48", true},       {4, "Opakowania wydane", "99999999999", false},
    };
    for (const auto& r : rows) {
        ASSERT_EQ(mfBgShiftReport("7", "", "", ""), 0);
        ASSERT_EQ(mfLineShiftReport(2, kCash, "", "", ""), 0);
        EXPECT_EQ(mfLineShiftReport(r.type, r.name, "", r.cash, ""), r.kept ? 0 : -2) << r.cash;
        EXPECT_EQ(Lib().mfErrorL, r.kept ? 0 : 771);
        const ShiftSettlement& s = Lib().settlement;
        const std::string kept =
            std::string(s.fiscalSales) + s.payOuts + s.payIns + s.packagingIssued;
        EXPECT_EQ(kept.empty(), !r.kept) << r.cash;
    }
    // The largest totals stay exact in 64 bits.
    ASSERT_EQ(mfLineShiftReport(4, "Opakowania wydane", "", "21474836,47", ""), 0);
    ASSERT_EQ(mfLineShiftReport(3, kPayIn, "", "21474836,47", ""), 0);
    ASSERT_EQ(mfLineShiftReport(4, kFiscalSales, "", "21474836,47", ""), 0);
    EXPECT_NE(EndAndTakeRecord().find(Amount("32", "64424509,41")), std::string::npos);
}

TEST_F(SettlementTest, TheSettlementClosesEvenWhenTheLinkFailsButTheFailureIsReported) {
    Open();
    platform->FailWriteStarting({0x1B, 's'});
    EXPECT_EQ(mfEndShiftReport(), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
    EXPECT_FALSE(Lib().IsDocumentOpen(MF_DOC_SHIFT_REPORT));
    EXPECT_EQ(mfLineShiftReport(2, "Karta", "", "", ""), -2);
    EXPECT_EQ(Lib().mfErrorL, 780);
    EXPECT_EQ(mfEndShiftReport(), -2);
    EXPECT_EQ(Lib().mfErrorL, 780);
    EXPECT_NE(LogText().find("In mfEndShiftReport result: -2"), std::string::npos);
}

TEST_F(SettlementTest, ItOpensOverOtherDocumentsAndOnlyOnType5AndAbove) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    Open();
    ASSERT_EQ(mfLineShiftReport(2, "Karta", "1", "1", "1"), 0);
    Open();  // again: emptied
    EXPECT_EQ(Lib().settlement.rowCount, 0);
    EXPECT_TRUE(ReceiptOpen());

    StartOn(4, 4);
    Lib().documentFlags = 0;
    Sent();
    EXPECT_EQ(mfBgShiftReport("1", "", "", ""), 1);
    Lib().documentFlags = MF_DOC_SHIFT_REPORT;
    EXPECT_EQ(mfLineShiftReport(2, "Karta", "", "", ""), 1);
    EXPECT_EQ(mfEndShiftReport(), 1);
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_TRUE(Sent().empty());
    mfStop();
    EXPECT_EQ(mfBgShiftReport("1", "", "", ""), -1);
    EXPECT_EQ(mfLineShiftReport(2, "Karta", "", "", ""), -1);
    EXPECT_EQ(mfEndShiftReport(), -1);
}

TEST_F(SettlementTest, TheCashierSettlementIsOnlyLogged) {
    EXPECT_EQ(mfBgCashierReport(1, 2), 0);
    EXPECT_EQ(mfLineCashierReport(0, "Karta", "1,00", "2,00", nullptr), 0);
    EXPECT_TRUE(Sent().empty());
    EXPECT_NE(LogText().find("In mfLineCashierReport,name: Karta, counted: 1,00, cash: 2,00, "
                             "difference "),
              std::string::npos);
    mfStop();
    EXPECT_EQ(mfBgCashierReport(1, 2), -1);
    EXPECT_EQ(mfLineCashierReport(0, "Karta", "", "", ""), -1);
}

}  // namespace
}  // namespace tarn
