#include "platform/platform.h"

#include <cctype>

namespace tarn {

namespace {
Platform* g_installed = nullptr;
}  // namespace

Platform& CurrentPlatform() {
    return g_installed != nullptr ? *g_installed : RealPlatform();
}

void InstallPlatform(Platform* platform) {
    g_installed = platform;
}

std::string NameBeside(const std::string& path, uint32_t seed) {
    static const char kSigns[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    constexpr uint32_t kSignCount = sizeof kSigns - 1;
    constexpr size_t kChanged = 3;
    const size_t nameStart = path.find_last_of("/\\:") + 1;  // 0 when there is no folder
    if (path.size() <= nameStart + kChanged) return {};
    std::string name = path;
    for (size_t i = path.size() - kChanged; i < path.size(); ++i, seed /= kSignCount) {
        uint32_t sign = seed % kSignCount;
        const auto was = static_cast<char>(std::tolower(static_cast<unsigned char>(path[i])));
        if (kSigns[sign] == was) sign = (sign + 1) % kSignCount;
        name[i] = kSigns[sign];
    }
    return name;
}

}  // namespace tarn
