// The fiscal day: its close with the daily report, and the printout of the printer's state.
#include <string>

#include "handlers.h"
#include "printout.h"
#include "report_printout.h"

namespace tarn::sim {

namespace {

// The day's record goes into the fiscal memory, and a new day starts.
DailyRecord CloseTheDay(PrinterState& s, int64_t nowMs) {
    const DailyRecord record{++s.dailyReports, s.Clock(nowMs), s.day.sales, s.receiptsToday,
                             s.day.cancelled};
    s.fiscalMemory.push_back(record);
    s.receiptsToday = 0;
    s.day = FiscalDay{};
    s.dayMustClose = false;
    return record;
}

std::string LastDailyReportText(const PrinterState& s) {
    if (s.fiscalMemory.empty()) return "brak";
    return DateTimeText(s.fiscalMemory.back().closedAt);
}

}  // namespace

// A day without receipts closes too: its report shows nothing sold.
bool AcceptDayClose(Context& ctx) {
    return !ctx.state.DocumentOpen() && !ctx.state.paperOut;
}

Bytes DayClose(Context& ctx, const Bytes&) {
    PrintDailyReport(ctx, CloseTheDay(ctx.state, ctx.nowMs));
    return {};
}

Bytes StatePrintout(Context& ctx, const Bytes&) {
    const PrinterState& s = ctx.state;
    PrintHeader(ctx);
    ctx.roll.PrintCentred("STAN DRUKARKI");
    ctx.roll.PrintPair("Nr unikatowy", s.model.serialNumber);
    ctx.roll.Rule();
    PrintTaxTable(ctx.roll, s.taxRates);
    ctx.roll.Rule();
    ctx.roll.PrintPair("Paragonów w dobie", std::to_string(s.receiptsToday));
    ctx.roll.PrintPair("Sprzedaż w dobie", AmountText(s.day.sales.gross));
    ctx.roll.PrintPair("Raportów dobowych", std::to_string(s.dailyReports));
    ctx.roll.PrintPair("Ostatni raport dobowy", LastDailyReportText(s));
    ctx.roll.PrintPair("Zegar", DateTimeText(s.Clock(ctx.nowMs)));
    ctx.roll.Cut();
    return {};
}

}  // namespace tarn::sim
