// mfError and mfParMessage: the detail code of the last failure, and its two texts.
#include "api/detail_codes.h"

#include <cstdio>

#include "api/library.h"
#include "api/log.h"
#include "tarn/tarn.h"

namespace tarn {

int ClassTextIndex(int code) {
    switch (code & 0xFF00) {
        case 0x000: return code == 0 ? 100 : 101;
        case 0x100: return 102;
        case 0x200: return 103;
        case 0x300: return 104;
        default: return 100;
    }
}

int DetailTextIndex(int code) {
    const int number = code & 0xFF;
    if (code >= 257 && code <= 259) return 199 + number;
    if (code >= 513 && code <= 518) return 202 + number;
    if (code >= 769 && code <= 794) return 208 + number;
    if (code >= 796 && code <= 801) return 207 + number;
    return 100;
}

}  // namespace tarn

using namespace tarn;

namespace {

void CopyText(char* out, int index) {
    if (out != nullptr) std::snprintf(out, 39, "%s", Lib().texts.Text(index));
}

}  // namespace

extern "C" int TARN_API mfError(void) {
    ApiCall call;
    Library& lib = Lib();
    LogResultF(lib.mfErrorL, "In mfError before if_notStart - , mfErrorL: %d", lib.mfErrorL);
    if (!lib.started) return NotStarted();
    LogResultF(lib.mfErrorL, "In mfError - , mfErrorL: %d", lib.mfErrorL);
    return lib.mfErrorL;
}

extern "C" int TARN_API mfParMessage(int code, char* classText, char* detailText) {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    CopyText(classText, ClassTextIndex(code));
    CopyText(detailText, DetailTextIndex(code));
    return MF_OK;
}
