// Sale lines, void lines and the cancellation of the receipt.
#include <cinttypes>
#include <cstdio>

#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "receipt/cancellation.h"
#include "receipt/receipt_commands.h"
#include "receipt/receipt_state.h"
#include "tarn/tarn.h"
#include "text/formatting.h"

using namespace tarn;

namespace {

constexpr int kOlderPrinterLinePauseMs = 200;

struct LineRequest {
    const char* name;
    int ptu;
    const char* quantityText;
    int32_t price;
    int32_t quantity;
    int32_t value;
};

// The common start of a sale or void line: the session, the open receipt, the log line, a tax
// letter the printer has (else 772: sold at another rate, the receipt would be wrong), and the
// line's value, which must fit its field. 0 with the value in *lineValue, else the result.
int StartLine(const char* function, const LineRequest& line, int64_t* lineValue) {
    LogInfoF("In %s, price: %d, quantity: %d, value: %d,TickedOpened: %d", function, line.price,
             line.quantity, line.value, 1);
    if (TaxLetter(line.ptu) == 0) return Failed(kCodeBadTaxLetter);
    *lineValue = LineValue(line.price, line.quantity, line.value);
    return FitsInt32(*lineValue) ? MF_OK : Failed(kCodeOutOfRange);
}

// Sends the line with the name fixed up as the printer takes it; a void carries the same name
// as its sale.
int SendLine(const ReceiptState& receipt, const char* function, const LineRequest& line,
             int64_t lineValue, int kind) {
    CRequestItemLine request(FixUpName(line.name).c_str(), TaxLetter(line.ptu), line.quantityText,
                             line.price, line.quantity, static_cast<int32_t>(lineValue), kind);
    const int result = Exchange(request);
    LogResultF(result,
               "In %s, temp_value: %" PRId64 ", value: %d, mfTicketTotal: %" PRId64 ", result: %d",
               function, lineValue, line.value, receipt.total, result);
    return result;
}

int SaleLine(Session& lib, const LineRequest& line) {
    int64_t lineValue = 0;
    const int started = StartLine("mfLineTicket", line, &lineValue);
    if (started != 0) return started;
    ReceiptState& receipt = lib.Record<ReceiptState>();
    if (!receipt.totalDeclared) receipt.total += lineValue;
    // Sent without awaiting its acknowledge: the check that follows tells whether it was taken.
    (void)SendLine(receipt, "mfLineTicket", line, lineValue, CRequestItemLine::kSale);
    SettleOlderPrinter(kOlderPrinterLinePauseMs);
    const ReceiptCheck check = WhyTicketCanceled(lib);
    if (check.result != 0) return AfterFailedCheck(lib, check);
    ++receipt.saleLines;
    std::snprintf(receipt.lastLineName, sizeof receipt.lastLineName, "%s",
                  GivenName(line.name).c_str());
    receipt.lastLineValue = lineValue;
    receipt.lastLinePtu = TaxLetter(line.ptu);
    return Succeeded();
}

int VoidLine(Session& lib, const LineRequest& line) {
    int64_t lineValue = 0;
    const int started = StartLine("mfStornoLineTicket", line, &lineValue);
    if (started != 0) return started;
    ReceiptState& receipt = lib.Record<ReceiptState>();
    if (!receipt.totalDeclared) receipt.total -= lineValue;
    // A discount on a voided line would make the printer cancel the whole receipt: a void of the
    // last sale line ends its discounts, even when the void's own outcome is not known.
    if (receipt.IsLastLine(line.name, TaxLetter(line.ptu), lineValue)) receipt.EndDiscounts();
    const int result =
        SendLine(receipt, "mfStornoLineTicket", line, lineValue, CRequestItemLine::kVoid);
    if (result != 0) return result;
    const ReceiptCheck check = WhyTicketCanceled(lib);
    if (check.result != 0) return AfterFailedCheck(lib, check);
    return Succeeded();
}

}  // namespace

int tarn::exported::mfLineTicket(Library& lib, tarn_arg, const char* name, int ptu,
                                 const char* unit, int price, int quantity, int value) {
    return SaleLine(lib, {name, ptu, unit, price, quantity, value});
}

int tarn::exported::mfStornoLineTicket(Library& lib, tarn_arg, const char* name, int ptu,
                                       const char* unit, int price, int quantity, int value) {
    return VoidLine(lib, {name, ptu, unit, price, quantity, value});
}

int tarn::exported::mfStornoTicket(Library& lib) {
    return CancelTheReceipt(lib);
}
