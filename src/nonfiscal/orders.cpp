// The order slip: opened by mfBgOrder, lines added by mfLineOrder, closed by mfEndOrder. The
// printer takes the three kinds of piece as one form record; none of them is acknowledged.
#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "nonfiscal/form_commands.h"
#include "tarn/tarn.h"

using namespace tarn;

// Also exported as mfParReturn.
int tarn::exported::mfParOrder(Library& lib) {
    return Succeeded(lib.capabilities.forms ? MF_OK : MF_NOT_AVAILABLE);
}

int tarn::exported::mfBgOrder(Library& lib, const char* customer, const char* number) {
    if (!lib.capabilities.forms) return Succeeded(MF_NOT_PERFORMED);
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    CRequestBeginOrder record(customer, number);
    const int result = SendForm(record);
    LogResultF(result, "In mfBeginOrder, result: %d", result);
    if (result == 0) lib.SetDocumentOpen(MF_DOC_ORDER, true);
    return result;
}

int tarn::exported::mfLineOrder(Library& lib, const char* name, const char* quantity,
                                const char* modifier) {
    if (!lib.capabilities.forms) return Succeeded(MF_NOT_PERFORMED);
    if (!lib.IsDocumentOpen(MF_DOC_ORDER)) return Failed(kCodeDocumentNotOpen);
    CRequestLineOrder piece(name, quantity, modifier);
    const int result = SendForm(piece);
    LogResultF(result, "In mfLineOrder, result: %d", result);
    return result;
}

// The order is closed on the library's side whatever the printer made of the last piece.
int tarn::exported::mfEndOrder(Library& lib) {
    if (!lib.capabilities.forms) return Succeeded(MF_NOT_PERFORMED);
    if (!lib.IsDocumentOpen(MF_DOC_ORDER)) return Failed(kCodeDocumentNotOpen);
    CRequestEndOrder piece;
    const int result = SendForm(piece);
    LogResultF(result, "In mfEndOrder, result: %d", result);
    lib.SetDocumentOpen(MF_DOC_ORDER, false);
    return result;
}
