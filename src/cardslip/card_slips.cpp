// The card-terminal slips: the payment (mfPrEFT_Transaction), its reversal (mfPrEFT_Reversal)
// and its offline registration (mfPrEFT_RegisterOffline), each one form record.
#include "api/exported.h"
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
int PrintCardSlip(const Session& lib, const CardSlip& slip, CardSlipKind kind) {
    const int width51 = lib.capabilities.forms ? kWidth51WithForms : kWidth51;
    CRequestCardSlip record(CardSlipRecord(slip, kind, width51));
    const int result = SendForm(record);
    if (result != 0) return result;
    SettleOlderPrinter(kOlderPrinterPauseMs);
    return ConfirmForm(lib, kReadySeconds);
}

}  // namespace

int tarn::exported::mfPrEFT_Transaction(
    Library& lib, tarn_arg, int status, int kind, int variant, int verification,
    const char* dateTime, const char* terminalId, const char* uid, int documentNo, int numberP,
    int numberS, int tillNo, int receiptNo, const char* cashier, tarn_arg, const char* kText,
    int entryMark, const char* cardName, const char* cardNumber, int amount, int cashback, tarn_arg,
    tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, int secondMark,
    const char* authorizationCode, int authorizationNo, int responseCode, tarn_arg,
    int englishLines, tarn_arg, tarn_arg, tarn_arg, tarn_arg) {
    // The slip's fields are in the order of the arguments.
    const CardSlip slip{
        status,   kind,       variant,           verification,    dateTime,     terminalId,
        uid,      documentNo, numberP,           numberS,         tillNo,       receiptNo,
        cashier,  kText,      entryMark,         cardName,        cardNumber,   amount,
        cashback, secondMark, authorizationCode, authorizationNo, responseCode, englishLines};
    return PrintCardSlip(lib, slip, CardSlipKind::Transaction);
}

int tarn::exported::mfPrEFT_Reversal(Library& lib, tarn_arg, int status, int kind, int variant,
                                     tarn_arg, const char* dateTime, const char* terminalId,
                                     const char* uid, int documentNo, int numberP, int numberS,
                                     int tillNo, int receiptNo, const char* cashier, tarn_arg,
                                     int entryMark, const char* cardName, const char* cardNumber,
                                     int amount, tarn_arg, const char* authorizationCode,
                                     int authorizationNo, tarn_arg, tarn_arg) {
    CardSlip slip;
    slip.status = status;
    slip.kind = kind;
    slip.variant = variant;
    slip.text10 = dateTime;
    slip.text70 = terminalId;
    slip.text80 = uid;
    slip.number30 = documentNo;
    slip.numberP = numberP;
    slip.numberS = numberS;
    slip.number40 = tillNo;
    slip.number50 = receiptNo;
    slip.text01 = cashier;
    slip.mark1 = entryMark;
    slip.text21 = cardName;
    slip.text31 = cardNumber;
    slip.amount = amount;
    slip.text51 = authorizationCode;
    slip.number51 = authorizationNo;
    return PrintCardSlip(lib, slip, CardSlipKind::Reversal);
}

// No open-document test: the registration is printed whatever is open.
int tarn::exported::mfPrEFT_RegisterOffline(
    Library& lib, tarn_arg, int status, int kind, tarn_arg, const char* dateTime,
    const char* terminalId, const char* uid, int documentNo, int numberP, int tillNo, int receiptNo,
    const char* cashier, tarn_arg, int entryMark, const char* cardName, const char* cardNumber,
    int amount, const char* authorizationCode, int authorizationNo, tarn_arg) {
    CardSlip slip;
    slip.status = status;
    slip.kind = kind;
    slip.text10 = dateTime;
    slip.text70 = terminalId;
    slip.text80 = uid;
    slip.number30 = documentNo;
    slip.numberP = numberP;
    slip.number40 = tillNo;
    slip.number50 = receiptNo;
    slip.text01 = cashier;
    slip.mark1 = entryMark;
    slip.text21 = cardName;
    slip.text31 = cardNumber;
    slip.amount = amount;
    slip.text51 = authorizationCode;
    slip.number51 = authorizationNo;
    return PrintCardSlip(lib, slip, CardSlipKind::Offline);
}
