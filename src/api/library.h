// The library-wide state: one instance, created when the library is loaded. Tests replace
// it with a fresh one through ReplaceLibrary instead of relying on process boundaries.
#pragma once

#include <cstdint>
#include <memory>

#include "api/logger.h"
#include "link/printer_link.h"

namespace tarn {

struct Library {
    // The main log on "tarnel.txt" in the current directory, at level 1.
    Library();
    explicit Library(std::unique_ptr<CLogger> mainLogger);

    bool started = false;
    int32_t mfErrorL = 0;
    int32_t printerType = 0;
    int32_t version = 0;
    uint32_t documentFlags = 0;
    std::unique_ptr<CPrinterLink> link;
    std::unique_ptr<CLogger> logger;
    // While set, log lines go here instead of the main log (raw commands without a session).
    CLogger* temporaryLogger = nullptr;
    char logLine[256] = {};

    CLogger* ActiveLogger() const {
        return temporaryLogger != nullptr ? temporaryLogger : logger.get();
    }
};

Library& Lib();
void ReplaceLibrary(std::unique_ptr<Library> fresh);

// Holds the library-wide lock for the lifetime of one exported call.
class ApiCall {
public:
    ApiCall();
    ~ApiCall();
    ApiCall(const ApiCall&) = delete;
    ApiCall& operator=(const ApiCall&) = delete;
};

}  // namespace tarn
