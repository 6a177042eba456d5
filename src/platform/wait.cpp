// The library's waits sleep; the benchmarks build a contrast library whose waits spin instead
// (bench/spinning_wait.cpp).
#include "platform/platform.h"

namespace tarn {

void WaitMs(int ms) {
    Platform& platform = CurrentPlatform();
    const int64_t until = platform.MonotonicMs() + ms;
    for (int64_t now = platform.MonotonicMs(); now < until; now = platform.MonotonicMs()) {
        platform.SleepMs(static_cast<int>(until - now));
    }
}

}  // namespace tarn
