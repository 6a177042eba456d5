// `tarn serve` on Windows: the service runs each printer's worker as a process of its own,
// which this build does not do yet (it needs CreateProcess with pipes, a job object in place of
// the parent's death signal, and the Windows socket API for the HTTP side).
#include <cstdio>

#include "cli.h"

namespace tarn::cli {

int RunServe(const Args&, int) {
    std::fprintf(stderr, "tarn: serve runs on Linux; run it there or under WSL\n");
    return 1;
}

}  // namespace tarn::cli
