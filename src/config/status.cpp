// Yes-or-no questions about the printer and the open documents, and the state printout.
#include "api/exported.h"
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
int DocumentFlag(const Session& lib, uint32_t mask, int* answer) {
    SettleDocumentDoubt();
    if (answer != nullptr) *answer = lib.IsDocumentOpen(mask) ? 1 : 0;
    return Succeeded();
}

}  // namespace

// The mode bit of status byte 0, passed on as the printer reports it.
int tarn::exported::mfStatMode(Library&, int* mode) {
    return StatusBit(0, status0::kMode, mode);
}

// 1 while the fiscal day is open (a receipt since the last daily report).
int tarn::exported::mfStatShift(Library&, int* dayOpen) {
    int receipts = 0;
    CRequestLastTicketNo counter(&receipts);
    return AskPrinter(counter, dayOpen, [&receipts] { return receipts > 0; });
}

// Status byte 2's first no-paper bit.
int tarn::exported::mfStatNoPaper(Library&, int* noPaper) {
    return StatusBit(2, status2::kNoPaper, noPaper);
}

int tarn::exported::mfStatReceipt(Library& lib, int* receiptOpen) {
    return DocumentFlag(lib, MF_DOC_RECEIPT, receiptOpen);
}

int tarn::exported::mfStatDocument(Library& lib, int* documentOpen) {
    return DocumentFlag(lib, MF_DOC_ANY, documentOpen);
}

// The printer prints its state; a failed exchange keeps its code through the wait.
int tarn::exported::mfPrState(Library&) {
    CRequestPrState print;
    const int result = Exchange(print);
    (void)WaitUntilReady(kStateWaitSeconds);  // the print's result stands
    return result;
}
