// Sale lines, void lines and the cancellation of the receipt.
#include <cinttypes>
#include <cstdio>

#include "api/detail_codes.h"
#include "api/library.h"
#include "api/log.h"
#include "receipt/cancellation.h"
#include "receipt/receipt_commands.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr int kOlderPrinterLinePauseMs = 200;

char Letter(int ptu) {
    return static_cast<char>(ptu & 0xFF);
}

int CancelTicket() {
    Library& lib = Lib();
    if (!lib.started) return NotStarted();
    if (!lib.IsDocumentOpen(MF_DOC_RECEIPT)) return Failed(kCodeDocumentNotOpen);
    CRequestCancelTicket cancel;
    const int result = Exchange(cancel);
    LogResultF(result, "In mfStornoTicket, result: %d,", result);
    lib.SetDocumentOpen(MF_DOC_RECEIPT, false);
    return result;
}

// The printer cancelled the receipt. Out of paper, it is cancelled on our side too; the caller
// sees the reason, not the cancellation's own outcome.
int Cancelled(int result, bool cancelOnNoPaper) {
    Library& lib = Lib();
    if (cancelOnNoPaper && lib.mfErrorL == kCodeNoPaper) {
        const KeptCode reason;
        CancelTicket();
        reason.Restore(result);
    }
    lib.SetDocumentOpen(MF_DOC_RECEIPT, false);
    return result;
}

int SaleLine(const char* name, int ptu, const char* quantityText, int32_t price, int32_t quantity,
             int32_t value) {
    Library& lib = Lib();
    if (!lib.started) return NotStarted();
    if (!lib.IsDocumentOpen(MF_DOC_RECEIPT)) return Failed(kCodeDocumentNotOpen);
    LogInfoF("In mfLineTicket, price: %d, quantity: %d, value: %d,TickedOpened: %d", price,
             quantity, value, 1);
    const int64_t lineValue = LineValue(price, quantity, value);
    if (!FitsInt32(lineValue)) return Failed(kCodeOutOfRange);
    ReceiptState& receipt = lib.receipt;
    if (!receipt.totalDeclared) receipt.total += lineValue;
    CRequestSalePos line(FixUpName(name).c_str(), Letter(ptu), quantityText, price, quantity,
                         static_cast<int32_t>(lineValue), CRequestSalePos::kSale);
    const int result = Exchange(line, true);
    LogResultF(result,
               "In mfLineTicket, temp_value: %" PRId64 ", value: %d, mfTicketTotal: %" PRId64
               ", result: %d",
               lineValue, value, receipt.total, result);
    SettleOlderPrinter(kOlderPrinterLinePauseMs);
    const int why = WhyTicketCanceled();
    if (why != 0) return Cancelled(why, true);
    std::snprintf(receipt.lastLineName, sizeof receipt.lastLineName, "%s",
                  name != nullptr ? name : "");
    receipt.lastLineValue = lineValue;
    receipt.lastLinePtu = Letter(ptu);
    return Succeeded();
}

// The void carries the name the printer recorded for the line, fixed up the same way.
int VoidLine(const char* name, int ptu, const char* quantityText, int32_t price, int32_t quantity,
             int32_t value) {
    Library& lib = Lib();
    if (!lib.started) return NotStarted();
    if (!lib.IsDocumentOpen(MF_DOC_RECEIPT)) return Failed(kCodeDocumentNotOpen);
    LogInfoF("In mfStornoLineTicket, price: %d, quantity: %d, value: %d,TickedOpened: %d", price,
             quantity, value, 1);
    const int64_t lineValue = LineValue(price, quantity, value);
    if (!FitsInt32(lineValue)) return Failed(kCodeOutOfRange);
    ReceiptState& receipt = lib.receipt;
    if (!receipt.totalDeclared) receipt.total -= lineValue;
    CRequestSalePos line(FixUpName(name).c_str(), Letter(ptu), quantityText, price, quantity,
                         static_cast<int32_t>(lineValue), CRequestSalePos::kVoid);
    const int result = Exchange(line, true);
    LogResultF(result,
               "In mfStornoLineTicket, temp_value: %" PRId64 ", value: %d, mfTicketTotal: %" PRId64
               ", result: %d",
               lineValue, value, receipt.total, result);
    if (result != 0) return result;
    const int why = WhyTicketCanceled();
    if (why != 0) return Cancelled(why, false);
    return Succeeded();
}

}  // namespace

extern "C" int TARN_API mfLineTicket(tarn_arg, const char* name, int ptu, const char* quantityText,
                                     int price, int quantity, int value) {
    ApiCall call;
    return SaleLine(name, ptu, quantityText, price, quantity, value);
}

extern "C" int TARN_API mfStornoLineTicket(tarn_arg, const char* name, int ptu,
                                           const char* quantityText, int price, int quantity,
                                           int value) {
    ApiCall call;
    return VoidLine(name, ptu, quantityText, price, quantity, value);
}

extern "C" int TARN_API mfStornoTicket(void) {
    ApiCall call;
    return CancelTicket();
}
