// mfPrPayIn and mfPrPayOut: cash put into or taken out of the till, each a one-shot form.
#include "api/exported.h"
#include "api/library.h"
#include "link/detail_codes.h"
#include "nonfiscal/form_commands.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr int kReadySeconds = 30;

int PrintPayInOut(const Session& lib, int kind, const char* text1, const char* text2,
                  const char* text3, const char* text4) {
    CRequestPayInOut record(kind, text1, text2, text3, text4);
    const int result = SendForm(record);
    return WaitThenReport(lib, result, kReadySeconds);
}

}  // namespace

int tarn::exported::mfPrPayIn(Library& lib, const char* number, const char* payer,
                              const char* title, const char* amount) {
    return PrintPayInOut(lib, CRequestPayInOut::kPayIn, number, payer, title, amount);
}

// The pay-out form has no line for the third text.
int tarn::exported::mfPrPayOut(Library& lib, const char* number, const char* payee,
                               const char* unused3, const char* amount) {
    return PrintPayInOut(lib, CRequestPayInOut::kPayOut, number, payee, unused3, amount);
}
