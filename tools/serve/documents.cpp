// The documents a till prints through the service, each a job on the same road.
#include "serve.h"

namespace tarn::serve {

namespace {

constexpr const char* kLookAtTheRoll =
    "look at the roll: print it again (with a new key) only if it is not there";

}  // namespace

const std::vector<Document>& Documents() {
    static const std::vector<Document> documents = {
        {"receipt", "receipts", CheckReceipt, Settling::ByReceiptCount, ""},
        {"pay_in", "pay-ins", CheckPayIn, Settling::CannotTell, kLookAtTheRoll},
        {"pay_out", "pay-outs", CheckPayOut, Settling::CannotTell, kLookAtTheRoll},
        {"daily_report", "daily-reports", CheckDailyReport, Settling::ByDayClose, ""},
        {"periodic_report", "periodic-reports", CheckPeriodicReport, Settling::CannotTell,
         "look at the roll: print the report again (with a new key) if it is not there; a "
         "periodic report records nothing, a second copy is harmless"},
        {"drawer", "drawer", CheckDrawer, Settling::CannotTell,
         "see whether the drawer opened; opening it again (with a new key) is harmless"},
        {"display", "display", CheckDisplay, Settling::CannotTell,
         "look at the display; showing the text again (with a new key) is harmless"},
        {"card_slip", "card-slips", CheckCardSlip, Settling::CannotTell, kLookAtTheRoll},
    };
    return documents;
}

const Document* FindDocument(const std::string& kind) {
    for (const Document& document : Documents()) {
        if (kind == document.kind || kind == document.path) return &document;
    }
    return nullptr;
}

}  // namespace tarn::serve
