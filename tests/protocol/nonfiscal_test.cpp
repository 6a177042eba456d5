// Pay-in and pay-out, mfPrVISA, the voucher, orders, returns, mfPrVoid and the shift and cashier
// settlements: the form records sent and printed, the printers that have them, the waits after
// them and the open-document rules around them.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "card_slips.h"
#include "library_test.h"
#include "roll.h"

namespace tarn {
namespace {

using test::Frame;
using NonfiscalFormsTest = test::StartedLibraryTest;
using Call = int (*)();

// A line code and the text cut to the field and right-aligned (width > 0) or left-aligned
// (width < 0) in it, then LF.
std::string Line(const char* code, const std::string& text, int width = 20) {
    const size_t field = static_cast<size_t>(width < 0 ? -width : width);
    const std::string cut = text.substr(0, field), pad(field - cut.size(), ' ');
    return code + (width < 0 ? cut + pad : pad + cut) + "\n";
}

int Visa(int flag1, int flag2, const std::string& text18) {
    return mfPrVISA(flag1, flag2, "t3", "t4", "t5", "t6", "t7", "t8", "t9", "t10", "t11", "t12",
                    "t13", "t14", "t15", "t16", "t17", text18.c_str());
}
// A voucher of texts "t9" to "t12" and numbers 5 to 8 all `number` (-1 leaves 5 to 7 out).
int Voucher(int kind, const char* dateTime = "202612011430", const char* t15 = "",
            const char* t16 = "", int number = 0) {
    return mfPrPrePaid_Voucher(kind, dateTime, "Karta podarunkowa", "PLN", number, number, number,
                               number, "t9", "t10", "t11", "t12", "", 0, t15, t16);
}
int Return(const std::string& quantity, const char* total) {
    EXPECT_EQ(mfBgReturn("1", "", 0), 0);
    return mfLineReturn("", quantity.c_str(), total);
}
using test::Coded;
// An application's text with the bytes that start a command and end a field.
const char* const kCommandBytes = "Stolik\x1BQ\x1B\x32\n4";

// clang-format off
const Call kPayIn = [] { return mfPrPayIn("a", "b", "c", "d"); };
const Call kPayOut = [] { return mfPrPayOut("a", "b", "c", "d"); };
const Call kVisa = [] { return Visa(0, 0, ""); };
const Call kVoucher = [] { return Voucher(1); };
const Call kBgOrder = [] { return mfBgOrder("a", "b"); };
const Call kLineOrder = [] { return mfLineOrder("a", "b", "c"); };
const Call kBgReturn = [] { return mfBgReturn("1", "Anna", 0); };
const Call kReturnItem = [] { return mfLineReturn("Mleko", "1", "2,99"); };
const Call kCardPayment = [] { return test::Transaction({}); };
const Call kCardReversal = [] { return test::Reversal({}); };
const Call kCardRegistration = [] { return test::Offline({}); };
// clang-format on

// Each document's record: whole, or the bytes that show what a row changes (its tail, ESC 'Q'
// included, or its lines). ESC and LF in an application's text go out as spaces.
TEST_F(NonfiscalFormsTest, EachDocumentIsOneRecord) {
    const std::string payHead = Line("10", "KP/7", 20) + Line("20", "Przedsiebiorstwo Han", 20);
    const std::string payTail = Line("40", "150,00", 20) + "70\x1BQ";
    const std::string voucherHead = "\x1Bs233001  2026-12-01   \n11   14:30   \n" +
                                    Line("21", "Karta podarunkowa", -20) + Line("31", "PLN", -10);
    std::string text18;
    for (int i = 0; i < 100; ++i) text18 += static_cast<char>('A' + i % 26);
    const auto piece = [&](const char* code, size_t from, size_t length) {
        return Line(code, text18.substr(from, length), -31);
    };
    const std::string q20(20, 'q'), q25(25, 'q'), q26(26, 'q');
    // clang-format off
    const struct { std::function<int()> call; std::string shown; } rows[] = {
        {[] { return mfPrPayIn("KP/7", "Przedsiebiorstwo Handlowe", "Zasilenie", "150,00"); },
         "\x1Bs20" + payHead + Line("30", "Zasilenie", 20) + payTail},
        {[] { return mfPrPayOut("KP/7", "Przedsiebiorstwo Handlowe", "x", "150,00"); },
         "\x1Bs30" + payHead + payTail},
        {[] { return Visa(1, 1, "t18"); },
         "\x1Bs80" + Line("10", "t3", 23) + "20" + Line("30", "t4", 23) + Line("40", "t6", 34) +
             Line("50", "t5", 27) + Line("60", "t11", 34) + Line("70", "t7", 35) +
             Line("80", "t8", 35) + Line("90", "t9", 33) + Line("01", "t10", 32) + "11" +
             Line("21", "t12", 33) + Line("31", "t13", 30) + "41" + Line("51", "t14", 21) + "61" +
             Line("71", "t15", 30) + Line("81", "t16", 30) + Line("91", "t17", -31) +
             Line("02", "t18", -31) + "3242526272829203132333\x1BQ"},
        // text18 over up to three lines of 31, then the ending by the two flags.
        {[] { return Visa(0, 0, ""); }, "\n" + Line("02", "", -31) + "324272\x1BQ"},
        {[&] { return Visa(1, 0, text18.substr(0, 31)); },
         "\n" + piece("02", 0, 31) + "3242526272\x1BQ"},
        {[&] { return Visa(0, 1, text18.substr(0, 32)); },
         "\n" + piece("02", 0, 31) + piece("12", 31, 1) + "3242728292031323\x1BQ"},
        {[&] { return Visa(1, 1, text18); }, "\n" + piece("02", 0, 31) + piece("12", 31, 31) +
             piece("22", 62, 31) + "3242526272829203132333\x1BQ"},
        {[] { return mfPrPrePaid_Voucher(1, "202612011430", "Karta podarunkowa", "PLN", 5, 6, 7, 8,
                                         "t9", "t10", "t11", "t12", "t13", 1, "t15", "t16"); },
         voucherHead + Line("41", "5", 25) + Line("61", "7", 29) + Line("71", "6", 25) +
             Line("81", "t9", 31) + Line("91", "t10", 30) + Line("12", "t11", 25) + "32" +
             Line("82", "t15", 21) + Line("92", "1", 24) + Line("23", "8", 27) +
             Line("33", "t12", 25) + "53" + Line("63", "t13", 19) + "7383" +
             Line("14", "t16", 36) + "\x1BQ"},
        {[] { return Voucher(9, "202612011430", "", "", -1); },
         voucherHead + Line("81", "t9", 31) + Line("91", "t10", 30) + Line("12", "t11", 25) +
             Line("23", "-1", 27) + Line("33", "t12", 25) + "\x1BQ"},
        // The kind's line; the last line: text16, else text15. A short date and time read as padded
        // with spaces.
        {[] { return Voucher(2); }, Line("41", "0", 25) + Line("61", "0", 29) +
             Line("71", "0", 25) + Line("81", "t9", 31) + Line("91", "t10", 30) +
             Line("12", "t11", 25) + "52" + Line("23", "0", 27) + Line("33", "t12", 25) + "\x1BQ"},
        {[] { return Voucher(3); }, "t11\n62" + Line("23", "0", 27)},
        {[] { return Voucher(4); }, "t11\n72" + Line("23", "0", 27)},
        {[] { return Voucher(5); }, "t11\n42" + Line("23", "0", 27)},
        {[] { return Voucher(1, "202612011430", "t15"); },
         Line("33", "t12", 25) + Line("14", "t15", 36)},
        {[] { return Voucher(0, "2026120114"); }, "3001  2026-12-01   \n11   14:     \n21"},
        {[] { return Voucher(0, nullptr); }, "3001      -  -     \n11     :     \n21"},
        {[] { mfBgOrder("Jan Kowalski", "Stolik 5"); mfLineOrder("Kompot", "", "not printed");
              mfLineOrder(kCommandBytes, "bez cukru", "x2"); return mfEndOrder(); },
         "\x1Bs70" + Line("10", "Stolik 5", 27) + Line("20", "Jan Kowalski", 33) + "30" +
             Line("40", "Kompot", 33) + "70" + Line("40", "Stolik Q 2 4", 33) +
             Line("50", "bez cukru", 27) + Line("60", "x2", 33) + "7090\x1BQ"},
        // The return, whole with its one item: the number cut to 27, the person to 20.
        {[] { mfBgReturn("ZW/777777777777777777777777777", "Anna Maria Nowak-Kowalska z domu", 0);
              return mfLineReturn("Mleko 2%", "2 szt", "5,98"); },
         "\x1Bs51" + Line("10", "ZW/777777777777777777777777", 30) + Line("20", "Mleko 2%", 30) +
             Line("40", "2 szt = -5,98", -30) + Line("60", "Anna Maria Nowak-Kow", -20) +
             "70\n\x1BQ"},
        // Line "40": the quantity whole, " = -" while it is shorter than 26, the total where
        // both fit in 30.
        {[&] { return Return(q20, "1234,56"); }, "\n40" + q20 + " = -\n60"},
        {[&] { return Return(q20, "123,45"); }, "\n40" + q20 + " = -123,45\n60"},
        {[&] { return Return(q25, ""); }, "\n40" + q25 + " = - \n60"},
        {[&] { return Return(q26, ""); }, "\n40" + q26 + "\n60"},
        {[] { return Return(kCommandBytes, "1,00"); }, "\n40Stolik Q 2 4 = -1,00"},
    };
    // clang-format on
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        StartOn(8);
        EXPECT_EQ(Coded(rows[i].call()), std::make_pair(0, 0));
        const std::vector<Frame> records = Of(Sent(), 's');
        ASSERT_EQ(records.size(), 1u);
        EXPECT_NE(records[0].find(rows[i].shown), std::string::npos) << records[0];
    }
}

// Orders and returns from type 5, and on type 4 from version 4; the voucher from type 5 or
// version 4 (its last line from type 8); the shift settlement from type 5. Without them the
// pieces answer 1 and send nothing, but a return still refuses to open over another document.
TEST_F(NonfiscalFormsTest, ThePrintersThatHaveTheForms) {
    // clang-format off
    const struct { int type, version; bool forms, voucher, settlement; } printers[] = {
        {2, 3, false, false, false}, {2, 4, false, true, false}, {4, 3, false, false, false},
        {4, 4, true, true, false}, {8, 2, true, true, true}, {10, 1, true, true, true}};
    // clang-format on
    for (const auto& p : printers) {
        SCOPED_TRACE(testing::Message() << p.type << "." << p.version);
        StartOn(p.type, p.version);
        int maxLines = -1;
        EXPECT_EQ(mfParMaxLinesReturn(&maxLines), 0);
        EXPECT_EQ(
            (std::vector<int>{mfParOrder(), mfParReturn(), maxLines, mfParPrePaid_Voucher()}),
            (std::vector<int>{p.forms ? 0 : -3, p.forms ? 0 : -3, p.forms, p.voucher ? 0 : -3}));
        EXPECT_EQ(Voucher(1, "202612011430", "t15", "t16"), p.voucher ? 0 : 1);
        const std::vector<Frame> vouchers = Of(Sent(), 's');
        EXPECT_EQ(vouchers.size(), p.voucher ? 1u : 0u);
        EXPECT_EQ(p.voucher && vouchers[0].find("\n14") != std::string::npos, p.type >= 8);
        EXPECT_EQ((std::vector<int>{mfBgShiftReport("1", "", "", ""),
                                    mfLineShiftReport(2, "Karta", "", "", ""), mfEndShiftReport()}),
                  std::vector<int>(3, p.settlement ? 0 : 1));
        EXPECT_EQ(Of(Sent(), 's').size(), p.settlement ? 1u : 0u);
        if (p.forms) continue;
        for (Call call : {kBgOrder, kLineOrder, mfEndOrder, kBgReturn, kReturnItem, mfEndReturn})
            EXPECT_EQ(Coded(call()), std::make_pair(1, 0));
        ASSERT_EQ(mfBeginTicket(-1), 0);
        Sent();
        EXPECT_EQ(Coded(kBgReturn()), std::make_pair(-2, 779));
        EXPECT_TRUE(Sent().empty());
    }
}

// A failed head leaves no order; a failed piece leaves it open; a failed end closes it anyway.
TEST_F(NonfiscalFormsTest, OrderPiecesNeedTheirOrderAndAFailedEndStillClosesIt) {
    // clang-format off
    const struct { std::vector<uint8_t> failing; int head, line, lineCode, end, endCode; }
    rows[] = {
        {{0x1B, 's'}, -2, -2, 780, -2, 780}, {{'4', '0'}, 0, -2, 514, 0, 0},
        {{'9', '0'}, 0, 0, 0, -2, 514}};  // a failure gives 514, a missing order 780
    // clang-format on
    for (const auto& r : rows) {
        platform->FailWriteStarting(r.failing);
        EXPECT_EQ(kBgOrder(), r.head);
        EXPECT_EQ(Coded(mfLineOrder("c", "", "")), std::make_pair(r.line, r.lineCode));
        EXPECT_EQ(DocumentOpen(), r.head == 0);
        EXPECT_EQ(Coded(mfEndOrder()), std::make_pair(r.end, r.endCode));
        EXPECT_FALSE(DocumentOpen());
    }
    EXPECT_TRUE(Logged("In mfEndOrder, result: -2"));
}

// A return holds one item; a refused item, or one too long for the command, leaves it open for
// the item to come again.
TEST_F(NonfiscalFormsTest, AReturnTakesOneItem) {
    const std::string tooLong(1100, 'q');
    // clang-format off
    const struct { std::function<int()> call; int result, code; size_t sent; } rows[] = {
        {[&] { return mfLineReturn("", tooLong.c_str(), "1"); }, -2, 771, 0},
        {[&] { printer->RefuseNext({3, 0, 2, 0}); return kReturnItem(); }, -2, 784, 1},
        {[] { return mfLineReturn(nullptr, nullptr, nullptr); }, 0, 0, 1},
        {kReturnItem, -2, 769, 0}, {mfEndReturn, 0, 0, 0}, {mfEndReturn, -2, 780, 0},
        {kReturnItem, -2, 780, 0},  // sent: ESC 's' frames, a refused head included
    };
    // clang-format on
    ASSERT_EQ(kBgReturn(), 0);
    EXPECT_TRUE(Sent().empty());
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Coded(rows[i].call()), std::make_pair(rows[i].result, rows[i].code));
        EXPECT_EQ(Of(Sent(), 's').size(), rows[i].sent);
        EXPECT_EQ(DocumentOpen(), i < 4);
    }
}

// Nothing opens over a receipt, an order, a return or a settlement; the offline registration and
// the voucher are printed whatever is open. mfPrVoid ends an open order with its last piece, drops
// a return and a settlement, and leaves a fiscal receipt alone.
TEST_F(NonfiscalFormsTest, DocumentsAreNotOpenedOverAnother) {
    EXPECT_EQ(mfPrVoid(), 0);
    EXPECT_TRUE(Sent().empty());
    const Frame order = "\x1Bs70" + Line("10", "b", 27) + Line("20", "a", 33) + "3090\x1BQ";
    // clang-format off
    const struct { Call open, end; std::vector<Frame> voided; } documents[] = {
        {[] { return mfBeginTicket(-1); }, mfStornoTicket, {}}, {kBgOrder, mfEndOrder, {order}},
        {kBgReturn, mfEndReturn, {}},
        {[] { return mfBgShiftReport("1", "", "", ""); }, mfEndShiftReport, {}}};
    // clang-format on
    for (const auto& d : documents) {
        ASSERT_EQ(d.open(), 0);
        Sent();
        for (Call print :
             {kPayIn, kPayOut, kVisa, kCardPayment, kCardReversal, kBgOrder, kBgReturn}) {
            EXPECT_EQ(Coded(print()), std::make_pair(-2, 779));
            EXPECT_TRUE(Sent().empty());
            EXPECT_TRUE(DocumentOpen());
        }
        const bool receipt = d.end == mfStornoTicket;
        EXPECT_EQ(Coded(mfPrVoid()), std::make_pair(0, 0));
        EXPECT_EQ(Of(Sent(), 's'), d.voided);
        EXPECT_EQ(printer->ReceiptOpen(), receipt);
        EXPECT_EQ(d.end(), receipt ? 0 : -2);
    }
    ASSERT_EQ(kBgReturn(), 0);
    EXPECT_EQ(kCardRegistration(), 0);
    EXPECT_EQ(kVoucher(), 0);
    EXPECT_EQ(Of(Sent(), 's').size(), 2u);
}

// After the record the printer is waited for: 200 ms, then status byte 2 every 100 ms while it
// is busy. A return item pauses 100 ms before the wait and, once printed, after it; a printer
// below type 4 settles 800 ms after a frame's head and its acknowledge, and pauses a second
// after a card-terminal slip. A failed one-shot document is still waited for and keeps its
// code; a refused card-terminal slip or voucher returns at once.
TEST_F(NonfiscalFormsTest, ThePausesAndWaitsAfterADocument) {
    // clang-format off
    const struct { Call call; int type, version, busyMs; bool refused; int result; int64_t elapsed;
                   size_t polls; } rows[] = {
        {kReturnItem, 8, 2, 0, false, 0, 400, 1},     {kReturnItem, 4, 4, 0, false, 0, 400, 1},
        {kReturnItem, 8, 2, 1000, false, 0, 1200, 9}, {kReturnItem, 8, 2, 0, true, -2, 300, 1},
        {kReturnItem, 3, 1, 0, false, 1, 0, 0},  // no forms: nothing sent, no pause
        {kCardRegistration, 4, 4, 0, false, 0, 200, 1},
        {kCardRegistration, 3, 1, 0, false, 0, 800 + 800 + 1000 + 200 + 800, 1},
        {kPayIn, 8, 2, 1000, true, -2, 1100, 10},     {kVisa, 8, 2, 1000, true, -2, 1100, 10},
        {kReturnItem, 8, 2, 1000, true, -2, 1100, 9}, {kCardPayment, 8, 2, 1000, true, -2, 0, 0},
        {kVoucher, 8, 2, 1000, true, -2, 0, 0},
        {kPayIn, 8, 2, 40000, false, 0, 30200, 301},  // the wait gives up after 30 s
        {kVisa, 8, 2, 40000, false, 0, 30200, 301},
        {kReturnItem, 8, 2, 40000, false, 0, 100 + 20200 + 100, 201},  // a return item's: 20 s
        // An older printer's polls take 900 ms: no poll starts after the wait's 15 s.
        {kCardRegistration, 3, 1, 100000, false, 0, 18000, 17},
    };
    // clang-format on
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& r = rows[i];
        SCOPED_TRACE(i);
        StartOn(r.type, r.version);
        printer->State().model.printMsPerLine = 0;  // busy only when told to be
        if (r.call == kReturnItem) {
            ASSERT_EQ(kBgReturn(), r.type == 3 ? 1 : 0);
        }
        if (r.refused) printer->RefuseNext({0x03, 0x00, 0x02, 0x00});  // out of paper
        const int64_t start = Now();
        printer->StayBusyUntil(start + r.busyMs);
        EXPECT_EQ(Coded(r.call()), std::make_pair(r.result, r.refused ? 784 : 0));
        EXPECT_EQ(Now() - start, r.elapsed);
        EXPECT_EQ(Of(Sent(), 'U').size() - r.refused, r.polls);  // a refusal reads byte 2 too
    }
}

// Names as the application sends them (code page 852).
const char* const kCash = "Got\xA2wka";
const char* const kPayInName = "WP\x9D\x41TA DO KASY";
const char* const kPayOutName = "WYP\x9D\x41TA Z KASY";
const char* const kFiscalSales = "SPRZEDA\xBD FISKALNA";
const char* const kIssued = "Opakowania wydane";

struct Figure {
    int type;
    const char *name, *counted, *cash, *difference;
    int result = 0;
};

class SettlementTest : public test::StartedLibraryTest {
protected:
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
    const std::string x40(40, 'x'), blank = Line("", "");
    const std::string head = Line("50", "01.12.2026 14:00:00 ");
    const std::string cashHeading = "1434 Got\xA2wka PLN\n";
    const Figure cash{2, kCash, "", "", ""};
    const struct {
        std::vector<Figure> figures;
        std::string shown, number = "7";
        const char* start = "01.12.2026 06:00";
    } rows[] = {
        // clang-format off
        {{}, "\x1Bs3320\n30" + Line("", "7", 10) + "40" + Line("", "01.12 06:00", 12) + head +
             Line("70", "Jan") + "8090" + Line("41", "0,00") + "02OPAK. ZWROTNE\n" +
             Line("12", "0,00") + "22" + Line("32", "0,00") + "52" + Line("82", "0,00") +
             Line("03", "0,00") + "83" + Line("93", "0,00") + cashHeading + "44" + blank + "54" +
             blank + "6474" + blank + Line("45", "Jan") + "55\x1BQ"},
        {{{2, kCash, "1000,00", "1005,00", "5,00"}, {3, "Transakcje sprzeda\xBEy", "", "80", ""},
          {3, kPayInName, "", "200,00", ""}, {3, kPayOutName, "", "-50,00", ""},
          {2, "Karta", "300,00", "300,00", "0,00"},
          {3, kPayInName, "", "999,99", ""},  // after a form other than cash: ignored
          {4, "Opakowania przyj.", "", "-3,00", ""}, {4, kIssued, "", "1,50", ""},
          {4, kFiscalSales, "", "1234,5", ""},  // one decimal: read as 123,45
          {2, "Bon", "10,00", "12,00", "-2,00"}, {5, "Bon", "1", "1", "1"},
          {4, "gotowka", "", "1", ""}},
         "8090" + Line("21", "123,45") + Line("41", "200,00") + "02OPAK. ZWROTNE\n" +
             Line("12", "1,50") + "22" + Line("32", "324,95") + "52" + Line("82", "50,00") +
             Line("03", "3,00") + "83" + Line("93", "53,00") + cashHeading +
             Line("44", "1005,00") + Line("54", "1000,00") + "64" + Line("74", "5,00") +
             "34Karta\n" + Line("44", "300,00") + Line("54", "300,00") + "64" +
             Line("74", "0,00") + "34Bon\n" + Line("44", "12,00") + Line("54", "10,00") + "64" +
             Line("74", "-2,00") + Line("45", "Jan") + "55\x1BQ"},
        {{}, "\x1Bs3320\n30" + x40.substr(0, 10) + "\n40" + Line("", "2026-", 12) + head +
             Line("70", "Jan") + "8090", x40, "2026-12-01"},
        {{}, "\n40" + Line("", "01", 12) + "50", "", "01"},
        {{}, "\n4001.12 06:00:\n50", "7", "01.12.2026 06:00:00 and more"},
        {{{4, kFiscalSales, "", "21474836,48", "", -2}}, "8090" + Line("41", "0,00")},
        {{{4, kFiscalSales, "", "21474836,47", ""}}, Line("21", "21474836,47")},
        {{{4, kFiscalSales, "", "10000000000000000000,00", "", -2}}, "8090" + Line("41", "0,00")},
        {{cash, {3, kPayOutName, "", "-21474836,48", "", -2}}, Line("82", "0,00")},  // minus dropped
        {{cash, {3, kPayInName, "", "-21474836,48", ""}}, Line("41", "-21474836,48")},
        {{{4, kIssued, "", "99999999999", "", -2}}, Line("12", "0,00")},
        {{cash, {2, "Kar\x1Bta\nX", "1,00", "1,00", "0,00"}}, "34Kar ta X\n"},  // no ESC, no LF
        {{cash, {4, kIssued, "", "21474836,47", ""}, {3, kPayInName, "", "21474836,47", ""},
          {4, kFiscalSales, "", "21474836,47", ""}}, Line("32", "64424509,41")},
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
    std::vector<Figure> figures(names.size(), {2, "", "1", "1", "0"});
    for (size_t i = 0; i < names.size(); ++i) figures[i].name = names[i].c_str();
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
    EXPECT_EQ(Coded(mfEndShiftReport()), std::make_pair(-2, 514));
    EXPECT_TRUE(Logged("In mfEndShiftReport result: -2, ans: 0"));
    EXPECT_EQ(Coded(mfLineShiftReport(2, "Karta", "", "", "")), std::make_pair(-2, 780));
    EXPECT_EQ(Coded(mfEndShiftReport()), std::make_pair(-2, 780));
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
