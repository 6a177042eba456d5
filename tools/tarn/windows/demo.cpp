// `tarn demo` on Windows: the demo serves its own virtual printer on a pseudo-terminal, which
// Windows has not. The virtual printer reaches a Windows till over TCP instead.
#include <cstdio>

#include "cli.h"

namespace tarn::cli {

int RunDemo(const Args&, int port) {
    std::fprintf(stderr,
                 "tarn: the demo runs its own virtual printer on a pseudo-terminal, which Windows "
                 "does not have.\n"
                 "Run the virtual printer on Linux or WSL (tarn-sim --tcp 9100), then here:\n"
                 "  set TARN_COM%d=tcp:127.0.0.1:9100\n"
                 "  tarn.exe --port %d identify\n",
                 port, port);
    return 1;
}

}  // namespace tarn::cli
