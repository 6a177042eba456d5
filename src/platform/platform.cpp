#include "platform/platform.h"

namespace tarn {

namespace {
Platform* g_installed = nullptr;

#if defined(TARN_SPINNING_WAITS)
// Only in the benchmarks' contrast build: waits spin on the clock, as busy-waiting drivers do.
// On the virtual clock of the tests such a wait would never end.
constexpr bool kSpinningWaits = true;
#else
constexpr bool kSpinningWaits = false;
#endif
}  // namespace

Platform& CurrentPlatform() {
    return g_installed != nullptr ? *g_installed : RealPlatform();
}

void InstallPlatform(Platform* platform) {
    g_installed = platform;
}

void WaitMs(int ms) {
    Platform& platform = CurrentPlatform();
    const int64_t until = platform.MonotonicMs() + ms;
    for (int64_t now = platform.MonotonicMs(); now < until; now = platform.MonotonicMs()) {
        if (!kSpinningWaits) platform.SleepMs(static_cast<int>(until - now));
    }
}

}  // namespace tarn
