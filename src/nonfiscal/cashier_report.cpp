// The cashier settlement: its data is accepted and logged, nothing is printed.
#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "tarn/tarn.h"
#include "text/field_text.h"

using namespace tarn;

int tarn::exported::mfBgCashierReport(Library&, tarn_arg, tarn_arg) {
    return Succeeded();
}

int tarn::exported::mfLineCashierReport(Library&, tarn_arg, const char* name, const char* counted,
                                        const char* cash, const char* difference) {
    // Its texts are only logged: each is read as far as a log line holds.
    LogErrorF(
        "In mfLineCashierReport,name: %s, counted: %s, cash: %s, difference %s",
        FieldText(name, kLoggedTextWidth).c_str(), FieldText(counted, kLoggedTextWidth).c_str(),
        FieldText(cash, kLoggedTextWidth).c_str(), FieldText(difference, kLoggedTextWidth).c_str());
    return Succeeded();
}
