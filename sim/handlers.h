// Command handlers by family, referenced from the command table.
#pragma once

#include "commands.h"

namespace tarn::sim {

// Status, identification and the shared queries.
Bytes StatusByteAnswer(Context& ctx, const Bytes& body);
Bytes IdentifyAnswer(Context& ctx, const Bytes& body);
bool AcceptExtendedIdentify(Context& ctx);
Bytes ExtendedIdentifyAnswer(Context& ctx, const Bytes& body);
Bytes ReceiptCounterAnswer(Context& ctx, const Bytes& body);
Bytes ClockAnswer(Context& ctx, const Bytes& body);
Bytes SerialNumberAnswer(Context& ctx, const Bytes& body);
Bytes TaxRatesAnswer(Context& ctx, const Bytes& body);
Bytes StartConversation(Context& ctx, const Bytes& body);
Bytes EndDocument(Context& ctx, const Bytes& body);
bool AcceptGraphics(Context& ctx);
Bytes AnnounceLogoBackup(Context& ctx, const Bytes& body);
Bytes AnnounceLogoUpload(Context& ctx, const Bytes& body);
Bytes AnnounceFooterLine(Context& ctx, const Bytes& body);

// Prints the stored logo on the roll.
void PrintLogo(Context& ctx);

// Fiscal receipt: opening, item lines, discounts, cancellation and the reason query.
bool AcceptReceiptOpening(Context& ctx);
Bytes OpenReceipt(Context& ctx, const Bytes& body);
Bytes SaleLine(Context& ctx, const Bytes& body);
Bytes LineDiscount(Context& ctx, const Bytes& body);
Bytes PercentDiscount(Context& ctx, const Bytes& body);
Bytes ReceiptDiscount(Context& ctx, const Bytes& body);
Bytes CancelReceipt(Context& ctx, const Bytes& body);
bool AcceptReasonQuery(Context& ctx);
Bytes CancellationReason(Context& ctx, const Bytes& body);

// Fiscal receipt: the sale total, foot lines, payments and the end.
Bytes SaleTotal(Context& ctx, const Bytes& body);
Bytes PrintFootLine(Context& ctx, const Bytes& body);
Bytes TakePayment(Context& ctx, const Bytes& body);
Bytes SecondCurrencyInfo(Context& ctx, const Bytes& body);
Bytes SecondCurrencyPayment(Context& ctx, const Bytes& body);
bool AcceptReceiptEnd(Context& ctx);
Bytes EndReceipt(Context& ctx, const Bytes& body);

// Shared by the receipt handlers.
// Cancels the open receipt: prints it cancelled and remembers why. Printers that cannot name
// the reason show it in their status bytes until the next opening.
void CancelOpenReceipt(PrinterState& state, PaperRoll& roll, char reason);
// The open receipt a record belongs to; null when none is open, or when the paper has run
// out (the record then cancels it).
Receipt* StandingReceipt(Context& ctx);
// The same for records of the sale itself, which have no place after the sale total.
Receipt* ReceiptTakingSale(Context& ctx);
bool InAmountRange(int64_t grosze);

// The fiscal day: its close and the state printout.
bool AcceptDayClose(Context& ctx);
Bytes DayClose(Context& ctx, const Bytes& body);
Bytes StatePrintout(Context& ctx, const Bytes& body);

// Configuration: the tax table in both forms, point-of-sale numbers, the clock shift.
bool AcceptDayClosedChange(Context& ctx);
bool AcceptRatesInPercent(Context& ctx);
bool AcceptRatesInHundredths(Context& ctx);
Bytes SetTaxRatesPercent(Context& ctx, const Bytes& body);
Bytes SetTaxRates(Context& ctx, const Bytes& body);
Bytes SetPosNumbers(Context& ctx, const Bytes& body);
Bytes ShiftClock(Context& ctx, const Bytes& body);

// Periodic reports, and anything else that prints outside a document.
bool AcceptPrinting(Context& ctx);
bool AcceptReportMode(Context& ctx);
bool AcceptPeriodicReport(Context& ctx);
Bytes EnterReportMode(Context& ctx, const Bytes& body);
Bytes PeriodicReport(Context& ctx, const Bytes& body);
// The raw block after '1': answers one byte, 0 when the report is printed.
Bytes ReportFromDescription(Context& ctx, const Bytes& block);

// Non-fiscal forms and peripherals.
bool AcceptForm(Context& ctx);
bool AcceptDrawer(Context& ctx);
Bytes OpenDrawer(Context& ctx, const Bytes& body);
Bytes DisplayText(Context& ctx, const Bytes& body);
Bytes DisplaySummary(Context& ctx, const Bytes& body);

}  // namespace tarn::sim
