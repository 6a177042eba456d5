// Moving the printer's clock a little while the fiscal day is closed.
#include <cinttypes>
#include <cstdlib>

#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "config/config_commands.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr int64_t kLongestShift = 60;

// 0 with the count, or a failed exchange's result.
int ReceiptsToday(int* receipts) {
    CRequestLastTicketNo counter(receipts);
    return Exchange(counter);
}

struct Shift {
    int64_t minutes;
    int forward;
};

// From the printer's h:m to the wanted H:M: within the hour, or into the hour before or after.
Shift ShiftBetween(int64_t h, int64_t m, int64_t H, int64_t M) {
    if (h == H) return m > M ? Shift{m - M, 0} : Shift{M - m, 1};
    return h > H ? Shift{m - M + 60, 0} : Shift{M - m + 60, 1};
}

int DefineTime(int hour, int minute) {
    int receipts = 0;
    int result = ReceiptsToday(&receipts);
    if (result != 0) return result;
    if (receipts > 0) return Failed(kCodeDayOpen);
    int h = 0, m = 0;
    CRequestGetTime before(&h, &m);
    result = Exchange(before);
    if (result != 0) return result;
    const Shift shift = ShiftBetween(h, m, hour, minute);
    // A shift below 0 (a minute argument far out) cannot be written as two digits either.
    if (std::llabs(static_cast<int64_t>(h) - hour) > 1 || shift.minutes > kLongestShift ||
        shift.minutes < 0) {
        return Failed(kCodeOutOfRange);
    }
    CRequestDefTime change(shift.forward, static_cast<int>(shift.minutes));
    (void)Exchange(change);  // whether the clock moved is read back below
    int hAfter = 0, mAfter = 0;
    CRequestGetTime after(&hAfter, &mAfter);
    result = Exchange(after);
    if (result != 0) return result;
    if (hAfter == h && mAfter == m) return Failed(kCodeClockChange);
    LogInfoF("In mfDefTime, difference: %" PRId64
             ", forward: %d, current_hour: %d, current_minute: %d, "
             "\t\thour: %d, minute: %d, hourAfter: %d, minuteAfter: %d, result: %d",
             shift.minutes, shift.forward, h, m, hour, minute, hAfter, mAfter, 0);
    return Succeeded();
}

}  // namespace

int tarn::exported::mfParTime(Library&) {
    int receipts = 0;
    const int result = ReceiptsToday(&receipts);
    LogResultF(result, "In mfParTime, result: %d", result);
    if (result != 0) return result;
    if (receipts > 0) return Failed(kCodeDayOpen);
    return Succeeded();
}

int tarn::exported::mfDefTime(Library&, int hour, int minute) {
    return DefineTime(hour, minute);
}
