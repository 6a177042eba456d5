// Information queries: clock, receipt counter, tax rates, serial number and versions.
#include "api/interface_aliases.h"
#include "api/library.h"
#include "api/log.h"
#include "api/version.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

void Store(int* target, int value) {
    if (target != nullptr) *target = value;
}

// The clock may not be read while a document is open. Older printers need a pause after.
int ClockQuery(CRequest& request) {
    if (!Lib().started) return NotStarted();
    if (Lib().IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    const int result = Exchange(request);
    SettleOlderPrinter(300);
    return result;
}

}  // namespace

extern "C" int TARN_API mfGetTime(int* hour, int* minute) try {
    ApiCall call;
    CRequestGetTime request(hour, minute);
    return ClockQuery(request);
} catch (...) {
    return ExceptionEscaped("mfGetTime");
}

extern "C" int TARN_API mfGetDate(int* year, int* month, int* day) try {
    ApiCall call;
    CRequestGetDate request(year, month, day);
    return ClockQuery(request);
} catch (...) {
    return ExceptionEscaped("mfGetDate");
}

extern "C" int TARN_API mfGetLastTicketNo(int* number) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    CRequestLastTicketNo request(number);
    const int result = Exchange(request);
    SettleOlderPrinter(100);
    return result;
} catch (...) {
    return ExceptionEscaped("mfGetLastTicketNo");
}

extern "C" int TARN_API mfGetTax(int* rateA, int* rateB, int* rateC, int* rateD, int* rateE,
                                 int* rateF) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    int* const rates[6] = {rateA, rateB, rateC, rateD, rateE, rateF};
    CRequestTaxRates request(rates);
    const int result = Exchange(request);
    LogResultF(result, "In mfGetTax, result: %d", result);
    return result;
} catch (...) {
    return ExceptionEscaped("mfGetTax");
}

extern "C" int TARN_API mfGetSerNo(char* serialNumber) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    CRequestSerialNo request(serialNumber);
    const int result = Exchange(request);
    LogResultF(result, "In mfGetSerNo, result: %d", result);
    return result;
} catch (...) {
    return ExceptionEscaped("mfGetSerNo");
}

extern "C" int TARN_API mfGetVersion(int* version, int* second) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    Store(version, Lib().version);
    Store(second, 0);
    return Succeeded();
} catch (...) {
    return ExceptionEscaped("mfGetVersion");
}

extern "C" int TARN_API mfParFiscal(int* value) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    Store(value, 1);
    return Succeeded();
} catch (...) {
    return ExceptionEscaped("mfParFiscal");
}

// The names that share it.
#define TARN_DEFINES_mfParFiscal TARN_DEFINED_HERE
TARN_INTERFACE(TARN_SHARED_ALIAS)

extern "C" int TARN_API mfParLibVersion(int* major, int* minor, tarn_arg) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    Store(major, kLibraryMajor);
    Store(minor, kLibraryMinor);
    return Succeeded();
} catch (...) {
    return ExceptionEscaped("mfParLibVersion");
}

extern "C" int TARN_API mfParLibBuild(int* build) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    Store(build, kLibraryBuild);
    LogInfoF("mfParLibBuild: %d", kLibraryBuild);
    return Succeeded();
} catch (...) {
    return ExceptionEscaped("mfParLibBuild");
}
