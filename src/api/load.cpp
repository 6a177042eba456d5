// Work done when the shared library is loaded: the main log opens on "tarnel.txt".
#include "api/library.h"

namespace {

struct OpenLogAtLoad {
    OpenLogAtLoad() { tarn::LibraryLog(); }
};

const OpenLogAtLoad g_openLogAtLoad;

}  // namespace
