#include "fiscal_memory.h"

namespace tarn::sim {

namespace {

bool HasSales(const SlotTotal& slot) {
    return slot.gross != 0 || slot.tax != 0;
}

template <typename Keep>
std::vector<DailyRecord> RecordsWhere(const std::vector<DailyRecord>& memory, Keep keep) {
    std::vector<DailyRecord> found;
    for (const DailyRecord& record : memory) {
        if (keep(record)) found.push_back(record);
    }
    return found;
}

}  // namespace

void AddSales(ReceiptTotals& sum, const ReceiptTotals& part) {
    for (size_t i = 0; i < sum.slots.size(); ++i) {
        SlotTotal& into = sum.slots[i];
        const SlotTotal& from = part.slots[i];
        if (!HasSales(from)) continue;
        into.rate = !HasSales(into) || into.rate == from.rate ? from.rate : -1;
        into.gross += from.gross;
        into.tax += from.tax;
    }
    sum.gross += part.gross;
    sum.tax += part.tax;
}

int DateKey(int year, int month, int day) {
    return year * 10000 + month * 100 + day;
}

std::vector<DailyRecord> RecordsDated(const std::vector<DailyRecord>& memory, int fromKey,
                                      int toKey) {
    return RecordsWhere(memory, [=](const DailyRecord& r) {
        const int key = DateKey(r.closedAt);
        return key >= fromKey && key <= toKey;
    });
}

std::vector<DailyRecord> RecordsNumbered(const std::vector<DailyRecord>& memory, int from, int to) {
    return RecordsWhere(memory,
                        [=](const DailyRecord& r) { return r.number >= from && r.number <= to; });
}

}  // namespace tarn::sim
