// Composing a log line in the shared line buffer and handing it to the active logger.
// Formats are the library's own; caller texts only ever travel as %s arguments, and a
// line longer than the buffer is cut.
#pragma once

#include "platform/compiler.h"

#include <cstddef>

namespace tarn {

// A caller text that is only logged is read no further than a log line holds.
constexpr size_t kLoggedTextWidth = 255;

void LogInfoF(const char* format, ...) TARN_PRINTF(1, 2);
void LogErrorF(const char* format, ...) TARN_PRINTF(1, 2);
// LogError when `result` is non-zero, else LogInfo.
void LogResultF(int result, const char* format, ...) TARN_PRINTF(2, 3);
// LogError of a finished line: the sink handed to the serial ports, which sit below the log.
void LogErrorLine(const char* line);

}  // namespace tarn
