// The order slip: opened by mfBgOrder, lines added by mfLineOrder, closed by mfEndOrder. The
// printer takes the three kinds of piece as one form record; none of them is acknowledged.
#include "api/interface_aliases.h"
#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "nonfiscal/form_commands.h"
#include "tarn/tarn.h"

using namespace tarn;

// Also exported as mfParReturn.
extern "C" int TARN_API mfParOrder(void) try {
    ApiCall call;
    if (!Lib().started) return NotStarted();
    return Succeeded(HasFormSupport() ? MF_OK : MF_NOT_AVAILABLE);
} catch (...) {
    return ExceptionEscaped("mfParOrder");
}

// The names that share it.
#define TARN_DEFINES_mfParOrder TARN_DEFINED_HERE
TARN_INTERFACE(TARN_SHARED_ALIAS)

extern "C" int TARN_API mfBgOrder(const char* text1, const char* text2) try {
    ApiCall call;
    Library& lib = Lib();
    if (!lib.started) return NotStarted();
    if (!HasFormSupport()) return Succeeded(MF_NOT_PERFORMED);
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return Failed(kCodeDocumentOpen);
    CRequestBeginOrder record(text1, text2);
    const int result = SendForm(record);
    LogResultF(result, "In mfBeginOrder, result: %d", result);
    if (result == 0) lib.SetDocumentOpen(MF_DOC_ORDER, true);
    return result;
} catch (...) {
    return ExceptionEscaped("mfBgOrder");
}

extern "C" int TARN_API mfLineOrder(const char* text1, const char* text2, const char* text3) try {
    ApiCall call;
    Library& lib = Lib();
    if (!lib.started) return NotStarted();
    if (!HasFormSupport()) return Succeeded(MF_NOT_PERFORMED);
    if (!lib.IsDocumentOpen(MF_DOC_ORDER)) return Failed(kCodeDocumentNotOpen);
    CRequestLineOrder piece(text1, text2, text3);
    const int result = SendForm(piece);
    LogResultF(result, "In mfLineOrder, result: %d", result);
    return result;
} catch (...) {
    return ExceptionEscaped("mfLineOrder");
}

// The order is closed on the library's side whatever the printer made of the last piece.
extern "C" int TARN_API mfEndOrder(void) try {
    ApiCall call;
    Library& lib = Lib();
    if (!lib.started) return NotStarted();
    if (!HasFormSupport()) return Succeeded(MF_NOT_PERFORMED);
    if (!lib.IsDocumentOpen(MF_DOC_ORDER)) return Failed(kCodeDocumentNotOpen);
    CRequestEndOrder piece;
    const int result = SendForm(piece);
    LogResultF(result, "In mfEndOrder, result: %d", result);
    lib.SetDocumentOpen(MF_DOC_ORDER, false);
    return result;
} catch (...) {
    return ExceptionEscaped("mfEndOrder");
}
