// The return slip: mfBgReturn keeps the number and the person, mfLineReturn prints the whole
// slip with its one item, mfEndReturn closes it. Only the item sends anything.
#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "nonfiscal/form_commands.h"
#include "nonfiscal/nonfiscal_state.h"
#include "platform/platform.h"
#include "tarn/tarn.h"
#include "text/field_text.h"

using namespace tarn;

namespace {

constexpr int kMostItems = 1;
constexpr int kPauseMs = 100;
constexpr int kReadySeconds = 20;

// The item's name is printed in 30; its total never takes more than 27 of the line (the
// record reads no further); its quantity, printed whole, is logged as far as a line holds.
constexpr size_t kNameWidth = 30;
constexpr size_t kTotalWidth = 27;

}  // namespace

int tarn::exported::mfParMaxLinesReturn(Library& lib, int* maxLines) {
    if (maxLines != nullptr) *maxLines = lib.capabilities.forms ? kMostItems : 0;
    return Succeeded();
}

// The open-document test comes before the printer test.
int tarn::exported::mfBgReturn(Library& lib, const char* returnNumber, const char* personName,
                               tarn_arg) {
    if (!lib.capabilities.forms) return Succeeded(MF_NOT_PERFORMED);
    ReturnState& slip = lib.Record<ReturnState>();
    CopyCut(slip.number, returnNumber);
    CopyCut(slip.personName, personName);
    slip.lines = 0;
    LogInfoF("In mfBgReturn, mfReturnNumber: %s, mfReturnPersonName: %s", slip.number,
             slip.personName);
    lib.SetDocumentOpen(MF_DOC_RETURN, true);
    return Succeeded();
}

int tarn::exported::mfLineReturn(Library& lib, const char* name, const char* quantity,
                                 const char* total) {
    if (!lib.capabilities.forms) return Succeeded(MF_NOT_PERFORMED);
    if (!lib.IsDocumentOpen(MF_DOC_RETURN)) return Failed(kCodeDocumentNotOpen);
    ReturnState& slip = lib.Record<ReturnState>();
    if (slip.lines >= kMostItems) return Failed(kCodeOther);
    CRequestLineReturn record(slip.number, slip.personName, name, quantity, total);
    // A quantity too long for the command is refused before anything is sent: logged, no wait.
    const bool fits = !record.Overflowed();
    const int result = fits ? SendForm(record) : Failed(kCodeOutOfRange);
    LogResultF(result,
               "In mfLineReturn,mfReturnNumber: %s, mfReturnPersonName: %s, name: %s, quant %s, "
               "total: %s, \t\tresult: %d",
               slip.number, slip.personName, FieldText(name, kNameWidth).c_str(),
               FieldText(quantity, kLoggedTextWidth).c_str(), FieldText(total, kTotalWidth).c_str(),
               result);
    if (!fits) return result;
    CurrentPlatform().SleepMs(kPauseMs);
    (void)WaitUntilReady(kReadySeconds);  // the line's result stands
    if (result != MF_OK) return result;
    ++slip.lines;
    CurrentPlatform().SleepMs(kPauseMs);
    return Succeeded();
}

// Nothing is sent: the slip was printed whole by its item.
int tarn::exported::mfEndReturn(Library& lib) {
    if (!lib.capabilities.forms) return Succeeded(MF_NOT_PERFORMED);
    if (!lib.IsDocumentOpen(MF_DOC_RETURN)) return Failed(kCodeDocumentNotOpen);
    lib.SetDocumentOpen(MF_DOC_RETURN, false);
    return Succeeded();
}
