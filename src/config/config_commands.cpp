#include "config/config_commands.h"

#include <initializer_list>

namespace tarn {

CRequestDefTax4::CRequestDefTax4(const int rates[4]) {
    AppendByte('D');
    for (int i = 0; i < 4; ++i) AppendByte(static_cast<uint8_t>(rates[i] / 100));
}

CRequestDefTax6::CRequestDefTax6(const int rates[6]) {
    AppendByte(0xD4);
    for (int i = 0; i < 6; ++i) {
        const auto bits = static_cast<uint16_t>(rates[i]);
        AppendByte(static_cast<uint8_t>(bits >> 8));
        AppendByte(static_cast<uint8_t>(bits & 0xFF));
    }
}

CRequestDefTime::CRequestDefTime(int forward, int shiftMinutes) {
    AppendByte('6');
    AppendByte(static_cast<uint8_t>(forward));
    AppendByte(static_cast<uint8_t>(shiftMinutes / 10));
    AppendByte(static_cast<uint8_t>(shiftMinutes % 10));
}

CRequestBeginReport::CRequestBeginReport() {
    AppendByte('1');
}

void CRequestWithDates::AppendDates(const DateRange& r) {
    const int values[6] = {r.startYear % 100, r.startMonth, r.startDay,
                           r.stopYear % 100,  r.stopMonth,  r.stopDay};
    for (const int value : values) {
        AppendByte(static_cast<uint8_t>(value / 10));
        AppendByte(static_cast<uint8_t>(value % 10));
    }
}

CRequestPeriodReport::CRequestPeriodReport(uint8_t command, const DateRange& range) {
    AppendByte(command);
    AppendDates(range);
}

CRequestDetailReport::CRequestDetailReport(int kind, const DateRange& range, int* answer)
    : CRequestWithDates(Framing::Raw), answer_(answer) {
    AppendByte(static_cast<uint8_t>(kind));
    AppendDates(range);
}

CRequestDetailReport::CRequestDetailReport(int from, int to, int* answer)
    : CRequestWithDates(Framing::Raw), answer_(answer) {
    AppendByte(kByNumbers);
    for (const int number : {from, to}) {
        AppendByte(static_cast<uint8_t>(number % 255));
        AppendByte(static_cast<uint8_t>(number / 255));
    }
}

int CRequestDetailReport::ParseAnswer(const uint8_t* bytes, int count) {
    if (count < 1) return kCodeCommunication;
    if (answer_ != nullptr) *answer_ = bytes[0];
    return 0;
}

CRequestPrState::CRequestPrState() {
    AppendByte('&');
}

}  // namespace tarn
