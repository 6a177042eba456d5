// The one place where tests reach past the C interface, for what no call can show or reach.
#pragma once

#include <string>

namespace tarn::test::seam {

// The library as a process loads it, with its main log at `logPath` and `level` (loading
// writes "tarnel.txt" in the current directory; tests keep their logs apart).
void LoadLibrary(const std::string& logPath, int level);
// The detail code the last call left, also where mfError cannot tell it: after a call that
// ended without a session (a failed mfStart, a raw command), where mfError answers -1.
int DetailCode();

}  // namespace tarn::test::seam
