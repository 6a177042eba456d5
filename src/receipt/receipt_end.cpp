#include "receipt/receipt_end.h"

#include "api/library.h"
#include "receipt/cancellation.h"
#include "receipt/receipt_state.h"

namespace tarn {

EndFate AskWhatBecameOfTheEnd(Session& lib) {
    const ReceiptState& receipt = lib.Record<ReceiptState>();
    const int number = LastReceiptNumber();
    if (number < 0) return {EndFate::Unknown, number};
    const KeptCode code;
    const ReceiptCheck check = WhyTicketCanceled(lib);
    if (check.cancelled) return {EndFate::Cancelled, number};
    code.Restore(0);
    // Without the count at the opening an end cannot be told from a receipt still open.
    if (check.result != 0 || receipt.numberBefore < 0) return {EndFate::Unknown, number};
    const bool ended = number == ((receipt.numberBefore + 1) & 0xFFFF);
    return {ended ? EndFate::Ended : EndFate::Standing, number};
}

}  // namespace tarn
