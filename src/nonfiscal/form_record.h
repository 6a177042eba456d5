// The printer's form record, the one command of every non-fiscal document: 's', a two-digit
// form code, items (a two-digit line code, a fixed-width text field and LF where the line has
// data) and the closing ESC 'Q'. Also the sending of a record and the printer tests the
// documents share.
#pragma once

#include <string>

#include "link/request.h"

namespace tarn {

struct Library;

class CRequestFormRecord : public CRequest {
protected:
    // A complete record is acknowledged; the first piece of a record sent in pieces is not, and
    // the later pieces go raw.
    using CRequest::CRequest;
    // 's' and the form code.
    void AppendHead(const char* formCode);
    // A line code alone: the form prints a line that needs no data.
    void AppendCode(const char* code);
    // A line code, the text cut or padded with spaces to `width`, and LF.
    void AppendLine(const char* code, const char* text, int width, Align alignment);
    void AppendLine(const char* code, const std::string& text, int width, Align alignment) {
        AppendLine(code, text.c_str(), width, alignment);
    }
    // The text as it is, whatever its length (the command is not sent when it does not fit).
    void AppendWhole(const std::string& text);
    // An application's text whole, with ESC and LF printed as spaces.
    void AppendTextWhole(const std::string& text);
    // ESC 'Q'.
    void AppendEnd();
};

// 0, or -2 with the detail code in mfErrorL.
[[nodiscard]] int SendForm(CRequest& record);

// After a one-shot document: waits up to `seconds` for the printer to be ready, then reports
// the exchange's `result`, keeping the code of a failure; after a record that went through,
// what ConfirmForm says.
[[nodiscard]] int WaitThenReport(const Library& lib, int result, int seconds);
// The end of a form gets no answer: the printer answering the wait's first poll is its word
// that it had the whole record (0). Without that word it is asked again whether it still holds
// the form, which is then ended and printed (0); else the printout's fate is not known (-2 with
// 514: the paper tells), and while the printer cannot be asked the library's record holds the
// document the printer may hold.
[[nodiscard]] int ConfirmForm(const Library& lib, int seconds);

}  // namespace tarn
