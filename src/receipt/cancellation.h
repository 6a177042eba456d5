#pragma once

namespace tarn {

struct Session;

// What the printer says of the open receipt after a step.
struct ReceiptCheck {
    // 0 when the receipt stands; else -2 with the detail code in mfErrorL.
    int result = 0;
    // The printer said it cancelled the receipt. A check that failed (no answer even when
    // asked again, a refused question) leaves the receipt as the library counted it: the
    // printer may well hold it still.
    bool cancelled = false;
};

// Asks the printer whether it cancelled the open receipt, and why.
[[nodiscard]] ReceiptCheck WhyTicketCanceled(const Session& lib);

// After a check that failed: a receipt the printer said it cancelled is closed in the library's
// record. Out of paper, the receipt is cancelled on the printer too (it may hold the receipt
// until its next record); the caller sees the reason. Returns the check's result.
[[nodiscard]] int AfterFailedCheck(Session& lib, const ReceiptCheck& check);

// mfStornoTicket: cancels the open receipt ('#'). 0, 1 when the printer had ended it after all
// (an end whose answer was lost), -1, or -2 with the detail code.
[[nodiscard]] int CancelTheReceipt(Session& lib);

}  // namespace tarn
