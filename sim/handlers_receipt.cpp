// The fiscal receipt as the printer keeps it: opened, cancelled (asked to, or of its own
// accord when it cannot take a record), and the query for the reason.
#include "handlers.h"
#include "printout.h"
#include "wire_fields.h"

namespace tarn::sim {

namespace {

// Status byte 1 bit 0x20 for a blocked item; the paper-out bit of status byte 2 when the
// paper is out; status byte 2 bit 0x10 for everything else.
void ShowInStatus(PrinterState& state, char reason) {
    if (reason == CancelReason::kBlockedItem) {
        state.cancellationBits[1] |= 0x20;
    } else if (reason != CancelReason::kNoPaper || !state.paperOut) {
        state.cancellationBits[2] |= 0x10;
    }
}

}  // namespace

void CancelOpenReceipt(PrinterState& state, PaperRoll& roll, char reason) {
    if (!state.receiptOpen) return;
    state.receiptOpen = false;
    ++state.day.cancelled;
    state.cancellationReason = reason;
    if (reason != CancelReason::kNone && !state.model.NamesCancellationReasons())
        ShowInStatus(state, reason);
    roll.PrintCentred("PARAGON ANULOWANY");
    roll.Cut();
}

// A record for the open receipt continues it: a receipt left open by an earlier conversation is
// no longer left once the application carries on with it.
Receipt* StandingReceipt(Context& ctx) {
    if (!ctx.state.receiptOpen) return nullptr;
    ctx.state.receiptInProgress = true;
    if (ctx.state.paperOut) {
        CancelOpenReceipt(ctx.state, ctx.roll, CancelReason::kNoPaper);
        return nullptr;
    }
    return &ctx.state.receipt;
}

Receipt* ReceiptTakingSale(Context& ctx) {
    Receipt* receipt = StandingReceipt(ctx);
    if (receipt != nullptr && receipt->saleTotalReceived) {
        CancelOpenReceipt(ctx.state, ctx.roll, CancelReason::kOutOfRange);
        return nullptr;
    }
    return receipt;
}

bool InAmountRange(int64_t grosze) {
    return grosze >= 0 && grosze <= kLargestAmount;
}

bool AcceptReceiptOpening(Context& ctx) {
    const PrinterState& s = ctx.state;
    return !s.DocumentOpen() && !s.dayMustClose && !s.paperOut;
}

// '!' opens a receipt; ' ' and a total open one whose lines must come to that total.
Bytes OpenReceipt(Context& ctx, const Bytes& body) {
    PrinterState& s = ctx.state;
    s.receipt = Receipt{};
    if (body[0] == 0x20) s.receipt.declaredTotal = Int32At(body, 1);
    s.receiptOpen = true;
    s.receiptInProgress = true;
    s.cancellationReason = CancelReason::kNone;
    s.cancellationBits = {};
    if (s.model.type >= 8) PrintLogo(ctx);
    PrintHeader(ctx);
    ctx.roll.PrintCentred("PARAGON FISKALNY");
    ctx.roll.Rule();
    return {};
}

// '#' with no receipt open has nothing to cancel and is simply taken.
Bytes CancelReceipt(Context& ctx, const Bytes&) {
    CancelOpenReceipt(ctx.state, ctx.roll, CancelReason::kNone);
    return {};
}

bool AcceptReasonQuery(Context& ctx) {
    return ctx.state.model.NamesCancellationReasons();
}

// 'P': 0 while the open receipt stands or when nothing was cancelled, else the reason of the
// last cancellation (an opening forgets it).
Bytes CancellationReason(Context& ctx, const Bytes&) {
    return {static_cast<uint8_t>(ctx.state.cancellationReason)};
}

}  // namespace tarn::sim
