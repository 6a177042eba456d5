#include "seam.h"

#include <memory>

#include "api/library.h"

namespace tarn::test::seam {

void LoadLibrary(const std::string& logPath, int level) {
    ReplaceLibrary(
        std::make_unique<Library>(std::make_unique<CLogger>(logPath.c_str(), level, "TARN")));
}

int DetailCode() {
    return Lib().mfErrorL;
}

}  // namespace tarn::test::seam
