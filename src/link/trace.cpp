#include "link/trace.h"

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace tarn {

// "2026.12.06 10:00:00.125 COM1 >> 1B 66": the local time to the millisecond, one clock.
void TraceBlock(int port, TraceDirection direction, const uint8_t* bytes, int count) {
    const char* path = std::getenv("TARN_TRACE");
    if (path == nullptr || *path == '\0') return;
    std::FILE* file = OpenRegularFile(path, FileUse::Append);
    if (file == nullptr) return;
    const LocalTime t = CurrentPlatform().Now();
    std::fprintf(file, "%d.%02d.%02d %02d:%02d:%02d.%03d COM%d %s", t.year, t.month, t.day, t.hour,
                 t.minute, t.second, t.millisecond, port,
                 direction == TraceDirection::ToPrinter ? ">>" : "<<");
    for (int i = 0; i < count; ++i) std::fprintf(file, " %02X", bytes[i]);
    std::fprintf(file, "%s\n", count == 0 ? " (nothing)" : "");
    std::fclose(file);
}

}  // namespace tarn
