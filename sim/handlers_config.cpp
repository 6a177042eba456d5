// The tax table, the point-of-sale numbers and the clock shift.
#include <array>
#include <string>

#include "handlers.h"
#include "printout.h"
#include "report_printout.h"

namespace tarn::sim {

namespace {

constexpr int kHighestRate = 9999;  // 99,99%
constexpr int kUnusedRate = -1;
constexpr int kLongestShiftMinutes = 60;

bool AcceptableRate(int rate) {
    return rate == kUnusedRate || (rate >= 0 && rate <= kHighestRate);
}

// Once the head is acknowledged the printer cannot refuse: a table with a rate it cannot
// take is dropped whole and the old one stays.
void ApplyTaxRates(Context& ctx, const std::array<int, 6>& rates) {
    for (const int rate : rates) {
        if (!AcceptableRate(rate)) return;
    }
    ctx.state.taxRates = rates;
    PrintHeader(ctx);
    ctx.roll.PrintCentred("ZMIANA STAWEK PTU");
    PrintTaxTable(ctx.roll, rates);
    ctx.roll.Cut();
}

void PrintClockChange(Context& ctx, const CivilTime& before, const CivilTime& after) {
    PrintHeader(ctx);
    ctx.roll.PrintCentred("ZMIANA CZASU");
    ctx.roll.PrintPair("Przed zmianą", DateTimeText(before));
    ctx.roll.PrintPair("Po zmianie", DateTimeText(after));
    ctx.roll.Cut();
}

// The shift in seconds, or 0 for one the printer does not make: digits out of range, more
// than an hour, or a move onto another date.
int64_t ClockShiftSeconds(const Bytes& body, const CivilTime& now) {
    const int direction = body[1];
    const int tens = body[2];
    const int units = body[3];
    if (direction > 1 || tens > 6 || units > 9) return 0;
    const int minutes = tens * 10 + units;
    if (minutes > kLongestShiftMinutes) return 0;
    const int64_t shift = (direction == 1 ? 60 : -60) * minutes;
    const CivilTime after = CivilFromSeconds(SecondsFromCivil(now) + shift);
    return DateKey(after) == DateKey(now) ? shift : 0;
}

}  // namespace

// The tax table and the clock change only while the fiscal day is closed, and the printer
// must be able to print the change.
bool AcceptDayClosedChange(Context& ctx) {
    const PrinterState& s = ctx.state;
    return s.receiptsToday == 0 && !s.DocumentOpen() && !s.paperOut;
}

// Type 1 knows only the table in whole percent; every later family only the one in hundredths.
bool AcceptRatesInPercent(Context& ctx) {
    return ctx.state.model.type == 1 && AcceptDayClosedChange(ctx);
}

bool AcceptRatesInHundredths(Context& ctx) {
    return ctx.state.model.type != 1 && AcceptDayClosedChange(ctx);
}

// 'D': rates A to D in whole percent, a signed byte each; E and F stay as they are.
Bytes SetTaxRatesPercent(Context& ctx, const Bytes& body) {
    std::array<int, 6> rates = ctx.state.taxRates;
    for (size_t i = 0; i < 4; ++i) rates[i] = static_cast<int8_t>(body[1 + i]) * 100;
    ApplyTaxRates(ctx, rates);
    return {};
}

// 0xD4: rates A to F in hundredths of a percent, high byte first; 0xFFFF marks a rate not
// in use.
Bytes SetTaxRates(Context& ctx, const Bytes& body) {
    std::array<int, 6> rates{};
    for (size_t i = 0; i < rates.size(); ++i) {
        const int bits = body[1 + 2 * i] << 8 | body[2 + 2 * i];
        rates[i] = bits == 0xFFFF ? kUnusedRate : bits;
    }
    ApplyTaxRates(ctx, rates);
    return {};
}

// 'C', then the point-of-sale and cashier numbers as two characters each: '0' plus the tens
// digit, '0' plus the units digit. They appear in the header of every receipt from now on.
Bytes SetPosNumbers(Context& ctx, const Bytes& body) {
    ctx.state.posNumber = (body[1] - '0') * 10 + (body[2] - '0');
    ctx.state.cashierNumber = (body[3] - '0') * 10 + (body[4] - '0');
    return {};
}

// '6', the direction (1 later, 0 earlier), the shift in minutes as two digits. A shift the
// printer does not make leaves the clock as it was, which is all the application sees.
Bytes ShiftClock(Context& ctx, const Bytes& body) {
    const CivilTime before = ctx.state.Clock(ctx.nowMs);
    const int64_t shift = ClockShiftSeconds(body, before);
    if (shift == 0) return {};
    ctx.state.clockShiftSeconds += shift;
    PrintClockChange(ctx, before, ctx.state.Clock(ctx.nowMs));
    return {};
}

}  // namespace tarn::sim
