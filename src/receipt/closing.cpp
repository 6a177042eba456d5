// mfEndTicket: discount, sale total, adjustment and to-pay lines, payments, foot lines and the
// end of the receipt, asking the printer after each step whether the receipt still stands.
#include <cinttypes>
#include <cstdio>
#include <string>

#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "receipt/cancellation.h"
#include "receipt/receipt_commands.h"
#include "receipt/receipt_end.h"
#include "receipt/receipt_state.h"
#include "receipt/second_currency.h"
#include "tarn/tarn.h"
#include "text/field_text.h"
#include "text/formatting.h"

using namespace tarn;

namespace {

constexpr int kMostFootLines = 6;
const char* const kPays =
    "P\x9D"
    "ACI";  // code page 852
const char* const kReceives = "OTRZYMUJE";

// How far each caller text is read: the widest use of it. A payment's name and the extra
// amount's label are cut to a record's 13 (a second-currency text is 11), on older printers too,
// where they begin a printed line.
constexpr size_t kPaymentNameWidth = 13;
constexpr size_t kLabelWidth = 29;
constexpr size_t kTableWidth = 22;
constexpr size_t kFreeLineWidth = 31;

// The caller's texts as far as their fields read them.
struct EndTicket {
    int percentDiscount;
    int transactionNo;
    int payment[3];
    std::string paymentName[3];
    int extraAmount;
    std::string extraAmountName;
    int adjustValue;
    std::string adjustLabel;
    std::string table;
    std::string freeLine;
};

class Closing {
public:
    Closing(Library& lib, const EndTicket& args)
        : args_(args), lib_(lib), receipt_(lib.Record<ReceiptState>()) {}

    int Run();

private:
    int Check(int n);
    int Step(CRequest& request);
    int Judged(CRequest& request, int check);
    void SendLine(uint8_t kind, int width, const std::string& text) {
        CRequestExtraLine line(kind, width, text.c_str());
        (void)Step(line);  // a receipt it cancelled shows in a later check
    }
    int Whole();
    int Discount();
    int SaleTotal();
    void AdjustmentAndToPay();
    int PaymentRecords();
    void PaymentLines();
    int FootLines();
    int End();
    int AfterUnansweredEnd(int result);
    int Finish();

    const EndTicket& args_;
    Library& lib_;
    ReceiptState& receipt_;
    int64_t saleTotal_ = -1;
    int64_t toPay_ = 0;
    int footLines_ = 0;
};

// Whether the printer cancelled the receipt after step `n`. A check that failed otherwise leaves
// the receipt open: the printer holds it.
int Closing::Check(int n) {
    const ReceiptCheck check = WhyTicketCanceled(lib_);
    if (check.result == 0) return MF_OK;
    LogErrorF("In mfEndTicket WhyTicketCanceled%d, why %d", n, check.result);
    return AfterFailedCheck(lib_, check);
}

// A step of the closing, not acknowledged. Once one has reached the printer, sending the
// closing again would print its steps twice.
int Closing::Step(CRequest& request) {
    const int result = Exchange(request);
    if (LastFailure() != ExchangeFailure::NotSent) receipt_.closing = ClosingStage::Begun;
    return result;
}

// An exchange whose own failure counts: the receipt check first, then the failure with its code.
int Closing::Judged(CRequest& request, int check) {
    const int result = Step(request);
    const KeptCode code;
    const int why = Check(check);
    if (why != 0) return why;
    return result != 0 ? code.Restore(result) : MF_OK;
}

int Closing::Discount() {
    if (args_.percentDiscount > 0) {
        const int percent = args_.percentDiscount / 100;
        CRequestPercentDiscount discount(percent);
        const int result = Step(discount);
        if (result != 0) return result;
        return Check(1);
    }
    if (receipt_.ptuLinesTotal != 0 && lib_.capabilities.lineDiscounts) {
        CRequestTicketDiscount discount(0, static_cast<int32_t>(receipt_.ptuLinesTotal));
        (void)Step(discount);  // a receipt it cancelled shows in the next check
    }
    return MF_OK;
}

int Closing::SaleTotal() {
    CRequestSaleTotal total(saleTotal_);
    const int result = Step(total);
    LogResultF(result, "In mfEndTicket CRequestAllSalePos, mfTicketTotal: %" PRId64 ", result %d",
               receipt_.total, result);
    return Check(2);
}

void Closing::AdjustmentAndToPay() {
    if (args_.adjustValue != 0) {
        const bool positive = args_.adjustValue > 0;
        const std::string amount = PrintedAmount(args_.adjustValue);
        SendLine(positive ? '8' : '9', positive ? 31 : 25,
                 LabelAndAmount(args_.adjustLabel, amount, positive ? 29 : 23));
        footLines_ = 1;
    }
    toPay_ = args_.adjustValue + (receipt_.totalDeclared ? receipt_.total : saleTotal_);
    SendLine('>', 31, LabelAndAmount(toPay_ >= 0 ? kPays : kReceives, PrintedAmount(toPay_), 29));
    ++footLines_;
}

// Payment records; where the printer takes a second currency, the first payment whose name is a
// second-currency text goes out in that currency.
int Closing::PaymentRecords() {
    bool secondCurrencyUsed = false;
    for (int i = 0; i < 3; ++i) {
        if (args_.payment[i] <= 0) continue;
        const int64_t toConvert = i == 0 ? toPay_ : args_.payment[i];
        const std::optional<SecondCurrency> currency =
            lib_.capabilities.secondCurrency && !secondCurrencyUsed
                ? SecondCurrencyOf(args_.paymentName[i].c_str(), toConvert)
                : std::nullopt;
        if (currency) {
            if (i == 0) {
                LogErrorF("In mfEndTicket lToPayInSecCurr %d, secCurrExchRate %s, payment1 %d",
                          currency->converted, currency->rateText.c_str(), args_.payment[0]);
            }
            CRequestSecondCurrency info(currency->code.c_str(), currency->rateText.c_str(), 1,
                                        currency->converted);
            // A payment the printer did not take shows when the receipt ends.
            (void)Step(info);
            CRequestSecondCurrencyPayment payment(args_.payment[i]);
            (void)Step(payment);
            secondCurrencyUsed = true;
            continue;
        }
        CRequestPayment payment(0, i + 1, args_.paymentName[i].c_str(), args_.payment[i]);
        const int result = Judged(payment, 5 + i);
        if (result != 0) return result;
    }
    if (args_.extraAmount > 0) {
        CRequestPayment extra(1, 1, args_.extraAmountName.c_str(), args_.extraAmount);
        return Judged(extra, 8);
    }
    return MF_OK;
}

// Below type 4: the payments as printed lines.
void Closing::PaymentLines() {
    for (int i = 0; i < 3; ++i) {
        if (args_.payment[i] <= 0) continue;
        SendLine('0', 28,
                 LabelAndAmount(args_.paymentName[i], PrintedAmount(args_.payment[i]), 26));
        ++footLines_;
    }
    if (args_.extraAmount > 0) {
        SendLine('1', 31,
                 LabelAndAmount(args_.extraAmountName, PrintedAmount(args_.extraAmount), 29));
        ++footLines_;
    }
}

int Closing::FootLines() {
    if (footLines_ < kMostFootLines && args_.transactionNo > 0) {
        char text[40];
        std::snprintf(text, sizeof text, "TRANSAKCJI: %d", args_.transactionNo);
        CRequestExtraLine line('<', static_cast<int>(std::string(text).size()), text);
        ++footLines_;
        const int result = Judged(line, 3);
        if (result != 0) return result;
    }
    if (footLines_ < kMostFootLines && lib_.cashierName[0] != '\0') {
        const int n = lib_.cashierNumber;
        std::string text{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10),
                         '-'};
        text += std::string(lib_.cashierName).substr(0, 26);
        CRequestExtraLine line('5', static_cast<int>(text.size()), text.c_str());
        ++footLines_;
        const int result = Judged(line, 3);
        if (result != 0) return result;
    }
    if (footLines_ >= kMostFootLines) return MF_OK;
    if (!args_.table.empty()) {
        const std::string text = "STOLIKA: " + args_.table;
        CRequestExtraLine line('<', 32, text.c_str());
        const int result = Judged(line, 9);
        if (result != 0) return result;
    }
    if (!args_.freeLine.empty()) {
        const std::string& text = args_.freeLine;
        CRequestExtraLine line('>', static_cast<int>(text.size()), text.c_str());
        return Judged(line, 10);
    }
    return MF_OK;
}

// The end's frame is whole after its first two bytes: the printer may have ended the receipt
// while its acknowledge was lost on the line. A refusal is the printer's word that it did not.
int Closing::End() {
    receipt_.closing = ClosingStage::AtEnd;
    CRequestEndTicket end;
    const int result = Exchange(end);
    LogResultF(result, "In mfEndTicket CRequestEndTicket, result: %d,", result);
    if (result == MF_OK) return Finish();
    return AnswerUnknown() ? AfterUnansweredEnd(result) : result;
}

// The printer is asked what became of the receipt. Until it answers, the receipt stays open in
// the library's record and a repeated mfEndTicket asks again.
int Closing::AfterUnansweredEnd(int result) {
    const KeptCode code;
    const EndFate fate = AskWhatBecameOfTheEnd(lib_);
    switch (fate.kind) {
        case EndFate::Ended:
            LogErrorF("In mfEndTicket, receipt %d ended by the printer, acknowledge lost",
                      fate.number);
            return Finish();
        case EndFate::Cancelled:
            lib_.SetDocumentOpen(MF_DOC_RECEIPT, false);
            receipt_.closing = ClosingStage::NotBegun;
            return MF_FAILED;
        case EndFate::Standing: receipt_.closing = ClosingStage::AtEnd; break;
        case EndFate::Unknown: receipt_.closing = ClosingStage::EndUnknown; break;
    }
    return code.Restore(result);
}

int Closing::Finish() {
    (void)lib_.link->WaitUntilReady(20);  // the receipt is ended; the wait lets it print
    lib_.SetDocumentOpen(MF_DOC_RECEIPT, false);
    receipt_.closing = ClosingStage::NotBegun;
    return Succeeded();
}

// A closing called again goes on from where the printer stands: the end alone when every step
// before it went through, after asking when the end's answer was lost. A closing that failed
// half-way is not sent again (its payments and lines would be printed twice): the receipt is
// cancelled with mfStornoTicket.
int Closing::Run() {
    switch (receipt_.closing) {
        case ClosingStage::NotBegun: return Whole();
        case ClosingStage::Begun: return Failed(kCodeWrongOrder);
        case ClosingStage::AtEnd: return End();
        case ClosingStage::EndUnknown: {
            const int result = AfterUnansweredEnd(Failed(kCodeCommunication));
            return receipt_.closing == ClosingStage::AtEnd ? End() : result;
        }
    }
    return Whole();
}

int Closing::Whole() {
    const int percent = args_.percentDiscount;
    if (percent > 0 && (percent % 100 != 0 || percent > 9900)) return Failed(kCodeOutOfRange);
    // A receipt with no line sold would be recorded for 0,00 in the fiscal memory.
    if (receipt_.saleLines == 0) return Failed(kCodeWrongOrder);
    if (!receipt_.totalDeclared) {
        // A percentage discount replaces the "PTU" lines' discount, which the printer then never
        // hears of: the sale total is taken without it.
        saleTotal_ = receipt_.total + (percent > 0 ? receipt_.ptuLinesTotal : 0);
        if (percent > 0) saleTotal_ -= (percent / 100 * saleTotal_ + 50) / 100;
    }
    // Amounts that go into 4-byte fields must fit before anything is sent.
    if ((saleTotal_ >= 1 && !FitsInt32(saleTotal_)) || !FitsInt32(receipt_.ptuLinesTotal)) {
        return Failed(kCodeOutOfRange);
    }
    int result = Discount();
    if (result == 0) result = SaleTotal();
    if (result != 0) return result;
    AdjustmentAndToPay();
    if (lib_.capabilities.paymentRecords) {
        result = PaymentRecords();
        if (result != 0) return result;
    } else {
        PaymentLines();
    }
    result = FootLines();
    return result != 0 ? result : End();
}

}  // namespace

int tarn::exported::mfEndTicket(Library& lib, int percentDiscount, int valueDiscount,
                                int transactionNo, int payment1, const char* paymStr1, int payment2,
                                const char* paymStr2, int payment3, const char* paymStr3,
                                int extraAmount, const char* extraAmountStr, int adjustValue,
                                const char* adjustStr, const char* tableStr,
                                const char* extraLine) {
    const EndTicket args{
        percentDiscount,
        transactionNo,
        {payment1, payment2, payment3},
        {FieldText(paymStr1, kPaymentNameWidth), FieldText(paymStr2, kPaymentNameWidth),
         FieldText(paymStr3, kPaymentNameWidth)},
        extraAmount,
        FieldText(extraAmountStr, kPaymentNameWidth),
        adjustValue,
        FieldText(adjustStr, kLabelWidth),
        FieldText(tableStr, kTableWidth),
        FieldText(extraLine, kFreeLineWidth)};
    LogInfoF(
        "In mfEndTicket, percentDiscount: %d, valueDiscount: %d, payment1: %d, paymStr1: %s, "
        "\t\tpayment2: %d, paymStr2: %s,\tpayment3: %d, paymStr3: %s.",
        percentDiscount, valueDiscount, payment1, args.paymentName[0].c_str(), payment2,
        args.paymentName[1].c_str(), payment3, args.paymentName[2].c_str());
    Closing closing(lib, args);
    return closing.Run();
}
