#include "nonfiscal/form_record.h"

#include "api/library.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"

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

namespace {

// A record's head went out without the printer's answer: the printer may have opened the form
// and wait for its lines. ESC 'Q' ends it, empty: it prints nothing. A printer that holds no
// form takes it for 'Q' and answers with a byte; one in a form answers nothing.
// When it cannot be sent, the printer may hold the form: the library's record follows.
// The record's own failure is what the caller hears of.
bool EndFormLeftOpen() {
    int answer = 0;
    CRequestOneByteMaybeAnswered end('Q', &answer);
    const bool sent = ExchangeQuietly(end) == 0;
    if (!sent) FollowDocumentHeldByPrinter(true);
    return sent;
}

}  // namespace

int SendForm(CRequest& record) {
    const int result = Exchange(record);
    if (result != MF_OK && record.Framed() != Framing::Raw && AnswerUnknown()) {
        (void)EndFormLeftOpen();
    }
    return result;
}

int ConfirmForm(const Library& lib, int seconds) {
    if (!lib.link) return Failed(kCodeCommunication);
    bool answered = false;
    (void)WaitUntilReady(seconds, &answered);  // the printer prints meanwhile
    if (answered) return Succeeded();
    const int held = PrinterHoldsDocument();
    if (held == 1 && EndFormLeftOpen()) {
        (void)WaitUntilReady(seconds, &answered);
        return Succeeded();
    }
    if (held < 0) FollowDocumentHeldByPrinter(true);
    return Failed(kCodeCommunication);
}

int WaitThenReport(const Library& lib, int result, int seconds) {
    if (result == MF_OK) return ConfirmForm(lib, seconds);
    (void)WaitUntilReady(seconds);  // the failure stands
    return result;
}

}  // namespace tarn
