// What a receipt is made of before its sale total: item lines (sales and voids), discounts
// and markups on the last line, and the percentage and value discounts on the receipt.
#include <string>

#include "handlers.h"
#include "printout.h"
#include "text/cp852.h"
#include "wire_fields.h"

namespace tarn::sim {

namespace {

constexpr size_t kNameWidth = 28;
constexpr int kFewestNameCharacters = 10;

struct ReceivedLine {
    ItemLine line;
    bool isVoid = false;
    bool wellFormed = false;
};

// 0x06, the sign (' ' a sale, '-' a void; a line without it is a sale), the name (28), '0',
// the quantity (4), 0x03, the quantity text (4), the price (4), ESC, the tax slot (1), the
// value (4).
ReceivedLine ReadItemLine(const Bytes& body) {
    const size_t at = body.size() == 50 ? 2 : 1;
    ReceivedLine received;
    received.isVoid = at == 2 && body[1] == '-';
    ItemLine& line = received.line;
    line.name = TextAt(body, at, kNameWidth);
    line.quantity = Int32At(body, at + 29);
    line.quantityText = TextAt(body, at + 34, 4);
    line.price = Int32At(body, at + 38);
    line.slot = body[at + 43];
    line.value = Int32At(body, at + 44);
    received.wellFormed = body[at + 28] == '0' && body[at + 33] == 0x03 && body[at + 42] == kEsc;
    return received;
}

int AllowedNameCharacters(const std::string& cp852Name) {
    static const std::string kAllowed = Utf8ToCp852(
        "aąbcćdeęfghijklłmnńoópqrsśtuvwxyzźżAĄBCĆDEĘFGHIJKLŁMNŃOÓPQRSŚTUVWXYZŹŻ0123456789,.");
    int count = 0;
    for (const char c : cp852Name) {
        if (kAllowed.find(c) != std::string::npos) ++count;
    }
    return count;
}

bool Blocked(const Faults& faults, const std::string& name) {
    for (const std::string& blocked : faults.blockedItems) {
        if (blocked == TrimRight(name)) return true;
    }
    return false;
}

bool AmountsInRange(const ItemLine& line) {
    return InAmountRange(line.price) && InAmountRange(line.value) && line.quantity >= 0;
}

char RefusalOfSale(const Context& ctx, const Receipt& receipt, const ItemLine& line) {
    if (Blocked(ctx.faults, line.name)) return CancelReason::kBlockedItem;
    if (AllowedNameCharacters(line.name) < kFewestNameCharacters) return CancelReason::kBadName;
    if (SlotRate(line.slot, ctx.state.taxRates) < 0) return CancelReason::kNoTaxRate;
    if (!AmountsInRange(line) || !InAmountRange(receipt.LinesTotal() + line.value))
        return CancelReason::kOutOfRange;
    return 0;
}

std::string Letter(int slot) {
    return std::string(1, TaxLetter(slot));
}

// "2 szt x2,50 5,00 A": quantity, its unit, price, value and tax letter.
std::string LineFigures(const ItemLine& line, int64_t value) {
    const std::string unit = Trim(line.quantityText);
    return QuantityText(line.quantity) + (unit.empty() ? "" : " " + unit) + " x" +
           AmountText(line.price) + " " + AmountText(value) + " " + Letter(line.slot);
}

void Sell(Context& ctx, Receipt& receipt, const ItemLine& line) {
    if (const char refusal = RefusalOfSale(ctx, receipt, line)) {
        CancelOpenReceipt(ctx.state, ctx.roll, refusal);
        return;
    }
    receipt.lines.push_back(line);
    ctx.roll.PrintColumns(TrimRight(line.name), LineFigures(line, line.value));
}

void Refuse(Context& ctx) {
    CancelOpenReceipt(ctx.state, ctx.roll, CancelReason::kOutOfRange);
}

// A void names the sold line by name, tax slot, price and quantity; the line goes with its
// discounts and markups.
void Void(Context& ctx, Receipt& receipt, const ItemLine& line) {
    if (!AmountsInRange(line)) {
        Refuse(ctx);
        return;
    }
    ItemLine* sold = receipt.LineVoidedBy(line);
    if (sold == nullptr) {
        CancelOpenReceipt(ctx.state, ctx.roll, CancelReason::kNoSuchLine);
        return;
    }
    sold->voided = true;
    receipt.voids.push_back(line);
    ctx.roll.PrintColumns("Storno: " + TrimRight(line.name), LineFigures(line, -line.value));
}

}  // namespace

Bytes SaleLine(Context& ctx, const Bytes& body) {
    Receipt* receipt = ReceiptTakingSale(ctx);
    if (receipt == nullptr) return {};
    const ReceivedLine received = ReadItemLine(body);
    if (!received.wellFormed) {
        CancelOpenReceipt(ctx.state, ctx.roll, CancelReason::kMalformed);
    } else if (received.isVoid) {
        Void(ctx, *receipt, received.line);
    } else {
        Sell(ctx, *receipt, received.line);
    }
    return {};
}

// 0x18, '-' a discount or ' ' a markup, the amount: on the last line, which it may bring down
// to nothing but not below.
Bytes LineDiscount(Context& ctx, const Bytes& body) {
    Receipt* receipt = ReceiptTakingSale(ctx);
    if (receipt == nullptr) return {};
    ItemLine* line = receipt->LastLine();
    const bool discount = body[1] == '-';
    const int64_t amount = Int32At(body, 2);
    const int64_t change = discount ? -amount : amount;
    if (line == nullptr || !InAmountRange(amount) || line->Net() + change < 0 ||
        !InAmountRange(receipt->LinesTotal() + change)) {
        Refuse(ctx);
        return {};
    }
    line->adjustment += change;
    ctx.roll.PrintColumns(discount ? "Rabat" : "Narzut",
                          AmountText(change) + " " + Letter(line->slot));
    return {};
}

// 0x1B and a whole percent, 1 to 99, of the lines after their own discounts; the amount is
// rounded half up to the grosz.
Bytes PercentDiscount(Context& ctx, const Bytes& body) {
    Receipt* receipt = ReceiptTakingSale(ctx);
    if (receipt == nullptr) return {};
    const int percent = body[1];
    const int64_t amount = (percent * receipt->LinesTotal() + 50) / 100;
    if (percent < 1 || percent > 99 || receipt->Total() - amount < 0) {
        Refuse(ctx);
        return {};
    }
    receipt->percent = percent;
    receipt->percentDiscount += amount;
    ctx.roll.PrintColumns("Rabat " + std::to_string(percent) + "%", AmountText(-amount));
    return {};
}

// 0x19, '-' a discount or ' ' a markup, the amount: on the whole receipt.
Bytes ReceiptDiscount(Context& ctx, const Bytes& body) {
    Receipt* receipt = ReceiptTakingSale(ctx);
    if (receipt == nullptr) return {};
    const bool discount = body[1] == '-';
    const int64_t amount = Int32At(body, 2);
    const int64_t change = discount ? -amount : amount;
    if (!InAmountRange(amount) || !InAmountRange(receipt->Total() + change)) {
        Refuse(ctx);
        return {};
    }
    receipt->receiptAdjustment += change;
    ctx.roll.PrintColumns(discount ? "Rabat od sumy" : "Narzut od sumy", AmountText(change));
    return {};
}

}  // namespace tarn::sim
