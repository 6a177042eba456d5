#include "link/printer_capabilities.h"

namespace tarn {

// Every type and version threshold of the library. The type is -1 until the printer is identified.
PrinterCapabilities CapabilitiesOf(int type, int version) {
    PrinterCapabilities can;
    can.settlesAfterHead = type >= 1 && type <= 3;
    can.settlesAfterAcknowledge = type <= 3;
    can.wholePercentRates = type == 1;
    can.reasonQuery = type >= 4 || (type == 3 && version >= 3);
    can.reportMode = can.paymentRecords = can.displaySummary = type >= 4;
    can.forms = type >= 5 || (type == 4 && version >= 4);
    can.shiftSettlement = type >= 5;
    can.vouchers = type >= 5 || version >= 4;
    can.lineDiscounts = can.secondCurrency = can.footer = can.logo = type >= 8;
    can.voucherLastLine = can.oneDrawer = type >= 8;
    return can;
}

}  // namespace tarn
