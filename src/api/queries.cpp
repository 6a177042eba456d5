// Information queries: clock, receipt counter, tax rates, serial number and versions.
#include "api/exported.h"
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
    const int result = Exchange(request);
    SettleOlderPrinter(300);
    return result;
}

}  // namespace

int tarn::exported::mfGetTime(Library&, int* hour, int* minute) {
    CRequestGetTime request(hour, minute);
    return ClockQuery(request);
}

int tarn::exported::mfGetDate(Library&, int* year, int* month, int* day) {
    CRequestGetDate request(year, month, day);
    return ClockQuery(request);
}

int tarn::exported::mfGetLastTicketNo(Library&, int* number) {
    CRequestLastTicketNo request(number);
    const int result = Exchange(request);
    SettleOlderPrinter(100);
    return result;
}

int tarn::exported::mfGetTax(Library&, int* rateA, int* rateB, int* rateC, int* rateD, int* rateE,
                             int* rateF) {
    int* const rates[6] = {rateA, rateB, rateC, rateD, rateE, rateF};
    CRequestTaxRates request(rates);
    const int result = Exchange(request);
    LogResultF(result, "In mfGetTax, result: %d", result);
    return result;
}

int tarn::exported::mfGetSerNo(Library&, char* serialNumber) {
    CRequestSerialNo request(serialNumber);
    const int result = Exchange(request);
    LogResultF(result, "In mfGetSerNo, result: %d", result);
    return result;
}

int tarn::exported::mfGetVersion(Library& lib, int* version, int* zero) {
    Store(version, lib.version);
    Store(zero, 0);
    return Succeeded();
}

int tarn::exported::mfParFiscal(Library&, int* value) {
    Store(value, 1);
    return Succeeded();
}

int tarn::exported::mfParLibVersion(Library&, int* major, int* minor, tarn_arg) {
    Store(major, kLibraryMajor);
    Store(minor, kLibraryMinor);
    return Succeeded();
}

int tarn::exported::mfParLibBuild(Library&, int* build) {
    Store(build, kLibraryBuild);
    LogInfoF("mfParLibBuild: %d", kLibraryBuild);
    return Succeeded();
}
