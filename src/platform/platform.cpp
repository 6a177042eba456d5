#include "platform/platform.h"

namespace tarn {

namespace {
Platform* g_installed = nullptr;
}

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
        platform.SleepMs(static_cast<int>(until - now));
    }
}

}  // namespace tarn
