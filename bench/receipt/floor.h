// The floor of a sale: the time an ideal run of the same protocol takes. Every byte takes its
// line time, the printer answers the moment a command is in, the library loses no time of its
// own and waits exactly what the protocol schedules.
#pragma once

#include <vector>

#include "wire_trace.h"

namespace tarn::bench {

struct FloorSettings {
    int printerType = 8;
    int printMs = 0;  // how long the printer stays busy after a printing command
};

struct Floor {
    double totalMs = 0;
    double lineMs = 0;   // every byte's line time, both ways
    double waitsMs = 0;  // every scheduled wait and poll step
    int bytesToPrinter = 0;
    int bytesFromPrinter = 0;
    int exchanges = 0;
};

Floor IdealFloor(const std::vector<TracedCall>& calls, const FloorSettings& settings);

}  // namespace tarn::bench
