// The wire trace: when the environment variable TARN_TRACE names a file, every block written
// to or read from a printer is appended to it as a time-stamped hex line. It never fails a call.
#pragma once

#include <cstdint>

namespace tarn {

enum class TraceDirection { ToPrinter, FromPrinter };

void TraceBlock(int port, TraceDirection direction, const uint8_t* bytes, int count);

}  // namespace tarn
