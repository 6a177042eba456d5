// The benchmarks' contrast library only: waits spin on the clock, as busy-waiting drivers do.
// On the virtual clock of the tests such a wait would never end.
#include "platform/platform.h"

namespace tarn {

void WaitMs(int ms) {
    Platform& platform = CurrentPlatform();
    const int64_t until = platform.MonotonicMs() + ms;
    while (platform.MonotonicMs() < until) {
    }
}

}  // namespace tarn
