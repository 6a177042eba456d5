// The same point-of-sale application as a Windows process: tarn_bench_client.exe with TARN.dll
// under Wine, the virtual printer's terminal mapped to COM1.
#pragma once

#include <string>

#include "client.h"

namespace tarn::bench {

struct WineSetup {
    std::string loader;        // the Wine loader of the DLL's width (wine64)
    std::string server;        // its wineserver
    std::string windowsBuild;  // the folder with TARN.dll and tarn_bench_client.exe
    std::string com1Script;    // tools/wine-com1.sh
};

// Runs the sale as RunClient does, in a Wine prefix of its own made in `workDir`. The client
// times itself from mfStart to mfStop, so Wine's start-up is not counted; its CPU time is the
// Windows process's own (GetProcessTimes, in steps of the kernel's clock tick).
ClientRun RunWineClient(const WineSetup& wine, const std::string& device, int printerType,
                        const std::string& workDir, const std::string& tracePath);

}  // namespace tarn::bench
