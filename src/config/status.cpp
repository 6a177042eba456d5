// Yes-or-no questions about the printer and the open documents, and the state printout.
#include "api/library.h"
#include "config/config_commands.h"
#include "link/shared_commands.h"
#include "link/status_bits.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr int kStateWaitSeconds = 30;

// Sends `query`; when the printer answered, writes whether `yes()` holds of its answer.
template <typename Yes>
int AskPrinter(CRequest& query, int* answer, Yes yes) {
    if (!Lib().started) return NotStarted();
    const int result = Exchange(query);
    if (result != 0) return result;
    if (answer != nullptr) *answer = yes() ? 1 : 0;
    return Succeeded();
}

int StatusBit(int index, int bit, int* answer) {
    int status = 0;
    CRequestStatus query(index, &status);
    return AskPrinter(query, answer, [&status, bit] { return (status & bit) != 0; });
}

// The library's record; a document the printer may hold after a failure is asked for first.
int DocumentFlag(uint32_t mask, int* answer) {
    if (!Lib().started) return NotStarted();
    SettleDocumentDoubt();
    if (answer != nullptr) *answer = Lib().IsDocumentOpen(mask) ? 1 : 0;
    return Succeeded();
}

}  // namespace

// The mode bit of status byte 0, passed on as the printer reports it.
extern "C" int TARN_API mfStatMode(int* mode) try {
    ApiCall call;
    return StatusBit(0, status0::kMode, mode);
} catch (...) {
    return ExceptionEscaped("mfStatMode");
}

// 1 while the fiscal day is open (a receipt since the last daily report).
extern "C" int TARN_API mfStatShift(int* open) try {
    ApiCall call;
    int receipts = 0;
    CRequestLastTicketNo counter(&receipts);
    return AskPrinter(counter, open, [&receipts] { return receipts > 0; });
} catch (...) {
    return ExceptionEscaped("mfStatShift");
}

// Status byte 2's first no-paper bit.
extern "C" int TARN_API mfStatNoPaper(int* noPaper) try {
    ApiCall call;
    return StatusBit(2, status2::kNoPaper, noPaper);
} catch (...) {
    return ExceptionEscaped("mfStatNoPaper");
}

extern "C" int TARN_API mfStatReceipt(int* open) try {
    ApiCall call;
    return DocumentFlag(MF_DOC_RECEIPT, open);
} catch (...) {
    return ExceptionEscaped("mfStatReceipt");
}

extern "C" int TARN_API mfStatDocument(int* open) try {
    ApiCall call;
    return DocumentFlag(MF_DOC_ANY, open);
} catch (...) {
    return ExceptionEscaped("mfStatDocument");
}

// The printer prints its state; a failed exchange keeps its code through the wait.
extern "C" int TARN_API mfPrState(void) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    CRequestPrState print;
    const int result = Exchange(print);
    const KeptCode code;
    (void)Lib().link->WaitUntilReady(kStateWaitSeconds);  // the print's result stands
    return result != 0 ? code.Restore(result) : result;
} catch (...) {
    return ExceptionEscaped("mfPrState");
}
