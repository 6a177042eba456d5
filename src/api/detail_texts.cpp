// mfError and mfParMessage: the detail code of the last failure, and its two texts.
#include "api/detail_texts.h"
#include "api/exported.h"

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

namespace {

// The codes with a text of their own: class (code / 256), first and last number (code % 256),
// and the text of the first.
struct DetailTexts {
    int codeClass, first, last, firstText;
};
constexpr DetailTexts kDetailTexts[] = {
    {1, 1, 3, 200}, {2, 1, 6, 203}, {3, 1, 26, 209}, {3, 28, 33, 235}};

}  // namespace

int DetailTextIndex(int code) {
    const int codeClass = code >> 8, number = code & 0xFF;
    for (const DetailTexts& texts : kDetailTexts) {
        if (codeClass == texts.codeClass && number >= texts.first && number <= texts.last)
            return texts.firstText + number - texts.first;
    }
    return 100;
}

}  // namespace tarn

using namespace tarn;

namespace {

void CopyText(const Settings& lib, char* out, int index) {
    if (out != nullptr) std::snprintf(out, 39, "%s", lib.texts.Text(index));
}

}  // namespace

int tarn::exported::mfError(Library& lib) {
    LogResultF(lib.mfErrorL, "In mfError before if_notStart - , mfErrorL: %d", lib.mfErrorL);
    if (!lib.started) return NotStarted();
    LogResultF(lib.mfErrorL, "In mfError - , mfErrorL: %d", lib.mfErrorL);
    return lib.mfErrorL;
}

int tarn::exported::mfParMessage(Library& lib, int code, char* classText, char* detailText) {
    CopyText(lib, classText, ClassTextIndex(code));
    CopyText(lib, detailText, DetailTextIndex(code));
    return MF_OK;
}
