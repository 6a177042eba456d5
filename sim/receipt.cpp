#include "receipt.h"

#include "wire_fields.h"

namespace tarn::sim {

namespace {

// The slot's place in the printer's table of rates A..F; -1 for the exempt slot.
int TableIndex(int slot) {
    switch (slot) {
        case 1: return 0;
        case 2: return 1;
        case 3: return 2;
        case 4: return 3;
        case 6: return 4;
        case 7: return 5;
        default: return -1;
    }
}

// numerator / denominator, halves rounded away from zero; the denominator is positive.
int64_t DivideRounded(int64_t numerator, int64_t denominator) {
    const int64_t magnitude = numerator < 0 ? -numerator : numerator;
    const int64_t rounded = (2 * magnitude + denominator) / (2 * denominator);
    return numerator < 0 ? -rounded : rounded;
}

std::array<int64_t, kTaxSlots> LinesBySlot(const Receipt& receipt) {
    std::array<int64_t, kTaxSlots> gross{};
    for (const ItemLine& line : receipt.lines) {
        if (line.slot >= 1 && line.slot <= kTaxSlots)
            gross[static_cast<size_t>(line.slot - 1)] += line.Net();
    }
    return gross;
}

void SpreadOverSlots(std::array<int64_t, kTaxSlots>& gross, int64_t adjustment) {
    int64_t base = 0;
    size_t largest = 0;
    for (size_t i = 0; i < gross.size(); ++i) {
        base += gross[i];
        if (gross[i] > gross[largest]) largest = i;
    }
    if (base <= 0 || adjustment == 0) return;
    int64_t spread = 0;
    std::array<int64_t, kTaxSlots> shares{};
    for (size_t i = 0; i < gross.size(); ++i) {
        shares[i] = adjustment * gross[i] / base;
        spread += shares[i];
    }
    shares[largest] += adjustment - spread;
    for (size_t i = 0; i < gross.size(); ++i) gross[i] += shares[i];
}

}  // namespace

char TaxLetter(int slot) {
    static const char kLetters[] = "ABCDGEF";
    return slot >= 1 && slot <= kTaxSlots ? kLetters[slot - 1] : '?';
}

int SlotRate(int slot, const std::array<int, 6>& rates) {
    if (slot == kExemptSlot) return 0;
    const int index = TableIndex(slot);
    return index < 0 ? -1 : rates[static_cast<size_t>(index)];
}

bool ItemLine::SameItem(const ItemLine& other) const {
    return TrimRight(name) == TrimRight(other.name) && slot == other.slot && price == other.price &&
           quantity == other.quantity;
}

int64_t Receipt::LinesTotal() const {
    int64_t total = 0;
    for (const ItemLine& line : lines) total += line.Net();
    return total;
}

int64_t Receipt::Paid() const {
    int64_t paid = 0;
    for (const PaymentRecord& payment : payments) {
        if (payment.kind == 0x81) paid += payment.amount;
    }
    for (const CurrencyPayment& currency : currencies) paid += currency.grosze;
    return paid;
}

ItemLine* Receipt::LastLine() {
    if (lines.empty() || lines.back().voided) return nullptr;
    return &lines.back();
}

ItemLine* Receipt::LineVoidedBy(const ItemLine& voidLine) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (!line->voided && line->SameItem(voidLine)) return &*line;
    }
    return nullptr;
}

int64_t TaxIn(int64_t gross, int rate) {
    if (rate <= 0) return 0;
    return DivideRounded(gross * rate, 10000 + rate);
}

ReceiptTotals TotalsOf(const Receipt& receipt, const std::array<int, 6>& rates) {
    std::array<int64_t, kTaxSlots> gross = LinesBySlot(receipt);
    SpreadOverSlots(gross, receipt.receiptAdjustment - receipt.percentDiscount);
    ReceiptTotals totals;
    for (int slot = 1; slot <= kTaxSlots; ++slot) {
        SlotTotal& t = totals.slots[static_cast<size_t>(slot - 1)];
        t.gross = gross[static_cast<size_t>(slot - 1)];
        t.rate = SlotRate(slot, rates);
        t.tax = TaxIn(t.gross, t.rate);
        totals.gross += t.gross;
        totals.tax += t.tax;
    }
    return totals;
}

}  // namespace tarn::sim
