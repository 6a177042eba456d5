// Fiscal reports: the daily report that closes the fiscal day, and the periodic reports by
// dates and by numbers, which the printer prints from its fiscal memory.
#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "config/config_commands.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr uint8_t kDetailedCommand = 0x28;   // '('
constexpr uint8_t kSummaryCommand = 0x29;    // ')'
constexpr int kLargestReportNumber = 65279;  // 0xFE 0xFF in base 255
constexpr int kReportWaitSeconds = 20;

// The answer byte to a report description: 0 printed, 1 or 3 a range the printer cannot take.
int ReportAnswer(int answer) {
    if (answer == 0) return Succeeded();
    return Failed(answer == 1 || answer == 3 ? kCodeOutOfRange : kCodeOther);
}

// Every date part must be one the digit bytes carry as itself.
bool DatesFit(const DateRange& r) {
    for (const int part : {r.startMonth, r.startDay, r.stopMonth, r.stopDay}) {
        if (part < 0 || part > 99) return false;
    }
    return r.startYear >= 0 && r.stopYear >= 0;
}

// The printer is left to print; a failed exchange keeps its code through the wait.
int WaitAfterReport(int result) {
    (void)WaitUntilReady(kReportWaitSeconds);  // the report's result stands
    return result;
}

int ReportByDates(const Session& lib, bool detailed, const DateRange& range) {
    const char* name = detailed ? "mfPrDetailReport" : "mfPrGlobalReport";
    LogInfoF(
        "In %s, startYear: %d, int startMonth: %d, int startDay: %d, \t\tint stopYear: %d,  int "
        "stopMonth: %d,  int stopDay %d",
        name, range.startYear, range.startMonth, range.startDay, range.stopYear, range.stopMonth,
        range.stopDay);
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    if (!DatesFit(range)) return Failed(kCodeOutOfRange);
    if (!lib.capabilities.reportMode) {
        CRequestPeriodReport report(detailed ? kDetailedCommand : kSummaryCommand, range);
        const int result = WaitAfterReport(Exchange(report));
        if (!detailed)
            LogResultF(result, "In mfPrGlobalReport,  PrinterType: %d, result1: %d",
                       lib.printerType, result);
        return result != 0 ? result : Succeeded();
    }
    CRequestBeginReport mode;
    const int entered = Exchange(mode);
    if (!detailed)
        LogResultF(entered, "In mfPrGlobalReport,  PrinterType: %d, result2: %d", lib.printerType,
                   entered);
    if (entered != 0) return entered;
    int answer = 0;
    const int kind =
        detailed ? CRequestDetailReport::kDetailedByDates : CRequestDetailReport::kSummaryByDates;
    CRequestDetailReport description(kind, range, &answer);
    const int result = WaitAfterReport(Exchange(description));
    if (!detailed) {
        LogResultF(result, "In mfPrGlobalReport,  PrinterType: %d, result3: %d, answer: %d",
                   lib.printerType, result, answer);
    }
    return result != 0 ? result : ReportAnswer(answer);
}

int ReportByNumbers(const Session& lib, int from, int to) {
    if (!lib.capabilities.reportMode) return Succeeded(MF_NOT_PERFORMED);
    if (from > to) return Failed(kCodeOutOfRange);
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    if (from < 0 || to > kLargestReportNumber) return Failed(kCodeOutOfRange);
    CRequestBeginReport mode;
    const int entered = Exchange(mode);
    LogResultF(entered, "In mfPrNrReport, CRequestBeginReport, result: %d", entered);
    if (entered != 0) return entered;
    int answer = 0;
    CRequestDetailReport description(from, to, &answer);
    const int result = Exchange(description);
    LogResultF(result, "In mfPrNrReport, CRequestDetailReport, result: %d, answer: %d", result,
               answer);
    return result != 0 ? result : ReportAnswer(answer);
}

}  // namespace

// Closes the fiscal day: refused with 778 when no receipt was issued since the last one, and
// with 779 while a document is open (the printer would refuse it).
int tarn::exported::mfShiftEnd(Library&) {
    int receipts = 0;
    CRequestLastTicketNo counter(&receipts);
    const int result = Exchange(counter);
    if (result != 0) return result;
    if (receipts == 0) return Failed(kCodeDayClosed);
    CRequestShiftEnd close;
    if (Exchange(close) == MF_OK) return MF_OK;
    // The day close is whole after its first two bytes: with its acknowledge lost, the printer
    // may have closed the day. Its receipt count then starts again from 0. A refusal is the
    // printer's word that it did not.
    if (!AnswerUnknown() || LastReceiptNumber() != 0) return MF_FAILED;
    LogErrorF("In mfShiftEnd, the day closed by the printer, acknowledge lost");
    return Succeeded();
}

int tarn::exported::mfPrDetailReport(Library& lib, int startYear, int startMonth, int startDay,
                                     int stopYear, int stopMonth, int stopDay) {
    return ReportByDates(lib, true,
                         {startYear, startMonth, startDay, stopYear, stopMonth, stopDay});
}

int tarn::exported::mfPrGlobalReport(Library& lib, int startYear, int startMonth, int startDay,
                                     int stopYear, int stopMonth, int stopDay) {
    return ReportByDates(lib, false,
                         {startYear, startMonth, startDay, stopYear, stopMonth, stopDay});
}

int tarn::exported::mfParNrReport(Library& lib) {
    return Succeeded(lib.capabilities.reportMode ? MF_OK : MF_NOT_AVAILABLE);
}

int tarn::exported::mfPrNrReport(Library& lib, int from, int to) {
    return ReportByNumbers(lib, from, to);
}
