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
// Hundredths of a percent: 23,00%.
std::string RateText(int hundredths);

// The shop's lines, the date and time, the point-of-sale and cashier numbers when known,
// and a rule.
void PrintHeader(Context& ctx);

}  // namespace tarn::sim
