// The fiscal receipt as the printer keeps it: opened, lines, cancelled, ended.
#include <cstdio>
#include <string>

#include "handlers.h"

namespace tarn::sim {

namespace {

int32_t Int32At(const Bytes& body, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4 && offset + i < body.size(); ++i) {
        value |= static_cast<uint32_t>(body[offset + i]) << (8 * i);
    }
    return static_cast<int32_t>(value);
}

std::string Amount(int64_t grosze) {
    char text[32];
    const int64_t magnitude = grosze < 0 ? -grosze : grosze;
    std::snprintf(text, sizeof text, "%s%lld,%02lld", grosze < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 100), static_cast<long long>(magnitude % 100));
    return text;
}

}  // namespace

bool AcceptReceiptOpening(Context& ctx) {
    const PrinterState& s = ctx.state;
    return !s.DocumentOpen() && !s.dayMustClose && !s.paperOut;
}

Bytes OpenReceipt(Context& ctx, const Bytes&) {
    ctx.state.receiptOpen = true;
    if (ctx.state.model.type >= 8) PrintLogo(ctx);
    ctx.roll.PrintCentred("PARAGON FISKALNY");
    ctx.roll.Rule();
    return {};
}

Bytes SaleLine(Context& ctx, const Bytes& body) {
    if (!ctx.state.receiptOpen || body.size() < 49) return {};
    const size_t name = body.size() == 50 ? 2 : 1;
    const std::string text(body.begin() + static_cast<long>(name),
                           body.begin() + static_cast<long>(name) + 28);
    const int32_t value = Int32At(body, body.size() - 4);
    const bool voided = name == 2 && body[1] == '-';
    ctx.roll.PrintPair(text.substr(0, 26), (voided ? "-" : "") + Amount(value));
    return {};
}

Bytes CancelReceipt(Context& ctx, const Bytes&) {
    if (!ctx.state.receiptOpen) return {};
    ctx.state.receiptOpen = false;
    ctx.roll.PrintCentred("PARAGON ANULOWANY");
    ctx.roll.Cut();
    return {};
}

// 0 while the open receipt stands; the printer has nothing else to report yet.
Bytes CancellationReason(Context&, const Bytes&) {
    return {0};
}

Bytes ReceiptRecord(Context&, const Bytes&) {
    return {};
}

bool AcceptReceiptEnd(Context& ctx) {
    return ctx.state.receiptOpen && !ctx.state.paperOut;
}

Bytes EndReceipt(Context& ctx, const Bytes&) {
    ctx.state.receiptOpen = false;
    ++ctx.state.receiptsToday;
    char number[32];
    std::snprintf(number, sizeof number, "#%04d", ctx.state.receiptsToday);
    ctx.roll.PrintPair(ctx.state.model.serialNumber, number);
    ctx.roll.Cut();
    return {};
}

}  // namespace tarn::sim
