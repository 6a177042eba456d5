// The prepaid voucher, form "23", printed in one call on printers that have it.
#include <string>

#include "api/exported.h"
#include "api/library.h"
#include "link/shared_commands.h"
#include "tarn/tarn.h"
#include "text/field_text.h"
#include "text/formatting.h"

using namespace tarn;

namespace {

constexpr size_t kDateTimeWidth = 12;  // "yyyymmddhhmm"

struct Voucher {
    int kind;
    const char* dateTime;  // "yyyymmddhhmm" at least; shorter reads as padded with spaces
    const char* text3;
    const char* text4;
    int number5;
    int number6;
    int number7;
    int number8;
    const char* text9;
    const char* text10;
    const char* text11;
    const char* text12;
    const char* text13;
    int number14;
    const char* text15;
    const char* text16;
};

bool Empty(const char* text) {
    return text == nullptr || text[0] == '\0';
}

// The line that follows the voucher's kind; none for an unknown kind.
const char* KindCode(int kind) {
    switch (kind) {
        case 1: return "32";
        case 2: return "52";
        case 3: return "62";
        case 4: return "72";
        case 5: return "42";
        default: return nullptr;
    }
}

class CRequestPrePaidVoucher : public CRequestFormRecord {
public:
    CRequestPrePaidVoucher(const Voucher& v, bool lastLine);

private:
    void DateAndTime(const char* dateTime);
    void NumberLine(const char* code, int number, int width) {
        AppendLine(code, IntToText(number), width, Align::Right);
    }
};

CRequestPrePaidVoucher::CRequestPrePaidVoucher(const Voucher& v, bool lastLine) {
    AppendHead("23");
    AppendCode("30");
    DateAndTime(v.dateTime);
    AppendLine("21", v.text3, 20, Align::Left);
    AppendLine("31", v.text4, 10, Align::Left);
    if (v.number5 >= 0) NumberLine("41", v.number5, 25);
    if (v.number7 >= 0) NumberLine("61", v.number7, 29);
    if (v.number6 >= 0) NumberLine("71", v.number6, 25);
    AppendLine("81", v.text9, 31, Align::Right);
    AppendLine("91", v.text10, 30, Align::Right);
    AppendLine("12", v.text11, 25, Align::Right);
    if (const char* code = KindCode(v.kind)) AppendCode(code);
    if (!Empty(v.text15)) AppendLine("82", v.text15, 21, Align::Right);
    if (v.number14 > 0) NumberLine("92", v.number14, 24);
    NumberLine("23", v.number8, 27);
    AppendLine("33", v.text12, 25, Align::Right);
    if (!Empty(v.text13)) {
        AppendCode("53");
        AppendLine("63", v.text13, 19, Align::Right);
        AppendCode("73");
        AppendCode("83");
    }
    if (lastLine && !(Empty(v.text16) && Empty(v.text15))) {
        AppendLine("14", Empty(v.text16) ? v.text15 : v.text16, 36, Align::Right);
    }
    AppendEnd();
}

// "yyyy-mm-dd" centred in 15, "hh:mm" centred in 11.
void CRequestPrePaidVoucher::DateAndTime(const char* dateTime) {
    std::string t = FieldText(dateTime, kDateTimeWidth);
    t.resize(kDateTimeWidth, ' ');
    const std::string date = t.substr(0, 4) + "-" + t.substr(4, 2) + "-" + t.substr(6, 2);
    const std::string time = t.substr(8, 2) + ":" + t.substr(10, 2);
    AppendLine("01", date, 15, Align::Centre);
    AppendLine("11", time, 11, Align::Centre);
}

}  // namespace

int tarn::exported::mfParPrePaid_Voucher(Library& lib) {
    return Succeeded(lib.capabilities.vouchers ? MF_OK : MF_NOT_AVAILABLE);
}

// No open-document test and no wait: the voucher is printed whatever else is open.
int tarn::exported::mfPrPrePaid_Voucher(Library& lib, int kind, const char* dateTime,
                                        const char* operatorName, const char* terminal,
                                        int transactionNo, int sequenceNo, int batchNo, int amount,
                                        const char* product, const char* serialNo, const char* code,
                                        const char* validUntil, const char* information,
                                        int validDays, const char* pin, const char* footerText) {
    if (!lib.capabilities.vouchers) return Succeeded(MF_NOT_PERFORMED);
    const Voucher voucher{kind,          dateTime,   operatorName, terminal,
                          transactionNo, sequenceNo, batchNo,      amount,
                          product,       serialNo,   code,         validUntil,
                          information,   validDays,  pin,          footerText};
    CRequestPrePaidVoucher record(voucher, lib.capabilities.voucherLastLine);
    const int result = SendForm(record);
    return result != 0 ? result : Succeeded();
}
