// Printer commands of the tax table, the clock, the reports and the state printout. None but
// the report description is answered.
#pragma once

#include <cstdint>

#include "link/request.h"

namespace tarn {

// 'D': four rates in whole percent, one byte each (printer type 1).
class CRequestDefTax4 : public CRequest {
public:
    explicit CRequestDefTax4(const int rates[4]);
};

// 0xD4: six rates in hundredths of a percent, 16 bits each, high byte first.
class CRequestDefTax6 : public CRequest {
public:
    explicit CRequestDefTax6(const int rates[6]);
};

// '6', the direction (1 later, 0 earlier), the shift's tens and units as numbers 0-9.
class CRequestDefTime : public CRequest {
public:
    CRequestDefTime(int forward, int shiftMinutes);
};

// '1': report mode, for the report description that follows.
class CRequestBeginReport : public CRequest {
public:
    CRequestBeginReport();
};

// A date range as twelve digit bytes (numbers 0-9): start year, month, day, stop year, month,
// day, two digits each, the year taken modulo 100.
struct DateRange {
    int startYear, startMonth, startDay, stopYear, stopMonth, stopDay;
};

// A command that carries a date range as digit bytes.
class CRequestWithDates : public CRequest {
protected:
    using CRequest::CRequest;
    void AppendDates(const DateRange& range);
};

// '(' detailed or ')' summary report of a date range, for printers below type 4.
class CRequestPeriodReport : public CRequestWithDates {
public:
    CRequestPeriodReport(uint8_t command, const DateRange& range);
};

// The report description sent in report mode, unframed, answered by one byte: kind 0 (detailed) or
// 3 (summary) and a date range, or kind 1 and two numbers split in base 255 (low, high).
class CRequestDetailReport : public CRequestWithDates {
public:
    static constexpr int kDetailedByDates = 0;
    static constexpr int kByNumbers = 1;
    static constexpr int kSummaryByDates = 3;
    CRequestDetailReport(int kind, const DateRange& range, int* answer);
    CRequestDetailReport(int from, int to, int* answer);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return 1; }

private:
    int* answer_;
};

// '&': the printer prints its state.
class CRequestPrState : public CRequest {
public:
    CRequestPrState();
};

}  // namespace tarn
