// The cashier settlement: its data is accepted and logged, nothing is printed.
#include "api/library.h"
#include "api/log.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

const char* Text(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace

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
    LogErrorF("In mfLineCashierReport,name: %s, counted: %s, cash: %s, difference %s", Text(name),
              Text(counted), Text(cash), Text(difference));
    return Succeeded();
} catch (...) {
    return ExceptionEscaped("mfLineCashierReport");
}
