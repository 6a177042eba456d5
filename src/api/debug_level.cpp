#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "tarn/tarn.h"

using namespace tarn;

int tarn::exported::mfSetDebugLevel(Library& lib, int level) {
    lib.mfErrorL = 0;
    if (lib.logger) lib.logger->SetLevel(DebugLevelToLoggerLevel(level));
    LogInfoF("mfSetDebugLevel to: %d", level);
    return MF_OK;
}
