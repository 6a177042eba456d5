// The cashier settlement: its data is accepted and logged, nothing is printed.
#include "api/library.h"
#include "api/log.h"
#include "tarn/tarn.h"
#include "text/field_text.h"

using namespace tarn;

extern "C" int TARN_API mfBgCashierReport(tarn_arg, tarn_arg) try {
    ApiCall call;
    return Lib().started ? Succeeded() : NotStarted();
} catch (...) {
    return ExceptionEscaped("mfBgCashierReport");
}

extern "C" int TARN_API mfLineCashierReport(tarn_arg, const char* name, const char* counted,
                                            const char* cash, const char* difference) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    // Its texts are only logged: each is read as far as a log line holds.
    LogErrorF(
        "In mfLineCashierReport,name: %s, counted: %s, cash: %s, difference %s",
        FieldText(name, kLoggedTextWidth).c_str(), FieldText(counted, kLoggedTextWidth).c_str(),
        FieldText(cash, kLoggedTextWidth).c_str(), FieldText(difference, kLoggedTextWidth).c_str());
    return Succeeded();
} catch (...) {
    return ExceptionEscaped("mfLineCashierReport");
}
