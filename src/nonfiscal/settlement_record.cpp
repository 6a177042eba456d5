#include "nonfiscal/settlement_record.h"

#include <cinttypes>
#include <cstring>

#include "api/log.h"
#include "link/printer_link.h"
#include "link/request.h"
#include "text/formatting.h"

namespace tarn {

namespace {

constexpr size_t kMostBytes = CRequest::kBodySize - 1;
constexpr size_t kTrailerBytes = 23 + 2 + 2;  // "45" name LF, "55", ESC 'Q'
constexpr size_t kRowBytesBesideName = 74;
constexpr int kAmountWidth = 20;
const char* const kCashHeading = "34 Got\xA2wka PLN";  // code page 852

std::string OrZero(const char* amount) {
    return amount[0] != '\0' ? amount : "0,00";
}

class RecordWriter {
public:
    explicit RecordWriter(const ShiftSettlement& s) : s_(s) {}
    std::string Build();

private:
    void Code(const char* code) { out_ += code; }
    // An application's text as it is, save the bytes a field cannot hold.
    void Text(const char* text) {
        for (const char* c = text; *c != '\0'; ++c) out_ += FieldByte(*c);
    }
    // The line code and the text right-aligned in `width`, cut to it when longer, then LF.
    void Field(const char* code, const std::string& text, int width) {
        out_ += code;
        Text(Aligned(text, width).c_str());
        out_ += '\n';
    }
    static std::string Aligned(const std::string& text, int width) {
        return PadText(text.substr(0, static_cast<size_t>(width)), width, Align::Right);
    }
    void Heading();
    void Income();
    void Outgoings();
    void Cash();
    void Rows();

    const ShiftSettlement& s_;
    std::string out_;
};

void RecordWriter::Heading() {
    out_ += {static_cast<char>(kEsc), 's'};
    Code("33");
    Code("20\n");
    Field("30", s_.shiftNumber, 10);
    Field("40", s_.startDate, 12);
    Field("50", s_.endDate, kAmountWidth);
    Field("70", s_.personName, kAmountWidth);
    Code("80");
    Code("90");
    LogInfoF("In mfEndShiftReport 90");
}

// Fiscal sales (printed rewritten from its amount), pay-ins and packaging issued.
void RecordWriter::Income() {
    int64_t income = 0;
    std::string fiscalSales;
    if (s_.fiscalSales[0] != '\0') {
        income = ReadDigits(s_.fiscalSales);
        fiscalSales = AmountToText(income, 2);
        Field("21", fiscalSales, kAmountWidth);
    }
    LogInfoF("In mfEndShiftReport sSprzedazFiskalna: %s, lSprzedazFiskalna %" PRId64,
             fiscalSales.c_str(), income);
    const std::string payIns = OrZero(s_.payIns);
    income += ReadDigits(payIns);
    Field("41", payIns, kAmountWidth);
    Code("02OPAK. ZWROTNE\n");
    const std::string issued = OrZero(s_.packagingIssued);
    income += ReadDigits(issued);
    Field("12", issued, kAmountWidth);
    const std::string total = AmountToText(income, 2);
    LogInfoF("In mfEndShiftReport tempBuff: %s, lRazemPrzychPLN: %" PRId64, total.c_str(), income);
    Code("22");
    Field("32", total, kAmountWidth);
    Code("52");
    LogInfoF("In mfEndShiftReport 52 i=%d", static_cast<int>(out_.size()));
}

// Pay-outs (logged as kept and as aligned) and packaging taken back, both kept without their
// minus sign.
void RecordWriter::Outgoings() {
    const std::string payOuts = OrZero(s_.payOuts);
    LogInfoF("In mfEndShiftReport sGotowkaWyplata: %s", payOuts.c_str());
    LogInfoF("In mfEndShiftReport sGotowkaWyplata: %s", Aligned(payOuts, kAmountWidth).c_str());
    int64_t outgoings = ReadDigits(payOuts);
    Field("82", payOuts, kAmountWidth);
    const std::string takenBack = OrZero(s_.packagingTakenBack);
    outgoings += ReadDigits(takenBack);
    Field("03", takenBack, kAmountWidth);
    Code("83");
    Field("93", AmountToText(outgoings, 2), kAmountWidth);
}

void RecordWriter::Cash() {
    Code("14");
    Code(kCashHeading);
    Code("\n");
    LogInfoF("In mfEndShiftReport Got\xA2wka PLN i=%d", static_cast<int>(out_.size()));
    Field("44", s_.cashInTill, kAmountWidth);
    Field("54", s_.cashCounted, kAmountWidth);
    Code("64");
    Field("74", s_.cashDifference, kAmountWidth);
}

// The payment-form rows in the order given, up to the first without a name; the name is
// written whole.
void RecordWriter::Rows() {
    const int count =
        s_.rowCount < ShiftSettlement::kMostRows ? s_.rowCount : ShiftSettlement::kMostRows;
    for (int x = 0; x < count; ++x) {
        const SettlementRow& row = s_.rows[x];
        if (row.name[0] == '\0') break;
        const size_t rowBytes = kRowBytesBesideName + std::strlen(row.name);
        if (out_.size() + rowBytes + kTrailerBytes > kMostBytes) {
            LogErrorF("In mfEndShiftReport lista i=%d, x=%d does not fit, left out",
                      static_cast<int>(out_.size()), x);
            continue;
        }
        LogInfoF("In mfEndShiftReport lista i=%d, x=%d", static_cast<int>(out_.size()), x);
        Code("34");
        Text(row.name);
        Code("\n");
        Field("44", row.inTill, kAmountWidth);
        Field("54", row.counted, kAmountWidth);
        Code("64");
        Field("74", row.difference, kAmountWidth);
    }
}

std::string RecordWriter::Build() {
    Heading();
    Income();
    Outgoings();
    Cash();
    Rows();
    Field("45", s_.personName, kAmountWidth);
    Code("55");
    out_ += {static_cast<char>(kEsc), 'Q'};
    return out_;
}

}  // namespace

std::string ShiftSettlementRecord(const ShiftSettlement& settlement) {
    return RecordWriter(settlement).Build();
}

}  // namespace tarn
