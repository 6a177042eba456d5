// mfBeginTicket: the checks before a receipt, the recovery of a document the printer still
// holds, the day close it asks for, and the opening itself.
#include <cinttypes>

#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "link/status_bits.h"
#include "platform/platform.h"
#include "receipt/receipt_commands.h"
#include "receipt/receipt_state.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr int kRecoverySettleMs = 300;

// Tried in order; the first that holds refuses the opening. Code 0: no refusal, the printer
// asks for the day close.
constexpr StatusRule kOpeningChecks[] = {
    {0, status0::kInitialised, false, kCodeNotInitialised},
    {0, status0::kInOrder, false, kCodeInitialisationError},
    {0, status0::kOutOfOrder, true, kCodeInitialisationError},
    {1, status1::kDocumentLeftOpen, true, kCodeOther},
    {1, status1::kDayMustClose, true, 0},
    {1, status1::kFault10, true, kCodeInitialisationError},
    {1, status1::kFault40, true, kCodeDisplayError},
    {1, status1::kFault80, true, kCodeCommunication},
    {2, status2::kNoPaper, true, kCodeNoPaper},
    {2, status2::kFault04, true, kCodeFiscalError},
    {2, status2::kPaperOut, true, kCodeNoPaper},
    {2, status2::kFault80, true, kCodeFiscalError},
    {3, status3::kFiscalFault, true, kCodeFiscalError},
};

// Then the printer's settling pause after a document it had to end.
void WaitAfterDocument(const Session& lib, int seconds) {
    (void)lib.link->WaitUntilReady(seconds);  // the exchanges after it tell
    CurrentPlatform().SleepMs(kRecoverySettleMs);
}

// 'Q' and '#' when the printer still holds a document (a printer that does not answer the
// question holds none to end).
int EndLeftOverDocument(const Session& lib) {
    if (PrinterHoldsDocument() != 1) return MF_OK;
    const int result = EndDocumentLeftOpen();
    if (result != MF_OK) return result;
    WaitAfterDocument(lib, 30);
    return MF_OK;
}

// Status bytes 0 to 3; a query that fails fails the opening with its code.
int ReadStatus(int status[4]) {
    for (int index = 0; index < 4; ++index) {
        CRequestStatus query(index, &status[index]);
        const int result = Exchange(query);
        if (result != 0) return result;
    }
    return MF_OK;
}

// A day closed here starts the receipt count again: *lastNumber becomes 0.
int CheckStatus(const Session& lib, const int status[4], int* lastNumber) {
    for (const StatusRule& check : kOpeningChecks) {
        const bool set = (status[check.byteIndex] & check.bit) != 0;
        if (set != check.whenSet) continue;
        if (check.code != 0) return Failed(check.code);
        CRequestShiftEnd close;
        const int result = Exchange(close);
        if (result != 0) return result;
        *lastNumber = 0;
        WaitAfterDocument(lib, 30);
    }
    return MF_OK;
}

// The opening's acknowledge lost on the line: the printer, which held no document before it,
// holds one now when it opened the receipt.
bool OpenedAnyway() {
    if (!AnswerUnknown() || PrinterHoldsDocument() != 1) return false;
    LogErrorF("In mfBeginTicket, the receipt opened by the printer, acknowledge lost");
    return true;
}

int Begin(Session& lib, int32_t total) {
    LogInfoF("In mfBeginTicket, total: %d,TickedOpened: %d", total, lib.IsDocumentOpen(MF_DOC_ANY));
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    int lastNumber = -1;
    CRequestLastTicketNo counter(&lastNumber);
    (void)Exchange(counter);  // a count not read stays -1: unknown
    int result = EndLeftOverDocument(lib);
    if (result != 0) return result;
    int status[4] = {0, 0, 0, 0};
    result = ReadStatus(status);
    if (result != 0) return result;
    result = CheckStatus(lib, status, &lastNumber);
    if (result != 0) return result;
    // A total of 1 or more is declared; with 0 or less the lines are summed.
    lib.Record<ReceiptState>().Reset(total, total >= 1, lastNumber);
    CRequestBeginTicket opening(total);
    result = Exchange(opening);
    LogResultF(result, "In mfBeginTicket, total: %d", total);
    if (result != 0 && !OpenedAnyway()) return result;
    lib.SetDocumentOpen(MF_DOC_RECEIPT, true);
    lib.documentFromPrinter = lib.documentInDoubt = false;
    return Succeeded();
}

}  // namespace

int tarn::exported::mfBeginTicket(Library& lib, int total) {
    return Begin(lib, total);
}
