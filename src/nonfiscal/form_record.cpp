#include "nonfiscal/form_record.h"

#include "api/library.h"

namespace tarn {

void CRequestFormRecord::AppendHead(const char* formCode) {
    AppendByte('s');
    AppendCode(formCode);
}

void CRequestFormRecord::AppendCode(const char* code) {
    AppendText(code, 2, Align::Left, ' ');
}

void CRequestFormRecord::AppendLine(const char* code, const char* text, int width,
                                    Align alignment) {
    AppendCode(code);
    AppendText(text, width, alignment, ' ');
    AppendByte('\n');
}

void CRequestFormRecord::AppendWhole(const std::string& text) {
    for (const char c : text) AppendByte(static_cast<uint8_t>(c));
}

void CRequestFormRecord::AppendTextWhole(const std::string& text) {
    for (const char c : text) AppendByte(static_cast<uint8_t>(FieldByte(c)));
}

void CRequestFormRecord::AppendEnd() {
    AppendByte(kEsc);
    AppendByte('Q');
}

int SendForm(CRequest& record, FormWay way) {
    switch (way) {
        case FormWay::FramedAcknowledged: return Exchange(record, false, false);
        case FormWay::FramedUnacknowledged: return Exchange(record, true, false);
        case FormWay::RawUnacknowledged: return Exchange(record, true, true);
    }
    return Exchange(record, false, false);
}

bool HasFormSupport() {
    const Library& lib = Lib();
    return lib.printerType >= 5 || (lib.printerType == 4 && lib.version >= 4);
}

bool HasShiftSettlement() {
    return Lib().printerType >= 5;
}

int WaitThenReport(int result, int seconds) {
    const KeptCode code;
    // The result stands; the wait only lets the printer finish.
    if (Lib().link) (void)Lib().link->WaitUntilReady(seconds);
    return result != 0 ? code.Restore(result) : Succeeded();
}

}  // namespace tarn
