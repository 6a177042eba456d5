// The periodic reports over the fiscal memory: by dates with '(' and ')' on printers below
// type 4; in report mode, entered with '1', from type 4, by dates or by numbers.
#include <optional>

#include "handlers.h"
#include "printout.h"
#include "report_printout.h"

namespace tarn::sim {

namespace {

// The one byte that answers a report description.
constexpr uint8_t kReportPrinted = 0;
constexpr uint8_t kRangeRefused = 1;
constexpr uint8_t kUnknownReport = 2;
constexpr uint8_t kNothingInRange = 3;

enum class ReportForm { Detailed, Summary };

struct ReportRange {
    bool byNumbers = false;
    bool readable = false;  // calendar dates, or numbers as the base-255 split gives them
    int from = 0;           // yyyymmdd, or a daily report's number
    int to = 0;
};

// YY MM DD from `at`, one decimal digit per byte, the year in this century.
std::optional<int> DateAt(const Bytes& body, size_t at) {
    for (size_t i = at; i < at + 6; ++i) {
        if (body[i] > 9) return std::nullopt;
    }
    const int year = 2000 + body[at] * 10 + body[at + 1];
    const int month = body[at + 2] * 10 + body[at + 3];
    const int day = body[at + 4] * 10 + body[at + 5];
    if (!IsCalendarDate(year, month, day)) return std::nullopt;
    return DateKey(year, month, day);
}

// Start and stop dates after the command or kind byte.
ReportRange DatesIn(const Bytes& body) {
    const std::optional<int> from = DateAt(body, 1);
    const std::optional<int> to = DateAt(body, 7);
    if (!from || !to) return {};
    return {false, true, *from, *to};
}

// First and last number, each low then high part of n = low + 255 x high; a low part of 255
// never comes out of that split.
ReportRange NumbersIn(const Bytes& body) {
    if (body[1] == 255 || body[3] == 255) return {true, false, 0, 0};
    return {true, true, body[1] + 255 * body[2], body[3] + 255 * body[4]};
}

void PrintRange(PaperRoll& roll, const ReportRange& range) {
    if (range.byNumbers) {
        roll.PrintPair("Od raportu nr", ReportNumberText(range.from));
        roll.PrintPair("Do raportu nr", ReportNumberText(range.to));
    } else {
        roll.PrintPair("Od", DateKeyText(range.from));
        roll.PrintPair("Do", DateKeyText(range.to));
    }
}

void PrintPeriodicReport(Context& ctx, ReportForm form, const ReportRange& range,
                         const std::vector<DailyRecord>& records) {
    PrintHeader(ctx);
    ctx.roll.PrintCentred(range.byNumbers ? "RAPORT OKRESOWY WG NUMERÓW" : "RAPORT OKRESOWY");
    ctx.roll.PrintCentred(form == ReportForm::Detailed ? "SZCZEGÓŁOWY" : "PODSUMOWANIE");
    PrintRange(ctx.roll, range);
    ctx.roll.Rule();
    if (form == ReportForm::Detailed) {
        for (const DailyRecord& record : records) {
            PrintDailyRecord(ctx.roll, record);
            ctx.roll.Rule();
        }
    }
    PrintRecordsSummed(ctx.roll, records);
    ctx.roll.Rule();
    ctx.roll.PrintPair("Nr unikatowy", ctx.state.model.serialNumber);
    ctx.roll.Cut();
}

// Prints the report when the range can be read and holds daily records; says how it went.
uint8_t ReportOver(Context& ctx, ReportForm form, const ReportRange& range) {
    if (!range.readable || range.from > range.to) return kRangeRefused;
    const std::vector<DailyRecord>& memory = ctx.state.fiscalMemory;
    const std::vector<DailyRecord> records = range.byNumbers
                                                 ? RecordsNumbered(memory, range.from, range.to)
                                                 : RecordsDated(memory, range.from, range.to);
    if (records.empty()) return kNothingInRange;
    PrintPeriodicReport(ctx, form, range, records);
    return kReportPrinted;
}

}  // namespace

bool AcceptPrinting(Context& ctx) {
    return !ctx.state.DocumentOpen() && !ctx.state.paperOut;
}

bool AcceptReportMode(Context& ctx) {
    return ctx.state.model.type >= 4 && AcceptPrinting(ctx);
}

bool AcceptPeriodicReport(Context& ctx) {
    return ctx.state.model.type < 4 && AcceptPrinting(ctx);
}

Bytes EnterReportMode(Context& ctx, const Bytes&) {
    ctx.state.reportMode = true;
    ctx.expectRaw = RawBlock::ReportDescription;
    return {};
}

// '(' detailed or ')' summary, then start and stop dates. The command has no answer, so a
// range the printer cannot report just prints nothing.
Bytes PeriodicReport(Context& ctx, const Bytes& body) {
    const ReportForm form = body[0] == 0x28 ? ReportForm::Detailed : ReportForm::Summary;
    ReportOver(ctx, form, DatesIn(body));
    return {};
}

// Kind 0 (detailed) or 3 (summary) with two dates, or kind 1 with two report numbers.
Bytes ReportFromDescription(Context& ctx, const Bytes& block) {
    ctx.state.reportMode = false;
    if (ctx.faults.reportAnswer) {
        const uint8_t answer = *ctx.faults.reportAnswer;
        ctx.faults.reportAnswer.reset();
        return {answer};
    }
    switch (block[0]) {
        case 0: return {ReportOver(ctx, ReportForm::Detailed, DatesIn(block))};
        case 3: return {ReportOver(ctx, ReportForm::Summary, DatesIn(block))};
        case 1: return {ReportOver(ctx, ReportForm::Detailed, NumbersIn(block))};
        default: return {kUnknownReport};
    }
}

}  // namespace tarn::sim
