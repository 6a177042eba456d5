// mfPrPayIn and mfPrPayOut: cash put into or taken out of the till, each a one-shot form.
#include "api/library.h"
#include "link/detail_codes.h"
#include "nonfiscal/form_commands.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr int kReadySeconds = 30;

int PrintPayInOut(int kind, const char* text1, const char* text2, const char* text3,
                  const char* text4) {
    Library& lib = Lib();
    if (!lib.started) return NotStarted();
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    CRequestPayInOut record(kind, text1, text2, text3, text4);
    const int result = SendForm(record);
    return WaitThenReport(result, kReadySeconds);
}

}  // namespace

extern "C" int TARN_API mfPrPayIn(const char* text1, const char* text2, const char* text3,
                                  const char* text4) try {
    ApiCall call;
    return PrintPayInOut(CRequestPayInOut::kPayIn, text1, text2, text3, text4);
} catch (...) {
    return ExceptionEscaped("mfPrPayIn");
}

// The pay-out form has no line for the third text.
extern "C" int TARN_API mfPrPayOut(const char* text1, const char* text2, const char* text3,
                                   const char* text4) try {
    ApiCall call;
    return PrintPayInOut(CRequestPayInOut::kPayOut, text1, text2, text3, text4);
} catch (...) {
    return ExceptionEscaped("mfPrPayOut");
}
