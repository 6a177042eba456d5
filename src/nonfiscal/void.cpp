// mfPrVoid: abandons the open non-fiscal document. An open order gets its closing piece, an
// open return and an open shift settlement are dropped; a fiscal receipt is not touched.
#include "api/exported.h"
#include "api/library.h"
#include "tarn/tarn.h"

using namespace tarn;

int tarn::exported::mfPrVoid(Library& lib) {
    if (lib.IsDocumentOpen(MF_DOC_NONFISCAL)) {
        if (lib.IsDocumentOpen(MF_DOC_ORDER)) ::mfEndOrder();
        if (lib.IsDocumentOpen(MF_DOC_RETURN)) ::mfEndReturn();
    }
    lib.SetDocumentOpen(MF_DOC_SHIFT_REPORT, false);
    return Succeeded();
}
