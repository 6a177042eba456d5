// The virtual printer's fiscal day and reports, tax table, clock shift and state printout,
// byte by byte from the printer's side.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "text/cp852.h"
#include "virtual_printer.h"
#include "wire.h"

namespace tarn {
namespace {

using test::Wire;
using Bytes = std::vector<uint8_t>;

constexpr int64_t kDayMs = 24LL * 3600 * 1000;
const Bytes kAck{0x06};
const Bytes kNak{0x15};
const Bytes kOpen{0x1B, 0x21};
const Bytes kEnd{0x1B, 0x24};
const Bytes kDayClose{0x1B, 0x25};

Bytes Sale(const std::string& name, int slot, int32_t value) {
    Bytes out{0x1B, 0x06, ' '};
    std::string text = Utf8ToCp852(name);
    text.resize(28, ' ');
    out.insert(out.end(), text.begin(), text.end());
    const auto append = [&out](int32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    out.push_back('0');
    append(1000);
    out.insert(out.end(), {0x03, 's', 'z', 't', ' '});
    append(value);
    out.insert(out.end(), {0x1B, static_cast<uint8_t>(slot)});
    append(value);
    return out;
}

void SellReceipt(Wire& wire, const std::vector<Bytes>& sales) {
    ASSERT_EQ(wire.Exchange(kOpen), kAck);
    for (const Bytes& sale : sales) wire.Send(sale);
    ASSERT_EQ(wire.Exchange(kEnd), kAck);
}

// A report description's two dates, one decimal digit per byte.
Bytes Dates(uint8_t head, int from, int to) {  // from, to: yymmdd
    Bytes out{head};
    for (const int date : {from, to}) {
        for (int divisor = 100000; divisor > 0; divisor /= 10)
            out.push_back(static_cast<uint8_t>(date / divisor % 10));
    }
    return out;
}

Bytes Numbers(int from, int to) {
    return {1, static_cast<uint8_t>(from % 255), static_cast<uint8_t>(from / 255),
            static_cast<uint8_t>(to % 255), static_cast<uint8_t>(to / 255)};
}

std::string Row(const std::string& left, const std::string& right) {
    const size_t used = Utf8ToCp852(left).size() + Utf8ToCp852(right).size();
    return left + std::string(40 - used, ' ') + right;
}

// The roll from line `first` on, without the indentation of centred lines.
std::vector<std::string> LinesFrom(const sim::VirtualPrinter& printer, size_t first) {
    std::vector<std::string> lines;
    const auto& roll = printer.Roll().Lines();
    for (size_t i = first; i < roll.size(); ++i) {
        const std::string line = Cp852ToUtf8(roll[i]);
        lines.push_back(line.substr(std::min(line.find_first_not_of(' '), line.size())));
    }
    return lines;
}

bool PrintedFrom(const sim::VirtualPrinter& printer, size_t first, const std::string& text) {
    for (const std::string& line : LinesFrom(printer, first)) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

// Every expected line is on the roll from line `first` on, in this order.
void ExpectPrinted(const sim::VirtualPrinter& printer, const std::vector<std::string>& expected,
                   size_t first = 0) {
    const std::vector<std::string> lines = LinesFrom(printer, first);
    size_t at = 0;
    for (const std::string& line : expected) {
        while (at < lines.size() && lines[at] != line) ++at;
        if (at == lines.size()) {
            ADD_FAILURE() << "not printed in order: [" << line << "]\n" << printer.Roll().AsUtf8();
            return;
        }
    }
}

// "hh:mm" from the clock answer: ACK, then yy mm dd hh mm one digit a byte.
std::string ClockReading(Wire& wire) {
    const Bytes a = wire.Exchange({0x1B, 0x35});
    if (a.size() != 11) return "no answer";
    return std::string{char('0' + a[7]), char('0' + a[8]), ':', char('0' + a[9]),
                       char('0' + a[10])};
}

TEST(PrinterReports, ADayOfTwoReceiptsIsSummedByRateAndClosedIntoTheFiscalMemory) {
    sim::VirtualPrinter printer;
    Wire wire(printer);
    SellReceipt(wire, {Sale("Chleb pszenny", 1, 1230), Sale("Mleko UHT 3,2 procent", 2, 1080)});
    SellReceipt(wire, {Sale("Masło ekstra", 1, 2461), Sale("Książka dla dzieci", 5, 500)});
    ASSERT_EQ(wire.Exchange(kOpen), kAck);
    wire.Send(Sale("Piwo jasne pełne", 1, 999));
    ASSERT_EQ(wire.Exchange({0x1B, 0x23}), kAck);  // cancelled: not part of the day's sales
    EXPECT_EQ(printer.Day().sales.gross, 5271);
    EXPECT_EQ(wire.Exchange({0x1B, 0x66}), (Bytes{0x06, 2, 0}));

    ASSERT_EQ(wire.Exchange(kDayClose), kAck);
    ASSERT_EQ(printer.DailyRecords().size(), 1u);
    const sim::DailyRecord& day = printer.DailyRecords()[0];
    EXPECT_EQ(day.number, 1);
    EXPECT_EQ(day.receipts, 2);
    EXPECT_EQ(day.cancelled, 1);
    EXPECT_EQ(day.sales.Slot(1).gross, 3691);
    EXPECT_EQ(day.sales.Slot(1).tax, 230 + 460);  // each receipt's tax, as it printed it
    EXPECT_EQ(day.sales.Slot(2).tax, 80);
    EXPECT_EQ(day.sales.Slot(5).gross, 500);
    EXPECT_EQ(day.sales.tax, 770);
    ExpectPrinted(printer, {"RAPORT DOBOWY FISKALNY", Row("Raport dobowy nr 0001", "2026-12-06"),
                            Row("SPRZEDAŻ OPODATKOWANA A", "36,91"), Row("PTU A 23,00%", "6,90"),
                            Row("SPRZEDAŻ OPODATKOWANA B", "10,80"), Row("PTU B 8,00%", "0,80"),
                            Row("SPRZEDAŻ ZWOLNIONA G", "5,00"), Row("SUMA PTU", "7,70"),
                            Row("ŁĄCZNA NALEŻNOŚĆ", "52,71"), Row("Liczba paragonów", "2"),
                            Row("Paragony anulowane", "1"), Row("Nr unikatowy", "TRN26000001")});

    // A new day: the counter and the sums start again; the next close is report 2.
    EXPECT_EQ(wire.Exchange({0x1B, 0x66}), (Bytes{0x06, 0, 0}));
    EXPECT_EQ(printer.Day().sales.gross, 0);
    EXPECT_EQ(printer.Day().cancelled, 0);
    ASSERT_EQ(wire.Exchange(kDayClose), kAck);
    ASSERT_EQ(printer.DailyRecords().size(), 2u);
    EXPECT_EQ(printer.DailyRecords()[1].number, 2);
    EXPECT_EQ(printer.DailyRecords()[1].sales.gross, 0);
}

struct RefusalCase {
    const char* name;
    int type;
    bool dayOpen;
    bool receiptOpen;
    Bytes head;
};

TEST(PrinterReports, RefusesAtTheHeadWhatThePrinterCannotDoNow) {
    const RefusalCase cases[] = {
        {"day close with a receipt open", 8, false, true, {0x1B, 0x25}},
        {"rates while the day is open", 8, true, false, {0x1B, 0xD4}},
        {"rates with a receipt open", 8, false, true, {0x1B, 0xD4}},
        {"rates in percent while the day is open", 1, true, false, {0x1B, 0x44}},
        {"rates in percent on a later family", 8, false, false, {0x1B, 0x44}},
        {"rates in hundredths on type 1", 1, false, false, {0x1B, 0xD4}},
        {"clock while the day is open", 8, true, false, {0x1B, 0x36}},
        {"clock with a receipt open", 8, false, true, {0x1B, 0x36}},
        {"report mode below type 4", 3, false, false, {0x1B, 0x31}},
        {"report mode with a receipt open", 4, false, true, {0x1B, 0x31}},
        {"detailed report from type 4", 4, false, false, {0x1B, 0x28}},
        {"summary report from type 4", 8, false, false, {0x1B, 0x29}},
        {"state printout with a receipt open", 8, false, true, {0x1B, 0x26}},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::PrinterModel model;
        model.type = c.type;
        sim::VirtualPrinter printer(model);
        Wire wire(printer);
        if (c.dayOpen) SellReceipt(wire, {Sale("Chleb pszenny", 1, 500)});
        if (c.receiptOpen) {
            ASSERT_EQ(wire.Exchange(kOpen), kAck);
        }
        EXPECT_EQ(wire.Exchange(c.head), kNak);
    }
}

struct RatesCase {
    const char* name;
    int type;
    Bytes command;
    std::array<int, 6> rates;  // the table afterwards
};

TEST(PrinterReports, TakesATaxTableWholeOrNotAtAll) {
    const std::array<int, 6> before{2300, 800, 500, 0, -1, -1};
    const RatesCase cases[] = {
        {"six rates",
         8,
         {0xD4, 0x08, 0x98, 0x02, 0xBC, 0x01, 0xF4, 0x00, 0x00, 0x04, 0xD2, 0x27, 0x0F},
         {2200, 700, 500, 0, 1234, 9999}},
        {"a rate not in use",
         8,
         {0xD4, 0, 1, 0, 2, 0, 3, 0, 4, 0xFF, 0xFF, 0, 5},
         {1, 2, 3, 4, -1, 5}},
        {"a rate of 100%", 8, {0xD4, 0, 1, 0, 2, 0, 3, 0, 4, 0x27, 0x10, 0, 5}, before},
        {"a negative rate", 8, {0xD4, 0xFF, 0xFE, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6}, before},
        {"four whole percents", 1, {0x44, 22, 7, 5, 0}, {2200, 700, 500, 0, -1, -1}},
        {"a negative whole percent", 1, {0x44, 22, 7, 0xFF, 0}, before},
        {"a whole percent of 100", 1, {0x44, 100, 7, 5, 0}, before},
    };
    for (const RatesCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::PrinterModel model;
        model.type = c.type;
        sim::VirtualPrinter printer(model);
        Wire wire(printer);
        Bytes frame{0x1B};
        frame.insert(frame.end(), c.command.begin(), c.command.end());
        EXPECT_EQ(wire.Exchange(frame), kAck);
        EXPECT_EQ(printer.State().taxRates, c.rates);
        EXPECT_EQ(PrintedFrom(printer, 0, "ZMIANA STAWEK PTU"), c.rates != before);
    }
}

struct ShiftCase {
    const char* name;
    int hour;
    int minute;
    Bytes shift;        // direction, tens, units
    const char* after;  // the reading afterwards
};

TEST(PrinterReports, ShiftsTheClockByAtMostAnHourOnTheSameDate) {
    const ShiftCase cases[] = {
        {"back 15 minutes", 10, 5, {0, 1, 5}, "09:50"},
        {"forward 15 minutes", 9, 50, {1, 1, 5}, "10:05"},
        {"forward an hour", 9, 30, {1, 6, 0}, "10:30"},
        {"to the last minute of the day", 23, 50, {1, 0, 9}, "23:59"},
        {"61 minutes", 9, 30, {1, 6, 1}, "09:30"},
        {"a tens digit of 7", 9, 30, {0, 7, 0}, "09:30"},
        {"a units digit of 10", 9, 30, {0, 1, 10}, "09:30"},
        {"an unknown direction", 9, 30, {2, 1, 0}, "09:30"},
        {"over midnight", 23, 50, {1, 1, 0}, "23:50"},
        {"back over midnight", 0, 5, {0, 1, 0}, "00:05"},
        {"no shift", 9, 30, {1, 0, 0}, "09:30"},
    };
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::PrinterModel model;
        model.clock = {2026, 3, 9, c.hour, c.minute, 0};
        sim::VirtualPrinter printer(model);
        Wire wire(printer);
        const std::string before = ClockReading(wire);
        Bytes frame{0x1B, 0x36};
        frame.insert(frame.end(), c.shift.begin(), c.shift.end());
        EXPECT_EQ(wire.Exchange(frame), kAck);
        EXPECT_EQ(ClockReading(wire), c.after);
        EXPECT_EQ(PrintedFrom(printer, 0, "ZMIANA CZASU"), before != c.after);
        if (before == c.after) continue;
        ExpectPrinted(printer, {Row("Przed zmianą", "2026-03-09 " + before),
                                Row("Po zmianie", std::string("2026-03-09 ") + c.after)});
    }
}

// Three daily reports: 2026-12-06 (sales at 23%), 12-07 (at 22%, after a rate change) and
// 12-09 (nothing sold).
void FillFiscalMemory(sim::VirtualPrinter& printer, Wire& wire) {
    SellReceipt(wire, {Sale("Chleb pszenny", 1, 1230)});
    ASSERT_EQ(wire.Exchange(kDayClose), kAck);
    wire.Wait(kDayMs);
    ASSERT_EQ(wire.Exchange({0x1B, 0xD4, 0x08, 0x98, 0x03, 0x20, 0x01, 0xF4, 0x00, 0x00, 0xFF, 0xFF,
                             0xFF, 0xFF}),
              kAck);
    SellReceipt(wire, {Sale("Chleb pszenny", 1, 1220), Sale("Mleko UHT 3,2 procent", 2, 1080)});
    ASSERT_EQ(wire.Exchange(kDayClose), kAck);
    wire.Wait(2 * kDayMs);
    ASSERT_EQ(wire.Exchange(kDayClose), kAck);
    ASSERT_EQ(printer.DailyRecords().size(), 3u);
}

struct ReportCase {
    const char* name;
    Bytes description;
    uint8_t answer;
    std::vector<std::string> printed;  // in this order; empty: nothing printed
    std::vector<std::string> absent = {};
    int fault = -1;  // the answer forced on the report, when not -1
};

TEST(PrinterReports, ReportModeAnswersWhetherItPrintedTheRange) {
    const std::string a23 = Row("PTU A 23,00%", "2,30");
    const std::string a22 = Row("PTU A 22,00%", "2,20");
    const std::string first = Row("Raport dobowy nr 0001", "2026-12-06");
    const std::string second = Row("Raport dobowy nr 0002", "2026-12-07");
    const ReportCase cases[] = {
        {"detailed by dates",
         Dates(0, 261206, 261207),
         0,
         {"RAPORT OKRESOWY", "SZCZEGÓŁOWY", first, a23, second, a22, "RAZEM",
          Row("SPRZEDAŻ OPODATKOWANA A", "24,50"), Row("PTU A", "4,50"),
          Row("ŁĄCZNA NALEŻNOŚĆ", "35,30"), Row("Raportów dobowych", "2"),
          Row("Liczba paragonów", "2")}},
        {"summary by dates",
         Dates(3, 261207, 261231),
         0,
         {"PODSUMOWANIE", Row("Od", "2026-12-07"), Row("Do", "2026-12-31"), a22,
          Row("Raportów dobowych", "2")},
         {first, second}},
        {"by numbers", Numbers(1, 1), 0, {"RAPORT OKRESOWY WG NUMERÓW", first, a23}, {second}},
        {"by numbers past the last report",
         Numbers(3, 300),
         0,
         {Row("Raport dobowy nr 0003", "2026-12-09")}},
        {"a day without reports", Dates(0, 261208, 261208), 3, {}},
        {"numbers no report has yet", Numbers(4, 300), 3, {}},
        {"start after stop", Dates(3, 261207, 261206), 1, {}},
        {"the 30th of February", Dates(0, 260230, 261231), 1, {}},
        {"a digit above 9", {0, 2, 6, 1, 2, 0, 10, 2, 6, 1, 2, 3, 1}, 1, {}},
        {"first number after the last", Numbers(2, 1), 1, {}},
        {"a low part of 255", {1, 255, 0, 1, 1}, 1, {}},
        {"an unknown kind", {7}, 2, {}},
        {"a fault", Dates(0, 261206, 261207), 5, {}, {}, 5},
    };
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::VirtualPrinter printer;
        Wire wire(printer);
        FillFiscalMemory(printer, wire);
        if (c.fault >= 0) printer.AnswerNextReportWith(static_cast<uint8_t>(c.fault));
        const size_t before = printer.Roll().Lines().size();
        ASSERT_EQ(wire.Exchange({0x1B, 0x31}), kAck);
        EXPECT_EQ(wire.Exchange(c.description), (Bytes{c.answer}));
        EXPECT_FALSE(printer.State().reportMode);
        EXPECT_EQ(printer.Roll().Lines().size() > before, !c.printed.empty());
        ExpectPrinted(printer, c.printed, before);
        for (const std::string& line : c.absent) EXPECT_FALSE(PrintedFrom(printer, before, line));
        if (c.fault < 0) continue;
        wire.Exchange({0x1B, 0x31});  // the fault was for one report only
        EXPECT_EQ(wire.Exchange(c.description), (Bytes{0}));
    }
}

struct OldReportCase {
    const char* name;
    Bytes command;
    std::vector<std::string> printed;  // empty: nothing printed
};

TEST(PrinterReports, OlderPrintersPrintTheRangeOrNothingAndNeverAnswer) {
    const OldReportCase cases[] = {
        {"detailed",
         Dates(0x28, 261206, 261206),
         {"RAPORT OKRESOWY", "SZCZEGÓŁOWY", Row("Raport dobowy nr 0001", "2026-12-06")}},
        {"summary", Dates(0x29, 261201, 261231), {"PODSUMOWANIE", Row("Raportów dobowych", "3")}},
        {"nothing in the range", Dates(0x28, 261208, 261208), {}},
        {"start after stop", Dates(0x29, 261231, 261201), {}},
        {"a thirteenth month", Dates(0x28, 261301, 261231), {}},
    };
    for (const OldReportCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::PrinterModel model;
        model.type = 3;
        sim::VirtualPrinter printer(model);
        Wire wire(printer);
        FillFiscalMemory(printer, wire);
        const size_t before = printer.Roll().Lines().size();
        Bytes frame{0x1B};
        frame.insert(frame.end(), c.command.begin(), c.command.end());
        EXPECT_EQ(wire.Exchange(frame), kAck);
        EXPECT_EQ(printer.Roll().Lines().size() > before, !c.printed.empty());
        ExpectPrinted(printer, c.printed, before);
    }
}

TEST(PrinterReports, TheStatePrintoutShowsTheTableTheDayAndTheLastDailyReport) {
    sim::VirtualPrinter printer;
    Wire wire(printer);
    EXPECT_EQ(wire.Exchange({0x1B, 0x26}), kAck);
    ExpectPrinted(printer, {Row("Ostatni raport dobowy", "brak")});
    ASSERT_EQ(wire.Exchange(kDayClose), kAck);
    wire.Wait(90 * 60 * 1000);
    SellReceipt(wire, {Sale("Chleb pszenny", 1, 1230)});
    const size_t before = printer.Roll().Lines().size();
    EXPECT_EQ(wire.Exchange({0x1B, 0x26}), kAck);
    ExpectPrinted(printer,
                  {"STAN DRUKARKI", Row("Nr unikatowy", "TRN26000001"), Row("PTU A", "23,00%"),
                   Row("PTU D", "0,00%"), Row("PTU E", "---"), Row("PTU G", "zwolniona"),
                   Row("Paragonów w dobie", "1"), Row("Sprzedaż w dobie", "12,30"),
                   Row("Raportów dobowych", "1"), Row("Ostatni raport dobowy", "2026-12-06 10:00"),
                   Row("Zegar", "2026-12-06 11:30")},
                  before);
}

}  // namespace
}  // namespace tarn
