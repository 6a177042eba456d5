// A session of the library with the virtual printer in-process, on its virtual clock: sleeps
// and waits cost nothing, so what a call costs is the library's own work (and the printer's).
#pragma once

#include <memory>
#include <string>

#include "virtual_platform.h"
#include "virtual_printer.h"

namespace tarn::bench {

class VirtualSession {
public:
    // A fresh library logging at `logLevel` (0 to 3) into a directory of its own, and a
    // session on a printer of `printerType`.
    VirtualSession(int printerType, int logLevel);
    ~VirtualSession();
    VirtualSession(const VirtualSession&) = delete;
    VirtualSession& operator=(const VirtualSession&) = delete;

    bool Started() const { return started_; }

private:
    std::string dir_;
    std::unique_ptr<sim::VirtualPrinter> printer_;
    std::unique_ptr<sim::VirtualPlatform> platform_;
    bool started_ = false;
};

}  // namespace tarn::bench
