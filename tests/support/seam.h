// The one place where tests reach past the C interface, for what no call can show or reach.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarn::test::seam {

// The library as a process loads it, with its main log at `logPath` and `level` (loading
// writes "tarnel.txt" in the current directory; tests keep their logs apart). `level` 1 logs
// failures only, 3 every line.
void LoadLibrary(const std::string& logPath, int level = 1);
// The library unloaded, as at the end of a process.
void UnloadLibrary();
// The detail code the last call left, also where mfError cannot tell it: after a call that
// ended without a session (a failed mfStart, a raw command), where mfError answers -1.
int DetailCode();
// Writes `sent` to serial port `port` and reads up to `wanted` bytes into `got`, each byte
// awaited `timeoutMs`; the bytes read, or -1 when the port cannot be used. The library's own
// exchanges wait 30 s for a byte: too long to see a partial or a missing answer in real time.
int WriteThenRead(int port, int timeoutMs, const std::vector<uint8_t>& sent, size_t wanted,
                  std::vector<uint8_t>* got);

}  // namespace tarn::test::seam
