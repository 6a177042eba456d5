// The fiscal receipt as the printer keeps it while it is open, and the sums it draws from it:
// totals by tax slot after every discount, and the tax in each.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarn::sim {

// Tax slots 1 to 7 carry the rates A, B, C, D, G (tax-exempt), E and F.
constexpr int kTaxSlots = 7;
constexpr int kExemptSlot = 5;
// The largest amount the printer takes in one field, and the largest receipt: 999 999,99.
constexpr int64_t kLargestAmount = 99999999;

// Why the printer cancelled a receipt, as it answers 'P'.
struct CancelReason {
    static constexpr char kNone = 0;         // the receipt stands, or the application cancelled it
    static constexpr char kMalformed = 'B';  // a record whose fixed bytes are wrong
    static constexpr char kBlockedItem = 'C';
    static constexpr char kNoTaxRate = 'F';
    static constexpr char kBadName = 'J';
    static constexpr char kNoSuchLine = 'K';  // a void that matches no sold line
    static constexpr char kOutOfRange = 'S';  // an amount, or sums that do not agree
    static constexpr char kNoPaper = 'X';
};

char TaxLetter(int slot);
// The slot's rate in hundredths of a percent from the printer's table (A..F); -1 when the
// slot has none. The exempt slot always has one: 0.
int SlotRate(int slot, const std::array<int, 6>& rates);

struct ItemLine {
    std::string name;  // 28 bytes, code page 852, as received
    int slot = 0;
    int32_t quantity = 0;      // thousandths
    std::string quantityText;  // 4 bytes as received
    int32_t price = 0;
    int32_t value = 0;       // grosze
    int64_t adjustment = 0;  // discounts (below 0) and markups (above 0) on this line
    bool voided = false;

    int64_t Net() const { return voided ? 0 : value + adjustment; }
    bool SameItem(const ItemLine& other) const;
};

struct PaymentRecord {
    uint8_t kind = 0;  // 0x81 a payment, 0x82 a further amount
    int index = 0;
    std::string name;  // 13 bytes as received
    int32_t amount = 0;
};

struct CurrencyPayment {
    std::string code;  // 3 bytes
    std::string rate;  // 10 bytes of rate text
    uint8_t flag = 0;
    int32_t converted = 0;  // hundredths of the currency
    int32_t grosze = 0;     // from the payment record that follows the information
};

struct FootLine {
    uint8_t kind = 0;
    std::string text;  // code page 852, as received
};

struct Receipt {
    std::optional<int32_t> declaredTotal;
    std::vector<ItemLine> lines;    // sold lines; a void marks its line
    std::vector<ItemLine> voids;    // the void lines as received
    int percent = 0;                // the last percentage discount, whole percent
    int64_t percentDiscount = 0;    // grosze taken off by percentage discounts
    int64_t receiptAdjustment = 0;  // receipt discounts (below 0) and markups (above 0)
    bool saleTotalReceived = false;
    std::optional<int32_t> saleTotal;  // as the sale total record carried it
    std::vector<FootLine> footLines;
    std::vector<PaymentRecord> payments;
    std::vector<CurrencyPayment> currencies;

    // The lines after voids and line discounts.
    int64_t LinesTotal() const;
    // After the receipt-wide discounts too: what the customer owes.
    int64_t Total() const { return LinesTotal() - percentDiscount + receiptAdjustment; }
    // Payments in grosze (records of the first kind and second-currency payments).
    int64_t Paid() const;
    // The last sold line while it stands (not voided); null otherwise.
    ItemLine* LastLine();
    // The latest sold, not yet voided line that `voidLine` voids; null when none.
    ItemLine* LineVoidedBy(const ItemLine& voidLine);
};

struct SlotTotal {
    int64_t gross = 0;  // after every discount and markup
    int rate = -1;
    int64_t tax = 0;
};

struct ReceiptTotals {
    std::array<SlotTotal, kTaxSlots> slots;  // slot n at index n - 1
    int64_t gross = 0;
    int64_t tax = 0;

    const SlotTotal& Slot(int slot) const { return slots[static_cast<size_t>(slot - 1)]; }
};

// The receipt-wide discounts are spread over the slots in proportion to their lines, the
// remainder of the division going to the largest slot.
ReceiptTotals TotalsOf(const Receipt& receipt, const std::array<int, 6>& rates);
// The tax held in a gross amount: gross x rate / (10000 + rate), rounded half up.
int64_t TaxIn(int64_t gross, int rate);

}  // namespace tarn::sim
