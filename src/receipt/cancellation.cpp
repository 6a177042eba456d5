#include "receipt/cancellation.h"

#include <cstring>

#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "link/status_bits.h"
#include "platform/platform.h"
#include "receipt/receipt_commands.h"
#include "receipt/receipt_end.h"
#include "receipt/receipt_state.h"

namespace tarn {

namespace {

constexpr uint8_t kReasonQuery = 0x50;  // 'P'

// Printers that cannot name a reason show it in status bytes 1 and 2; the first rule that
// holds gives the code.
constexpr StatusRule kCancelledRules[] = {
    {1, status1::kFault01, true, kCodeResourcesExhausted},
    {1, status1::kDocumentLeftOpen, true, kCodeOther},
    {1, status1::kDayMustClose, true, kCodeDayOpen},
    {1, status1::kFault10, true, kCodeFiscalError},
    {1, status1::kFault20, true, kCodeItemBlocked},
    {1, status1::kFault40, true, kCodeDisplayError},
    {1, status1::kFault80, true, kCodeFiscalError},
    {2, status2::kNoPaper, true, kCodeNoPaper},
    {2, status2::kFault04, true, kCodeFiscalError},
    {2, status2::kFault08, true, kCodeBatteryError},
    {2, status2::kFault10, true, kCodeOther},
    {2, status2::kFault20, true, kCodeDisplayError},
    {2, status2::kPaperOut, true, kCodeNoPaper},
    {2, status2::kFault80, true, kCodeFiscalError},
};

int CodeOfReason(char reason) {
    if (reason == 'C') return kCodeItemBlocked;
    return std::strchr("27FGJKRST", reason) != nullptr ? kCodeOutOfRange : kCodeOther;
}

// 'P': 0, or the reason as a character. A byte outside the printable ones is no answer the
// printer gives (noise on the line): the answer is not known.
class CRequestReason : public CRequestOneByte {
public:
    explicit CRequestReason(int* reason) : CRequestOneByte(kReasonQuery, reason) {}
    int ParseAnswer(const uint8_t* bytes, int count) override {
        const bool reason = count >= 1 && (bytes[0] == 0 || (bytes[0] > 0x20 && bytes[0] < 0x7F));
        return reason ? CRequestOneByte::ParseAnswer(bytes, count) : kCodeCommunication;
    }
};

// An exchange whose answer was lost is asked once more: a question changes nothing.
int AskTwiceIfUnanswered(CRequest& query) {
    const int result = Exchange(query);
    return result != MF_OK && AnswerUnknown() ? Exchange(query) : result;
}

// Printers that name a reason give it for paper out among the reasons the library has no code
// of its own for: status byte 2 tells.
bool PaperOut() {
    int status2 = 0;
    CRequestStatus query(2, &status2);
    return ExchangeQuietly(query) == 0 && (status2 & (status2::kNoPaper | status2::kPaperOut)) != 0;
}

ReceiptCheck AskReason() {
    int reason = 0;
    CRequestReason query(&reason);
    const int result = AskTwiceIfUnanswered(query);
    if (result != MF_OK) return {result, false};
    if (reason == 0) return {MF_OK, false};
    LogInfoF("WhyTicketCanceled - przyczyna: %c", reason);
    int code = CodeOfReason(static_cast<char>(reason));
    if (code == kCodeOther && PaperOut()) code = kCodeNoPaper;
    return {Failed(code), true};
}

ReceiptCheck ReadStatusBits() {
    int status[3] = {0, 0, 0};
    for (int index = 1; index <= 2; ++index) {
        CRequestStatus query(index, &status[index]);
        const int result = AskTwiceIfUnanswered(query);
        if (result != MF_OK) return {result, false};
    }
    const int code = FirstRuleCode(kCancelledRules, status, 0);
    return code != 0 ? ReceiptCheck{Failed(code), true} : ReceiptCheck{MF_OK, false};
}

// A receipt whose end went unanswered may be ended: the printer is asked before '#' could
// cancel nothing while the application sells it again. 1 when it was ended (nothing to cancel),
// 0 when the printer cancelled it itself, -2 while it cannot be asked, -1 to go on with '#'.
int SettleUnansweredEnd(Session& lib) {
    if (lib.Record<ReceiptState>().closing != ClosingStage::EndUnknown) return -1;
    const EndFate fate = AskWhatBecameOfTheEnd(lib);
    if (fate.kind == EndFate::Unknown) return Failed(kCodeCommunication);
    if (fate.kind == EndFate::Standing) return -1;
    lib.SetDocumentOpen(MF_DOC_RECEIPT, false);
    lib.Record<ReceiptState>().closing = ClosingStage::NotBegun;
    if (fate.kind == EndFate::Cancelled) return Succeeded();
    LogErrorF("In mfStornoTicket, receipt %d ended by the printer, nothing to cancel", fate.number);
    return Succeeded(MF_NOT_PERFORMED);
}

// A document the library knows of from the printer's word only is ended as a start ends it:
// 'Q' ends a form or a non-fiscal document, '#' cancels a receipt.
int EndDocumentHeldByPrinter(Session& lib) {
    const int result = EndDocumentLeftOpen();
    LogResultF(result, "In mfStornoTicket, result: %d,", result);
    if (result != MF_OK) return result;
    lib.SetDocumentOpen(MF_DOC_RECEIPT, false);
    lib.documentFromPrinter = lib.documentInDoubt = false;
    return Succeeded();
}

}  // namespace

// The receipt stays open in the library's record while the printer may hold it: a '#' refused
// or not sent, or one whose acknowledge was lost on a printer still holding a document.
int CancelTheReceipt(Session& lib) {
    const int settled = SettleUnansweredEnd(lib);
    if (settled != -1) return settled;
    if (lib.documentFromPrinter) return EndDocumentHeldByPrinter(lib);
    CRequestCancelTicket cancel;
    int result = Exchange(cancel);
    LogResultF(result, "In mfStornoTicket, result: %d,", result);
    if (result != MF_OK && AnswerUnknown() && PrinterHoldsDocument() == 0) {
        LogErrorF("In mfStornoTicket, the receipt cancelled by the printer, acknowledge lost");
        result = Succeeded();
    }
    if (result != MF_OK) return result;
    lib.SetDocumentOpen(MF_DOC_RECEIPT, false);
    lib.Record<ReceiptState>().closing = ClosingStage::NotBegun;
    return result;
}

ReceiptCheck WhyTicketCanceled(const Session& lib) {
    CurrentPlatform().SleepMs(200);
    return lib.capabilities.reasonQuery ? AskReason() : ReadStatusBits();
}

int AfterFailedCheck(Session& lib, const ReceiptCheck& check) {
    if (lib.mfErrorL == kCodeNoPaper) {
        const KeptCode reason;
        (void)CancelTheReceipt(lib);  // the caller sees the reason
        reason.Restore(check.result);
    }
    if (check.cancelled) {
        lib.SetDocumentOpen(MF_DOC_RECEIPT, false);
        lib.Record<ReceiptState>().closing = ClosingStage::NotBegun;
    }
    return check.result;
}

}  // namespace tarn
