// A payment in a second currency: its name text carries the currency code and the rate
// ("EUR 4,1234"), and the amount is converted from grosze into the currency's hundredths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarn {

struct SecondCurrency {
    std::string code;      // the first three characters
    std::string rateText;  // from the fifth character; a leading "0" becomes a space
    int32_t converted;     // the amount in the currency's hundredths
};

// The value divided by the rate written in `rateText`, rounded half up. Empty for an empty
// rate, a rate whose digits read as 0, or a result outside 32 bits.
std::optional<int64_t> divideByExchRate(const std::string& rateText, int64_t value);

// The second-currency payment a name text stands for, converting `amountToConvert`; empty when
// the text is an ordinary payment name (or its rate cannot convert the amount).
std::optional<SecondCurrency> SecondCurrencyOf(const char* name, int64_t amountToConvert);

}  // namespace tarn
