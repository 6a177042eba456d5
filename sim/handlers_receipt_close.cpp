// The close of a receipt: the sale total with the tax summary, foot lines, payments (one of
// them possibly in a second currency) and the end with the change, the footer and the
// receipt number.
#include <string>

#include "handlers.h"
#include "printout.h"
#include "wire_fields.h"

namespace tarn::sim {

namespace {

// The printer's own total against the one the sale total carried and the one declared at
// the opening.
bool TotalsAgree(const Receipt& receipt) {
    const int64_t own = receipt.Total();
    if (receipt.saleTotal && *receipt.saleTotal != own) return false;
    return !receipt.declaredTotal || *receipt.declaredTotal == own;
}

void PrintTaxSummary(Context& ctx, const Receipt& receipt) {
    const ReceiptTotals totals = TotalsOf(receipt, ctx.state.taxRates);
    ctx.roll.Rule();
    PrintSalesByRate(ctx.roll, totals);
    ctx.roll.PrintPair("SUMA PTU", AmountText(totals.tax));
    ctx.roll.PrintPair("SUMA PLN", AmountText(totals.gross));
}

// Takes the sale total (once): the sums must agree, else the receipt is cancelled.
bool CloseSale(Context& ctx, Receipt& receipt) {
    if (!TotalsAgree(receipt)) {
        CancelOpenReceipt(ctx.state, ctx.roll, CancelReason::kOutOfRange);
        return false;
    }
    receipt.saleTotalReceived = true;
    PrintTaxSummary(ctx, receipt);
    return true;
}

void PrintChange(Context& ctx, const Receipt& receipt) {
    const int64_t change = receipt.Paid() - receipt.Total();
    if (change > 0) ctx.roll.PrintPair("RESZTA", AmountText(change));
}

void PrintFooter(Context& ctx) {
    if (ctx.state.model.type < 8) return;
    for (const std::string& line : ctx.state.footer) {
        if (!Trim(line).empty()) ctx.roll.Print(line);
    }
}

void PrintReceiptNumber(Context& ctx) {
    ctx.roll.Rule();
    ctx.roll.PrintPair("Paragon nr " + std::to_string(ctx.state.receiptsToday),
                       ctx.state.model.serialNumber);
}

void Refuse(Context& ctx) {
    CancelOpenReceipt(ctx.state, ctx.roll, CancelReason::kOutOfRange);
}

}  // namespace

// 0x07 alone, or with the total the application counted.
Bytes SaleTotal(Context& ctx, const Bytes& body) {
    Receipt* receipt = ReceiptTakingSale(ctx);
    if (receipt == nullptr) return {};
    if (body.size() >= 5) receipt->saleTotal = Int32At(body, 1);
    CloseSale(ctx, *receipt);
    return {};
}

// 0x09, the line's kind, its text, LF: printed as it came.
Bytes PrintFootLine(Context& ctx, const Bytes& body) {
    Receipt* receipt = StandingReceipt(ctx);
    if (receipt == nullptr) return {};
    FootLine line{body[1], std::string(body.begin() + 2, body.end() - 1)};
    receipt->footLines.push_back(line);
    ctx.roll.Print(line.text);
    return {};
}

// 0x81 a payment or 0x82 a further amount, the index, the name (13), the amount.
Bytes TakePayment(Context& ctx, const Bytes& body) {
    Receipt* receipt = StandingReceipt(ctx);
    if (receipt == nullptr) return {};
    PaymentRecord payment{body[0], body[1], TextAt(body, 2, 13), Int32At(body, 15)};
    if (!InAmountRange(payment.amount)) {
        Refuse(ctx);
        return {};
    }
    receipt->payments.push_back(payment);
    ctx.roll.PrintColumns(TrimRight(payment.name), AmountText(payment.amount));
    return {};
}

// 0x83, the currency code (3), the rate text (10), a flag, the amount in the currency's
// hundredths.
Bytes SecondCurrencyInfo(Context& ctx, const Bytes& body) {
    Receipt* receipt = StandingReceipt(ctx);
    if (receipt == nullptr) return {};
    CurrencyPayment currency{TextAt(body, 1, 3), TextAt(body, 4, 10), body[14], Int32At(body, 15),
                             0};
    if (!InAmountRange(currency.converted)) {
        Refuse(ctx);
        return {};
    }
    receipt->currencies.push_back(currency);
    const std::string code = TrimRight(currency.code);
    ctx.roll.PrintColumns(code + " " + Trim(currency.rate),
                          AmountText(currency.converted) + " " + code);
    return {};
}

// 0x84, the amount in grosze, 12 zero bytes: the payment of the currency announced before.
Bytes SecondCurrencyPayment(Context& ctx, const Bytes& body) {
    Receipt* receipt = StandingReceipt(ctx);
    if (receipt == nullptr) return {};
    const int32_t grosze = Int32At(body, 1);
    if (!InAmountRange(grosze)) {
        Refuse(ctx);
        return {};
    }
    if (receipt->currencies.empty() || receipt->currencies.back().grosze != 0)
        receipt->currencies.push_back(CurrencyPayment{});
    receipt->currencies.back().grosze = grosze;
    ctx.roll.PrintPair("Płatność w walucie", AmountText(grosze));
    return {};
}

bool AcceptReceiptEnd(Context& ctx) {
    return ctx.state.receiptOpen && !ctx.state.paperOut;
}

// '$': a receipt whose sale total never came is totalled now.
Bytes EndReceipt(Context& ctx, const Bytes&) {
    PrinterState& s = ctx.state;
    if (!s.receipt.saleTotalReceived && !CloseSale(ctx, s.receipt)) return {};
    PrintChange(ctx, s.receipt);
    PrintFooter(ctx);
    s.receiptOpen = false;
    ++s.receiptsToday;
    AddSales(s.day.sales, TotalsOf(s.receipt, s.taxRates));
    s.lastEndedReceipt = s.receipt;
    PrintReceiptNumber(ctx);
    ctx.roll.Cut();
    return {};
}

}  // namespace tarn::sim
