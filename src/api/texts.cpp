// The application's access to the text table and the configuration parameters.
#include <cstdio>
#include <string>

#include "api/exported.h"
#include "api/library.h"
#include "link/detail_codes.h"
#include "tarn/tarn.h"
#include "text/field_text.h"

using namespace tarn;

namespace {
constexpr int kLogoPathParameter = 11;
}

int tarn::exported::mfParString(Library& lib, int index, char* buffer, int* width) {
    const int maxLength = lib.texts.MaxLength(index);
    if (width != nullptr) *width = maxLength;
    if (maxLength == 0) return Failed(kCodeOutOfRange);
    if (buffer != nullptr) {
        std::snprintf(buffer, static_cast<size_t>(maxLength) + 1, "%s", lib.texts.Text(index));
    }
    return Succeeded();
}

int tarn::exported::mfDefString(Library& lib, int index, const char* text) {
    if (!lib.texts.Define(index, text)) return Failed(kCodeOutOfRange);
    return Succeeded();
}

// No session test: the logo path is named before mfStart, which uses it.
int tarn::exported::mfDefConfigParam(Library& lib, int parameter, tarn_arg, const char* text) {
    if (parameter != kLogoPathParameter) return Succeeded();
    // Read as far as the path buffer's size: a path that fills it leaves no room for its end.
    const std::string path = FieldText(text, sizeof lib.logoPath);
    if (path.empty()) return Succeeded();
    if (path.size() >= sizeof lib.logoPath) return Failed(kCodeOutOfRange);
    std::snprintf(lib.logoPath, sizeof lib.logoPath, "%s", path.c_str());
    return Succeeded();
}
