#include "receipt/cancellation.h"

#include <cstring>

#include "api/detail_codes.h"
#include "api/library.h"
#include "api/log.h"
#include "link/shared_commands.h"
#include "platform/platform.h"

namespace tarn {

namespace {

constexpr uint8_t kReasonQuery = 0x50;  // 'P'

struct StatusRule {
    int byteIndex;
    uint8_t bit;
    int code;
};

// Printers that cannot name a reason show it in status bytes 1 and 2; the first rule that
// holds gives the code.
constexpr StatusRule kCancelledRules[] = {
    {1, 0x01, kCodeResourcesExhausted},
    {1, 0x02, kCodeOther},
    {1, 0x08, kCodeDayOpen},
    {1, 0x10, kCodeFiscalError},
    {1, 0x20, kCodeItemBlocked},
    {1, 0x40, kCodeDisplayError},
    {1, 0x80, kCodeFiscalError},
    {2, 0x02, kCodeNoPaper},
    {2, 0x04, kCodeFiscalError},
    {2, 0x08, kCodeBatteryError},
    {2, 0x10, kCodeOther},
    {2, 0x20, kCodeDisplayError},
    {2, 0x40, kCodeNoPaper},
    {2, 0x80, kCodeFiscalError},
};

bool NamesAReason() {
    const Library& lib = Lib();
    return lib.printerType > 3 || (lib.printerType == 3 && lib.version >= 3);
}

int CodeOfReason(char reason) {
    if (reason == 'C') return kCodeItemBlocked;
    return std::strchr("27FGJKRST", reason) != nullptr ? kCodeOutOfRange : kCodeOther;
}

int AskReason() {
    int reason = 0;
    CRequestOneByte query(kReasonQuery, &reason);
    const int result = Exchange(query);
    if (result != 0) return result;
    if (reason == 0) return MF_OK;
    LogInfoF("WhyTicketCanceled - przyczyna: %c", reason);
    return Failed(CodeOfReason(static_cast<char>(reason)));
}

int ReadStatusBits() {
    int status[3] = {0, 0, 0};
    for (int index = 1; index <= 2; ++index) {
        CRequestStatus query(index, &status[index]);
        const int result = Exchange(query);
        if (result != 0) return result;
    }
    for (const StatusRule& rule : kCancelledRules) {
        if (status[rule.byteIndex] & rule.bit) return Failed(rule.code);
    }
    return MF_OK;
}

}  // namespace

int WhyTicketCanceled() {
    CurrentPlatform().SleepMs(200);
    return NamesAReason() ? AskReason() : ReadStatusBits();
}

}  // namespace tarn
