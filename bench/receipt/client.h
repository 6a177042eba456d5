// The point-of-sale application of the benchmark: a child process that loads a copy of the
// library and runs the sale, timing itself on the wall clock and in CPU time.
#pragma once

#include <cstdint>
#include <string>

namespace tarn::bench {

struct ClientRun {
    bool ok = false;
    std::string error;
    int64_t wallNs = 0;
    int64_t cpuNs = 0;          // user and system time of the client process during the sale
    int64_t receiptWallNs = 0;  // the receipt alone, within the session
};

// Runs the sale on a printer of `printerType` reached at `device`, through the library at
// `library`, in `workDir` (its log and the wire trace `tracePath` go there; none when empty).
ClientRun RunClient(const std::string& library, const std::string& device, int printerType,
                    const std::string& workDir, const std::string& tracePath);

}  // namespace tarn::bench
