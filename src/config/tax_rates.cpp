// The tax table: whether it may change now, and a new set of rates.
#include "api/exported.h"
#include "api/library.h"
#include "config/config_commands.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

// The rates sent must fit their fields: whole percents in a byte for printer type 1,
// hundredths in 16 bits for the others.
bool RatesFit(const int rates[6], bool wholePercent) {
    for (int i = 0; i < (wholePercent ? 4 : 6); ++i) {
        const int sent = wholePercent ? rates[i] / 100 : rates[i];
        if (wholePercent ? (sent < -128 || sent > 255) : (sent < -32768 || sent > 65535))
            return false;
    }
    return true;
}

int DefineTax(const Session& lib, const int rates[6]) {
    const bool wholePercent = lib.capabilities.wholePercentRates;
    if (!RatesFit(rates, wholePercent)) return Failed(kCodeOutOfRange);
    int receipts = 0;
    CRequestLastTicketNo counter(&receipts);
    const int result = Exchange(counter);
    if (result != 0) return result;
    if (receipts > 0) return Failed(kCodeDayOpen);
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    if (wholePercent) {
        CRequestDefTax4 request(rates);
        return Exchange(request) != 0 ? MF_FAILED : Succeeded();
    }
    CRequestDefTax6 request(rates);
    return Exchange(request) != 0 ? MF_FAILED : Succeeded();
}

}  // namespace

// 1 when the rates may change now (no receipt since the daily report, no document open).
int tarn::exported::mfParTax(Library& lib) {
    int receipts = -1;
    CRequestLastTicketNo counter(&receipts);
    const int result = Exchange(counter);
    return result == 0 && receipts == 0 && !lib.IsDocumentOpen(MF_DOC_ANY) ? 1 : 0;
}

int tarn::exported::mfDefTax(Library& lib, int rate1, int rate2, int rate3, int rate4, int rate5,
                             int rate6) {
    const int rates[6] = {rate1, rate2, rate3, rate4, rate5, rate6};
    return DefineTax(lib, rates);
}
