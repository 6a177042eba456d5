// The card-terminal slips: the payment (mfPrEFT_Transaction), its reversal (mfPrEFT_Reversal)
// and its offline registration (mfPrEFT_RegisterOffline), each one form record.
#include "api/library.h"
#include "cardslip/card_slip_record.h"
#include "link/detail_codes.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr int kReadySeconds = 15;
constexpr int kOlderPrinterPauseMs = 1000;
// Line "51" is narrower on printers with the non-fiscal forms.
constexpr int kWidth51WithForms = 16;
constexpr int kWidth51 = 19;

// A refused record returns at once, without the pause and the wait.
int PrintCardSlip(const CardSlip& slip, CardSlipKind kind) {
    const int width51 = HasFormSupport() ? kWidth51WithForms : kWidth51;
    CRequestCardSlip record(CardSlipRecord(slip, kind, width51));
    const int result = SendForm(record);
    if (result != 0) return result;
    SettleOlderPrinter(kOlderPrinterPauseMs);
    return ConfirmForm(kReadySeconds);
}

}  // namespace

extern "C" int TARN_API mfPrEFT_Transaction(
    tarn_arg, int status, int kind, int variant, int verification, const char* text10,
    const char* text70, const char* text80, int number30, int numberP, int numberS, int number40,
    int number50, const char* text01, tarn_arg, const char* textK, int mark1, const char* text21,
    const char* text31, int amount, int cashback, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
    tarn_arg, tarn_arg, tarn_arg, int mark2, const char* text51, int number51, int responseCode,
    tarn_arg, int extraLines, tarn_arg, tarn_arg, tarn_arg, tarn_arg) try {
    ApiCall call;
    Library& lib = Lib();
    if (!lib.started) return NotStarted();
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    // The slip's fields are in the order of the arguments.
    const CardSlip slip{status,   kind,     variant, verification, text10,       text70,
                        text80,   number30, numberP, numberS,      number40,     number50,
                        text01,   textK,    mark1,   text21,       text31,       amount,
                        cashback, mark2,    text51,  number51,     responseCode, extraLines};
    return PrintCardSlip(slip, CardSlipKind::Transaction);
} catch (...) {
    return ExceptionEscaped("mfPrEFT_Transaction");
}

extern "C" int TARN_API mfPrEFT_Reversal(tarn_arg, int status, int kind, int variant, tarn_arg,
                                         const char* text10, const char* text70, const char* text80,
                                         int number30, int numberP, int numberS, int number40,
                                         int number50, const char* text01, tarn_arg, int mark1,
                                         const char* text21, const char* text31, int amount,
                                         tarn_arg, const char* text51, int number51, tarn_arg,
                                         tarn_arg) try {
    ApiCall call;
    Library& lib = Lib();
    if (!lib.started) return NotStarted();
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    CardSlip slip;
    slip.status = status;
    slip.kind = kind;
    slip.variant = variant;
    slip.text10 = text10;
    slip.text70 = text70;
    slip.text80 = text80;
    slip.number30 = number30;
    slip.numberP = numberP;
    slip.numberS = numberS;
    slip.number40 = number40;
    slip.number50 = number50;
    slip.text01 = text01;
    slip.mark1 = mark1;
    slip.text21 = text21;
    slip.text31 = text31;
    slip.amount = amount;
    slip.text51 = text51;
    slip.number51 = number51;
    return PrintCardSlip(slip, CardSlipKind::Reversal);
} catch (...) {
    return ExceptionEscaped("mfPrEFT_Reversal");
}

// No open-document test: the registration is printed whatever is open.
extern "C" int TARN_API mfPrEFT_RegisterOffline(tarn_arg, int status, int kind, tarn_arg,
                                                const char* text10, const char* text70,
                                                const char* text80, int number30, int numberP,
                                                int number40, int number50, const char* text01,
                                                tarn_arg, int mark1, const char* text21,
                                                const char* text31, int amount, const char* text51,
                                                int number51, tarn_arg) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    CardSlip slip;
    slip.status = status;
    slip.kind = kind;
    slip.text10 = text10;
    slip.text70 = text70;
    slip.text80 = text80;
    slip.number30 = number30;
    slip.numberP = numberP;
    slip.number40 = number40;
    slip.number50 = number50;
    slip.text01 = text01;
    slip.mark1 = mark1;
    slip.text21 = text21;
    slip.text31 = text31;
    slip.amount = amount;
    slip.text51 = text51;
    slip.number51 = number51;
    return PrintCardSlip(slip, CardSlipKind::Offline);
} catch (...) {
    return ExceptionEscaped("mfPrEFT_RegisterOffline");
}
