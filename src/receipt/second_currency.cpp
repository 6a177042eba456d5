#include "receipt/second_currency.h"

#include <cinttypes>

#include "api/log.h"
#include "receipt/receipt_state.h"
#include "text/formatting.h"

namespace tarn {

namespace {

// Tried in order: a two- or one-digit rate with four or two decimals.
constexpr const char* kMasks[] = {"??? ??,????", "??? ?,????", "??? ??,??", "??? ?,??"};
constexpr size_t kRateStart = 4;
constexpr size_t kLongestRate = 7;

int DecimalsOf(const std::string& rateText) {
    const size_t comma = rateText.rfind(',');
    return comma == std::string::npos ? 0 : static_cast<int>(rateText.size() - comma - 1);
}

}  // namespace

std::optional<int64_t> divideByExchRate(const std::string& rateText, int64_t value) {
    if (rateText.empty()) return std::nullopt;
    const int decimals = DecimalsOf(rateText);
    const int64_t rate = ReadDigits(rateText);
    LogInfoF("divideByExchRate iPoPrzecinku %d, lExchRate %" PRId64
             ", sExchRate %s, lValueToDivide %" PRId64,
             decimals, rate, rateText.c_str(), value);
    if (rate <= 0) return std::nullopt;
    int64_t scaled = value;
    for (int i = 0; i < decimals; ++i) {
        if (scaled > INT64_MAX / 10 || scaled < INT64_MIN / 10) return std::nullopt;
        scaled *= 10;
    }
    LogInfoF("divideByExchRate iPoPrzecinku %d, lExchRate %" PRId64 ", lValueToDivide %" PRId64,
             decimals, rate, scaled);
    int64_t quotient = scaled / rate;
    if (scaled % rate >= rate / 2) ++quotient;
    if (!FitsInt32(quotient)) return std::nullopt;
    return quotient;
}

std::optional<SecondCurrency> SecondCurrencyOf(const char* name, int64_t amountToConvert) {
    if (name == nullptr) return std::nullopt;
    bool matches = false;
    for (const char* mask : kMasks) matches = matches || MatchMask(mask, name);
    if (!matches) return std::nullopt;
    const std::string text = name;
    std::string rateText = text.substr(kRateStart, kLongestRate);
    if (rateText[0] == '0') rateText[0] = ' ';
    const std::optional<int64_t> converted = divideByExchRate(rateText, amountToConvert);
    if (!converted) return std::nullopt;
    return SecondCurrency{text.substr(0, 3), rateText, static_cast<int32_t>(*converted)};
}

}  // namespace tarn
