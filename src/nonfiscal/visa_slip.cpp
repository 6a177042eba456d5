// mfPrVISA: a card-payment slip from eighteen values, form "80", in one call.
#include <string>

#include "api/exported.h"
#include "api/library.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "tarn/tarn.h"
#include "text/field_text.h"

using namespace tarn;

namespace {

constexpr int kReadySeconds = 30;
constexpr size_t kPieceWidth = 31;  // text18 goes over up to three lines of 31
constexpr size_t kPieces = 3;

struct VisaSlip {
    int flag1;
    int flag2;
    const char* text[19];  // text[3] to text[18]; text[0] to text[2] unused
};

class CRequestVISA : public CRequestFormRecord {
public:
    explicit CRequestVISA(const VisaSlip& slip);

private:
    void Text18(const char* text18);
    void Ending(int flag1, int flag2);
};

CRequestVISA::CRequestVISA(const VisaSlip& slip) {
    const auto t = [&slip](int n) { return slip.text[n]; };
    AppendHead("80");
    AppendLine("10", t(3), 23, Align::Right);
    AppendCode("20");
    AppendLine("30", t(4), 23, Align::Right);
    AppendLine("40", t(6), 34, Align::Right);
    AppendLine("50", t(5), 27, Align::Right);
    AppendLine("60", t(11), 34, Align::Right);
    AppendLine("70", t(7), 35, Align::Right);
    AppendLine("80", t(8), 35, Align::Right);
    AppendLine("90", t(9), 33, Align::Right);
    AppendLine("01", t(10), 32, Align::Right);
    AppendCode("11");
    AppendLine("21", t(12), 33, Align::Right);
    AppendLine("31", t(13), 30, Align::Right);
    AppendCode("41");
    AppendLine("51", t(14), 21, Align::Right);
    AppendCode("61");
    AppendLine("71", t(15), 30, Align::Right);
    AppendLine("81", t(16), 30, Align::Right);
    AppendLine("91", t(17), 31, Align::Left);
    Text18(t(18));
    Ending(slip.flag1, slip.flag2);
    AppendEnd();
}

// Lines "02", "12" and "22" take 31 characters each; a line is written only when text18
// reaches into it, except the first.
void CRequestVISA::Text18(const char* text18) {
    const std::string text = FieldText(text18, kPieces * kPieceWidth);
    const char* const codes[] = {"02", "12", "22"};
    for (size_t i = 0; i < kPieces; ++i) {
        const size_t from = i * kPieceWidth;
        if (i > 0 && text.size() <= from) break;
        const std::string piece = from < text.size() ? text.substr(from, kPieceWidth) : "";
        AppendLine(codes[i], piece, static_cast<int>(kPieceWidth), Align::Left);
    }
}

void CRequestVISA::Ending(int flag1, int flag2) {
    AppendCode("32");
    AppendCode("42");
    if (flag1 == 1) {
        AppendCode("52");
        AppendCode("62");
    }
    AppendCode("72");
    if (flag2 != 1) return;
    for (const char* code : {"82", "92", "03", "13", "23"}) AppendCode(code);
    if (flag1 == 1) AppendCode("33");
}

}  // namespace

int tarn::exported::mfPrVISA(Library& lib, int englishLines, int signatureBlock,
                             const char* dateTime, const char* documentNo, const char* receiptNo,
                             const char* tillNo, const char* terminalId, const char* uid,
                             const char* numbersSP, const char* cashier, const char* posId,
                             const char* cardName, const char* cardNumberLine,
                             const char* authorizationCode, const char* saleAmount,
                             const char* creditAmount, const char* amountInWords,
                             const char* freeText) {
    const VisaSlip slip{englishLines,
                        signatureBlock,
                        {nullptr, nullptr, nullptr, dateTime, documentNo, receiptNo, tillNo,
                         terminalId, uid, numbersSP, cashier, posId, cardName, cardNumberLine,
                         authorizationCode, saleAmount, creditAmount, amountInWords, freeText}};
    CRequestVISA record(slip);
    const int result = SendForm(record);
    return WaitThenReport(lib, result, kReadySeconds);
}
