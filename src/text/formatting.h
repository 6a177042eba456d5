// Amounts and texts as receipts and reports print them: a comma before the grosze, full stops
// between thousands, fixed-width padding, wildcard masks, digits read back into a number.
// Amounts are 64-bit, so no value wraps.
#pragma once

#include <cstdint>
#include <string>

#include "text/align.h"

namespace tarn {

// Decimal digits, with a minus sign when negative.
std::string IntToText(int64_t value);
// The value with a comma before its last `decimals` digits (at least one digit before it):
// 123456 with 2 gives "1234,56", 5 gives "0,05", -5 gives "-0,05".
std::string AmountToText(int64_t value, int decimals);
// Full stops between groups of three digits of the whole part (before the last comma).
std::string GroupThousands(const std::string& text);
// A text shorter than `width` padded with spaces to it as `alignment` says; a longer one as it is.
std::string PadText(const std::string& text, int width, Align alignment);
// The whole text against the whole mask: '?' any one character, '*' any run.
bool MatchMask(const char* mask, const char* text);
// The text's digits as one number: commas and full stops skipped, any other non-digit a 0, a
// leading minus negates. A number too long to hold (a digit past the 18th place) reads as
// (minus) 10^18.
int64_t ReadDigits(const std::string& text);
inline bool FitsInt32(int64_t value) {
    return value >= INT32_MIN && value <= INT32_MAX;
}

// |grosze| as printed on a receipt: "1.234,56".
std::string PrintedAmount(int64_t grosze);
// A label cut to, or padded with spaces to, `width` minus the amount's length, then the
// amount: exactly `width` characters when the amount fits.
std::string LabelAndAmount(const std::string& label, const std::string& amount, int width);

}  // namespace tarn
