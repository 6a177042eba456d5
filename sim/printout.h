// What several printouts share: the shop header and the way amounts, quantities and rates
// are written on paper.
#pragma once

#include <cstdint>
#include <string>

#include "commands.h"

namespace tarn::sim {

// Grosze with a comma before the grosze and full stops between thousands: 1.234,56.
std::string AmountText(int64_t grosze);
// Thousandths of a unit without trailing zeros: 2, 1,5, 0,125.
std::string QuantityText(int64_t thousandths);
// Hundredths of a percent: 23,00%; "---" for a rate not in use.
std::string RateText(int hundredths);
// 2026-12-06, and 2026-12-06 10:05.
std::string DateText(const CivilTime& t);
std::string DateTimeText(const CivilTime& t);
// A daily report's number as printed: 0007.
std::string ReportNumberText(int number);

// Two lines for each tax slot with sales, A to F then the exempt G: the gross and the tax
// ("PTU A 23,00%"; a slot taxed at several rates names none).
void PrintSalesByRate(PaperRoll& roll, const ReceiptTotals& totals);

// The shop's lines, the date and time, the point-of-sale and cashier numbers when known,
// and a rule.
void PrintHeader(Context& ctx);

}  // namespace tarn::sim
