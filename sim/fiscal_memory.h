// The fiscal day's running sums and the fiscal memory, where every daily report leaves a
// record that the periodic reports read back.
#pragma once

#include <vector>

#include "calendar.h"
#include "receipt.h"

namespace tarn::sim {

// Adds `part` into `sum`, slot by slot. A slot whose sales were taxed at different rates
// keeps no single rate: -1.
void AddSales(ReceiptTotals& sum, const ReceiptTotals& part);

// What the open fiscal day has done so far (the receipt counter is the state's own).
struct FiscalDay {
    ReceiptTotals sales;  // the ended receipts, by tax slot
    int cancelled = 0;    // receipts cancelled, by the printer or on request
};

struct DailyRecord {
    int number = 0;
    CivilTime closedAt{};
    ReceiptTotals sales;
    int receipts = 0;
    int cancelled = 0;
};

// A date as the number yyyymmdd, so that dates compare as numbers.
int DateKey(int year, int month, int day);
inline int DateKey(const CivilTime& t) {
    return DateKey(t.year, t.month, t.day);
}

// The records of the daily reports made from `fromKey` to `toKey`, both included.
std::vector<DailyRecord> RecordsDated(const std::vector<DailyRecord>& memory, int fromKey,
                                      int toKey);
// The records numbered `from` to `to`, both included.
std::vector<DailyRecord> RecordsNumbered(const std::vector<DailyRecord>& memory, int from, int to);

}  // namespace tarn::sim
