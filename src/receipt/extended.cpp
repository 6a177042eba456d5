// Extended lines on printers of type 8 and above: a discount or markup on the last sale line,
// and receipt-wide discounts entered as lines whose name holds the word "PTU".
#include <cstdlib>
#include <string>

#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "link/detail_codes.h"
#include "platform/platform.h"
#include "receipt/cancellation.h"
#include "receipt/receipt_commands.h"
#include "receipt/receipt_state.h"
#include "tarn/tarn.h"
#include "text/field_text.h"
#include "text/formatting.h"

using namespace tarn;

namespace {

constexpr int kDiscount = 0;
constexpr int kMarkup = 1;
constexpr int kSettleAfterLineMs = 200;
// The name of a "PTU" line is never printed: it is read to its end, this far at most.
constexpr size_t kMostUnprintedName = 1024;
constexpr char kPtu[] = "PTU";
constexpr size_t kPtuLength = sizeof kPtu - 1;

int64_t Magnitude(int64_t value) {
    return value < 0 ? -value : value;
}

// "PTU" as a word of its own, with no letter or digit right before or after it: a product such
// as "KAPTUR" is no discount on the whole receipt.
bool NamesReceiptDiscount(const std::string& name) {
    for (size_t at = name.find(kPtu); at != std::string::npos; at = name.find(kPtu, at + 1)) {
        const bool joinedBefore = at > 0 && IsLetterOrDigit(name[at - 1]);
        const size_t end = at + kPtuLength;
        const bool joinedAfter = end < name.size() && IsLetterOrDigit(name[end]);
        if (!joinedBefore && !joinedAfter) return true;
    }
    return false;
}

int ExtendedLine(Session& lib, const char* given, int ptu, int32_t price, int32_t quantity,
                 int32_t value) {
    if (!lib.capabilities.lineDiscounts) return Succeeded(MF_NOT_PERFORMED);
    const std::string name = GivenName(given);
    LogInfoF("In mfLineTicketExt, name: %s, price: %d, quantity: %d, value: %d", name.c_str(),
             price, quantity, value);
    const int kind = quantity >= 0 ? kMarkup : kDiscount;
    const int64_t amount = value == 0 ? (Magnitude(quantity) * price + 500) / 1000 : value;
    if (!FitsInt32(amount)) return Failed(kCodeOutOfRange);
    ReceiptState& receipt = lib.Record<ReceiptState>();
    if (NamesReceiptDiscount(FieldText(given, kMostUnprintedName))) {
        receipt.total -= amount;
        receipt.ptuLinesTotal += amount;
        return Succeeded();
    }
    if (name != receipt.lastLineName) {
        LogInfoF("In mfLineTicketExt, name: %s, lastTicketLineName: %s", name.c_str(),
                 receipt.lastLineName);
        return Succeeded(MF_NOT_AVAILABLE);
    }
    // The letter ties a discount to the last sale line (a "PTU" discount, on the whole receipt,
    // does not read it): another letter, or a byte that is none, is not that line's.
    if (TaxLetter(ptu) != receipt.lastLinePtu || receipt.lastLineValue < Magnitude(amount)) {
        return Succeeded(MF_NOT_PERFORMED);
    }
    CRequestLineDiscount line(kind, static_cast<int32_t>(amount));
    const int result = Exchange(line);
    const KeptCode code;
    WaitMs(kSettleAfterLineMs);
    const ReceiptCheck check = WhyTicketCanceled(lib);
    if (check.result != 0) return AfterFailedCheck(lib, check);
    if (result != 0) return code.Restore(result);
    if (!receipt.totalDeclared) receipt.total += kind == kMarkup ? amount : -amount;
    return Succeeded();
}

}  // namespace

int tarn::exported::mfParLineTicketExt(Library& lib) {
    return Succeeded(lib.capabilities.lineDiscounts ? MF_OK : MF_NOT_AVAILABLE);
}

int tarn::exported::mfLineTicketExt(Library& lib, tarn_arg, const char* name, int ptu, const char*,
                                    int price, int quantity, int value) {
    return ExtendedLine(lib, name, ptu, price, quantity, value);
}

int tarn::exported::mfParInvoice(Library&, tarn_arg, tarn_arg, tarn_arg, tarn_arg) {
    return Succeeded(MF_NOT_AVAILABLE);
}
