// The shift settlement: the figures mfLineShiftReport hands over and the one record
// mfEndShiftReport sends; and the cashier settlement that prints nothing.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "library_test.h"
#include "roll.h"

namespace tarn {
namespace {

using test::Frame;

// Names as the application sends them (code page 852).
const char* const kCash = "Got\xA2wka";
const char* const kPayIn = "WP\x9D\x41TA DO KASY";
const char* const kPayOut = "WYP\x9D\x41TA Z KASY";
const char* const kFiscalSales = "SPRZEDA\xBD FISKALNA";
const char* const kIssued = "Opakowania wydane";

// A line code and the text cut to `width` and right-aligned in it, then LF.
std::string Field(const char* code, const std::string& text, size_t width = 20) {
    const std::string cut = text.substr(0, width);
    return code + std::string(width - cut.size(), ' ') + cut + "\n";
}

struct Figure {
    int type;
    const char *name, *counted, *cash, *difference;
    int result = 0;
};

class SettlementTest : public test::StartedLibraryTest {
protected:
    // The record the printer received for a settlement of these figures.
    Frame Settle(const std::vector<Figure>& figures, const std::string& number = "7",
                 const char* start = "01.12.2026 06:00") {
        EXPECT_EQ(mfBgShiftReport(number.c_str(), start, "01.12.2026 14:00:00 CET", "Jan"), 0);
        for (const Figure& f : figures) {
            EXPECT_EQ(mfLineShiftReport(f.type, f.name, f.counted, f.cash, f.difference), f.result);
            EXPECT_EQ(mfError(), f.result == 0 ? 0 : 771) << f.name;
        }
        Sent();
        EXPECT_EQ(mfEndShiftReport(), 0);
        const std::vector<Frame> records = Of(Sent(), 's');
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? "" : records[0];
    }
};

// The record whole, or the bytes that show what a row changes. The number, the dates and the
// person are cut to their fields, the start date loses the year of a "dd.mm.yyyy" date; an
// amount whose number does not fit 32 bits is refused with 771 and not kept.
TEST_F(SettlementTest, TheRecordCarriesTheKeptFiguresAndTheirSums) {
    const std::string x40(40, 'x'), blank = Field("", "");
    const std::string head = Field("50", "01.12.2026 14:00:00 ");
    const std::string cashHeading = "1434 Got\xA2wka PLN\n";
    const Figure cash{2, kCash, "", "", ""};
    const struct {
        std::vector<Figure> figures;
        std::string shown, number = "7";
        const char* start = "01.12.2026 06:00";
    } rows[] = {
        // clang-format off
        {{}, "\x1Bs3320\n30" + Field("", "7", 10) + "40" + Field("", "01.12 06:00", 12) + head +
             Field("70", "Jan") + "8090" + Field("41", "0,00") + "02OPAK. ZWROTNE\n" +
             Field("12", "0,00") + "22" + Field("32", "0,00") + "52" + Field("82", "0,00") +
             Field("03", "0,00") + "83" + Field("93", "0,00") + cashHeading + "44" + blank + "54" +
             blank + "6474" + blank + Field("45", "Jan") + "55\x1BQ"},
        {{{2, kCash, "1000,00", "1005,00", "5,00"}, {3, "Transakcje sprzeda\xBEy", "", "80", ""},
          {3, kPayIn, "", "200,00", ""}, {3, kPayOut, "", "-50,00", ""},
          {2, "Karta", "300,00", "300,00", "0,00"},
          {3, kPayIn, "", "999,99", ""},  // after a form other than cash: ignored
          {4, "Opakowania przyj.", "", "-3,00", ""}, {4, kIssued, "", "1,50", ""},
          {4, kFiscalSales, "", "1234,5", ""},  // one decimal: read as 123,45
          {2, "Bon", "10,00", "12,00", "-2,00"}, {5, "Bon", "1", "1", "1"},
          {4, "gotowka", "", "1", ""}},
         "8090" + Field("21", "123,45") + Field("41", "200,00") + "02OPAK. ZWROTNE\n" +
             Field("12", "1,50") + "22" + Field("32", "324,95") + "52" + Field("82", "50,00") +
             Field("03", "3,00") + "83" + Field("93", "53,00") + cashHeading +
             Field("44", "1005,00") + Field("54", "1000,00") + "64" + Field("74", "5,00") +
             "34Karta\n" + Field("44", "300,00") + Field("54", "300,00") + "64" +
             Field("74", "0,00") + "34Bon\n" + Field("44", "12,00") + Field("54", "10,00") + "64" +
             Field("74", "-2,00") + Field("45", "Jan") + "55\x1BQ"},
        {{}, "\x1Bs3320\n30" + x40.substr(0, 10) + "\n40" + Field("", "2026-", 12) + head +
             Field("70", "Jan") + "8090", x40, "2026-12-01"},
        {{}, "\n40" + Field("", "01", 12) + "50", "", "01"},
        {{}, "\n4001.12 06:00:\n50", "7", "01.12.2026 06:00:00 and more"},
        {{{4, kFiscalSales, "", "21474836,48", "", -2}}, "8090" + Field("41", "0,00")},
        {{{4, kFiscalSales, "", "21474836,47", ""}}, Field("21", "21474836,47")},
        {{cash, {3, kPayOut, "", "-21474836,48", "", -2}}, Field("82", "0,00")},  // minus dropped
        {{cash, {3, kPayIn, "", "-21474836,48", ""}}, Field("41", "-21474836,48")},
        {{{4, kIssued, "", "99999999999", "", -2}}, Field("12", "0,00")},
        {{cash, {2, "Kar\x1Bta\nX", "1,00", "1,00", "0,00"}}, "34Kar ta X\n"},  // no ESC, no LF
        {{cash, {4, kIssued, "", "21474836,47", ""}, {3, kPayIn, "", "21474836,47", ""},
          {4, kFiscalSales, "", "21474836,47", ""}}, Field("32", "64424509,41")},
        // clang-format on
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const Frame record = Settle(rows[i].figures, rows[i].number, rows[i].start);
        EXPECT_NE(record.find(rows[i].shown), std::string::npos) << record;
        EXPECT_FALSE(DocumentOpen());
    }
    EXPECT_TRUE(test::PrintedInOrder(*printer, {std::string(11, ' ') + "ROZLICZENIE ZMIANY",
                                                "RAZEM PRZYCHODY                   324,95"}));
}

// The record holds at most 1023 bytes: a row that would not leave room for the
// closing is left out, a shorter one that fills the record to the last byte still goes in. A row
// without a name ends the list, and ten rows are the most a settlement keeps.
TEST_F(SettlementTest, RowsThatDoNotFitOrFollowANamelessRowAreLeftOut) {
    const std::string longName(26, 'g'), filling(25, 'h');
    std::vector<std::string> names;
    for (char c = 'a'; c < 'g'; ++c) names.push_back(std::string(19, c) + "!");
    std::vector<Figure> figures;
    for (const std::string& name : names) figures.push_back({2, name.c_str(), "1", "1", "0"});
    figures.push_back({2, longName.c_str(), "1", "1", "0"});
    std::vector<Figure> first = figures;
    first.insert(
        first.end(),
        {{2, filling.c_str(), "1", "2", "3"}, {2, "", "1", "2", "3"}, {2, "Bon", "1", "2", "3"}});
    Frame record = Settle(first);
    // 360 bytes without rows, 74 for a row beside its name.
    EXPECT_EQ(record.size(), 360u + 6 * 94 + 99);
    EXPECT_NE(record.find("34" + names[5] + "\n"), std::string::npos);
    EXPECT_EQ(record.find("34" + longName), std::string::npos);
    EXPECT_EQ(record.substr(record.size() - 27 - 99, 29), "34" + filling + "\n4");
    EXPECT_TRUE(Logged("In mfEndShiftReport lista i=897, x=6 does not fit, left out"));
    // A new settlement starts empty; an eleventh row is not kept, though it would fit.
    const Figure longRow = figures.back();
    figures.insert(figures.end(), 3, longRow);
    figures.push_back({2, "Bon", "1", "2", "3"});
    EXPECT_EQ(Settle(figures).size(), 360u + 6 * 94);
}

// The settlement opens over a receipt, and is closed even when its record fails.
TEST_F(SettlementTest, AFailedRecordStillClosesTheSettlement) {
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(mfBgShiftReport("7", "", "", ""), 0);
    platform->FailWriteStarting({0x1B, 's'});
    EXPECT_EQ(mfEndShiftReport(), -2);
    EXPECT_EQ(mfError(), 514);
    EXPECT_TRUE(Logged("In mfEndShiftReport result: -2, ans: 0"));
    EXPECT_EQ(mfLineShiftReport(2, "Karta", "", "", ""), -2);
    EXPECT_EQ(mfError(), 780);
    EXPECT_EQ(mfEndShiftReport(), -2);
    EXPECT_EQ(mfError(), 780);
    EXPECT_TRUE(printer->ReceiptOpen());
}

TEST_F(SettlementTest, TheCashierSettlementIsOnlyLogged) {
    EXPECT_EQ(mfBgCashierReport(1, 2), 0);
    EXPECT_EQ(mfLineCashierReport(0, "Karta", "1,00", "2,00", nullptr), 0);
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(
        Logged("In mfLineCashierReport,name: Karta, counted: 1,00, cash: 2,00, difference "));
}

}  // namespace
}  // namespace tarn
