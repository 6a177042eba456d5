#include "api/library.h"
#include "api/log.h"
#include "tarn/tarn.h"

using namespace tarn;

extern "C" int TARN_API mfSetDebugLevel(int level) try {
    ApiCall call;
    Library& lib = Lib();
    lib.mfErrorL = 0;
    if (lib.logger) lib.logger->SetLevel(DebugLevelToLoggerLevel(level));
    LogInfoF("mfSetDebugLevel to: %d", level);
    return MF_OK;
} catch (...) {
    return ExceptionEscaped("mfSetDebugLevel");
}
