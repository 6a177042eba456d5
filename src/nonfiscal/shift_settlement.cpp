// The shift settlement: mfBgShiftReport opens it with its heading, mfLineShiftReport delivers
// figures of which a fixed selection is kept by name, mfEndShiftReport prints the form "33".
#include <cstring>
#include <optional>
#include <string>

#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "nonfiscal/settlement_record.h"
#include "tarn/tarn.h"
#include "text/field_text.h"
#include "text/formatting.h"

using namespace tarn;

namespace {

// Line kinds of mfLineShiftReport.
constexpr int kPaymentForm = 2;
constexpr int kCashDetail = 3;
constexpr int kOtherFigure = 4;

// Names as the application sends them, code page 852, compared exactly.
const char* const kCash = "Got\xA2wka";
const char* const kSalesTransactions = "Transakcje sprzeda\xBEy";
const char* const kPayIns =
    "WP\x9D"
    "ATA DO KASY";
const char* const kPayOuts =
    "WYP\x9D"
    "ATA Z KASY";
const char* const kPackagingTakenBack = "Opakowania przyj.";
const char* const kPackagingIssued = "Opakowania wydane";
const char* const kFiscalSales = "SPRZEDA\xBD FISKALNA";

// How far each text is read: as far as the buffer it is kept in (ShiftSettlement). The start
// date loses its year, characters 6 to 10, before it is kept; a figure kept without its minus
// sign is read one byte more.
constexpr size_t kShiftNumberWidth = 27;
constexpr size_t kStartDateWidth = 19 + 5;
constexpr size_t kEndDateWidth = 23;
constexpr size_t kPersonWidth = 27;
constexpr size_t kNameWidth = 30;
constexpr size_t kCountedWidth = 25;
constexpr size_t kCashWidth = 27 + 1;
constexpr size_t kDifferenceWidth = 27;

// Characters 6 to 10 of the start date are dropped (the year of a "dd.mm.yyyy ..." date).
std::string ShortStartDate(const std::string& date) {
    std::string kept = date.substr(0, 5);
    if (date.size() > 10) kept += date.substr(10);
    return kept;
}

// Where a type-3 or type-4 figure is kept.
struct Figure {
    char* buffer;
    int size;
    bool dropMinus;  // kept without a leading minus sign
    bool amount;     // read as a number when the settlement is printed
};

template <int N>
Figure Keep(char (&buffer)[N], bool dropMinus, bool amount = true) {
    return {buffer, N, dropMinus, amount};
}

std::optional<Figure> FigureFor(ShiftSettlement& s, int typeNo, const char* name) {
    const auto is = [name](const char* wanted) { return std::strcmp(name, wanted) == 0; };
    if (typeNo == kCashDetail && s.cashSection) {
        if (is(kSalesTransactions)) return Keep(s.salesTransactions, false, false);
        if (is(kPayIns)) return Keep(s.payIns, false);
        if (is(kPayOuts)) return Keep(s.payOuts, true);
    }
    if (typeNo == kOtherFigure) {
        if (is(kPackagingTakenBack)) return Keep(s.packagingTakenBack, true);
        if (is(kPackagingIssued)) return Keep(s.packagingIssued, false);
        if (is(kFiscalSales)) return Keep(s.fiscalSales, false);
    }
    return std::nullopt;
}

void KeepPaymentForm(ShiftSettlement& s, const char* name, const char* counted, const char* cash,
                     const char* difference) {
    if (std::strcmp(name, kCash) == 0) {
        CopyCut(s.cashCounted, counted);
        CopyCut(s.cashInTill, cash);
        CopyCut(s.cashDifference, difference);
        s.cashSection = true;
        return;
    }
    if (s.rowCount >= ShiftSettlement::kMostRows) return;
    SettlementRow& row = s.rows[s.rowCount++];
    CopyCut(row.name, name);
    CopyCut(row.inTill, cash);
    CopyCut(row.counted, counted);
    CopyCut(row.difference, difference);
    s.cashSection = false;
}

// 0, or -2 with 771 when an amount's number does not fit 32 bits (then nothing is kept).
int KeepFigure(const Figure& figure, const char* cash) {
    const char* text = figure.dropMinus && cash[0] == '-' ? cash + 1 : cash;
    const std::string kept = std::string(text).substr(0, static_cast<size_t>(figure.size - 1));
    if (figure.amount && !FitsInt32(ReadDigits(kept))) return Failed(kCodeOutOfRange);
    CopyCut(figure.buffer, figure.size, kept.c_str());
    return Succeeded();
}

}  // namespace

int tarn::exported::mfBgShiftReport(Library& lib, const char* shiftNo, const char* startDate,
                                    const char* endDate, const char* personName) {
    if (!lib.capabilities.shiftSettlement) return Succeeded(MF_NOT_PERFORMED);
    const std::string number = FieldText(shiftNo, kShiftNumberWidth);
    const std::string start = FieldText(startDate, kStartDateWidth);
    const std::string end = FieldText(endDate, kEndDateWidth);
    const std::string person = FieldText(personName, kPersonWidth);
    LogErrorF("In mfBgShitReport,no: %s, startDate: %s, endDate: %s, personName %s", number.c_str(),
              start.c_str(), end.c_str(), person.c_str());
    ShiftSettlement& s = lib.Record<ShiftSettlement>();
    s = ShiftSettlement{};
    CopyCut(s.shiftNumber, number.c_str());
    CopyCut(s.startDate, ShortStartDate(start).c_str());
    CopyCut(s.endDate, end.c_str());
    CopyCut(s.personName, person.c_str());
    lib.SetDocumentOpen(MF_DOC_SHIFT_REPORT, true);
    return Succeeded();
}

int tarn::exported::mfLineShiftReport(Library& lib, int typeNo, const char* name,
                                      const char* counted, const char* cash,
                                      const char* difference) {
    if (!lib.capabilities.shiftSettlement) return Succeeded(MF_NOT_PERFORMED);
    if (!lib.IsDocumentOpen(MF_DOC_SHIFT_REPORT)) return Failed(kCodeDocumentNotOpen);
    const std::string nameText = FieldText(name, kNameWidth);
    const std::string countedText = FieldText(counted, kCountedWidth);
    const std::string cashText = FieldText(cash, kCashWidth);
    const std::string differenceText = FieldText(difference, kDifferenceWidth);
    LogErrorF("In mfLineShitReport, typeNo: %d, name: %s, counted: %s, cash: %s, difference %s",
              typeNo, nameText.c_str(), countedText.c_str(), cashText.c_str(),
              differenceText.c_str());
    ShiftSettlement& s = lib.Record<ShiftSettlement>();
    if (typeNo == kPaymentForm) {
        KeepPaymentForm(s, nameText.c_str(), countedText.c_str(), cashText.c_str(),
                        differenceText.c_str());
        return Succeeded();
    }
    const std::optional<Figure> figure = FigureFor(s, typeNo, nameText.c_str());
    return figure ? KeepFigure(*figure, cashText.c_str()) : Succeeded();
}

// The settlement is closed whatever the printer made of the record.
int tarn::exported::mfEndShiftReport(Library& lib) {
    if (!lib.capabilities.shiftSettlement) return Succeeded(MF_NOT_PERFORMED);
    if (!lib.IsDocumentOpen(MF_DOC_SHIFT_REPORT)) return Failed(kCodeDocumentNotOpen);
    LogInfoF("In mfEndShiftReport");
    const std::string record = ShiftSettlementRecord(lib.Record<ShiftSettlement>());
    LogInfoF("In mfEndShiftReport i: %d", static_cast<int>(record.size()));
    int answer = 0;
    CRequestRawBlock block(reinterpret_cast<const uint8_t*>(record.data()),
                           static_cast<int>(record.size()), &answer);
    const int result = Exchange(block);
    LogResultF(result, "In mfEndShiftReport result: %d, ans: %d", result, answer);
    lib.SetDocumentOpen(MF_DOC_SHIFT_REPORT, false);
    return result != 0 ? result : Succeeded();
}
