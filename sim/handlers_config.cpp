// Tax rates, point-of-sale numbers, the clock, reports and the state printout.
#include <cstdio>
#include <string>

#include "handlers.h"

namespace tarn::sim {

namespace {

std::string Rate(int hundredths) {
    if (hundredths < 0) return "---";
    char text[16];
    std::snprintf(text, sizeof text, "%d,%02d%%", hundredths / 100, hundredths % 100);
    return text;
}

}  // namespace

// The tax table and the clock change only while the fiscal day is closed.
bool AcceptDayClosedChange(Context& ctx) {
    return ctx.state.receiptsToday == 0 && !ctx.state.DocumentOpen();
}

Bytes SetTaxRatesPercent(Context& ctx, const Bytes& body) {
    for (size_t i = 0; i < 4; ++i) ctx.state.taxRates[i] = static_cast<int8_t>(body[1 + i]) * 100;
    return {};
}

Bytes SetTaxRates(Context& ctx, const Bytes& body) {
    for (size_t i = 0; i < 6; ++i) {
        const int high = body[1 + 2 * i];
        ctx.state.taxRates[i] = high == 0xFF ? -1 : high * 256 + body[2 + 2 * i];
    }
    ctx.roll.PrintCentred("ZMIANA STAWEK PTU");
    const char letters[] = "ABCDEF";
    for (size_t i = 0; i < 6; ++i) {
        ctx.roll.PrintPair(std::string("PTU ") + letters[i], Rate(ctx.state.taxRates[i]));
    }
    ctx.roll.Cut();
    return {};
}

// 'C', then the point-of-sale and cashier numbers as two characters each: '0' plus the tens
// digit, '0' plus the units digit. They appear in the header of every receipt from now on.
Bytes SetPosNumbers(Context& ctx, const Bytes& body) {
    ctx.state.posNumber = (body[1] - '0') * 10 + (body[2] - '0');
    ctx.state.cashierNumber = (body[3] - '0') * 10 + (body[4] - '0');
    return {};
}

// Direction (1 later, 0 earlier), then the shift in minutes as two digits.
Bytes ShiftClock(Context& ctx, const Bytes& body) {
    const int minutes = body[2] * 10 + body[3];
    ctx.state.clockShiftSeconds += (body[1] == 1 ? 60 : -60) * minutes;
    return {};
}

bool AcceptPrinting(Context& ctx) {
    return !ctx.state.DocumentOpen() && !ctx.state.paperOut;
}

Bytes EnterReportMode(Context& ctx, const Bytes&) {
    ctx.state.reportMode = true;
    ctx.expectRaw = RawBlock::ReportDescription;
    return {};
}

Bytes PeriodicReport(Context& ctx, const Bytes& body) {
    ctx.roll.PrintCentred(body[0] == 0x28 ? "RAPORT OKRESOWY SZCZEGÓŁOWY" : "RAPORT OKRESOWY");
    ctx.roll.Cut();
    return {};
}

Bytes StatePrintout(Context& ctx, const Bytes&) {
    const PrinterState& s = ctx.state;
    ctx.roll.PrintCentred("STAN DRUKARKI");
    ctx.roll.PrintPair("Nr unikatowy", s.model.serialNumber);
    ctx.roll.PrintPair("Paragonów w dobie", std::to_string(s.receiptsToday));
    ctx.roll.PrintPair("Raportów dobowych", std::to_string(s.dailyReports));
    ctx.roll.Cut();
    return {};
}

}  // namespace tarn::sim
