// What a printer can do and how it wants to be paced, decided from its type and version as the
// start identifies it: the families and the link ask these, never the type.
#pragma once

namespace tarn {

struct PrinterCapabilities {
    bool settlesAfterHead = false;  // a pause between a command's first two bytes and the rest
    bool settlesAfterAcknowledge = true;  // pauses after the acknowledge and between commands
    bool wholePercentRates = false;
    bool reasonQuery = false;     // tells the reason of its last refusal
    bool reportMode = false;      // periodic reports through the report mode, also by numbers
    bool paymentRecords = false;  // the closing's payments as records, not as printed lines
    bool displaySummary = false;  // the customer display's summary is the printer's own
    bool forms = false;           // orders and returns
    bool shiftSettlement = false;
    bool vouchers = false;
    bool lineDiscounts = false;  // discounts and markups on a receipt line
    bool secondCurrency = false;
    bool footer = false;
    bool logo = false;
    bool voucherLastLine = false;  // the voucher's fifteenth or sixteenth text on a line of its own
    bool oneDrawer = false;        // one drawer input, whichever drawer is asked for
};

PrinterCapabilities CapabilitiesOf(int type, int version);

}  // namespace tarn
