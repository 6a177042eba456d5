#include "commands.h"
#include "handlers.h"

namespace tarn::sim {

namespace {

constexpr bool kAcked = true;
constexpr bool kUnacked = false;

const CommandEntry kCommands[] = {
    // Status bytes 0 to 5; '[' also serves identification.
    {0x5B, Shape::Fixed, 1, kAcked, nullptr, StatusByteAnswer},
    {0x54, Shape::Fixed, 1, kAcked, nullptr, StatusByteAnswer},
    {0x55, Shape::Fixed, 1, kAcked, nullptr, StatusByteAnswer},
    {0x56, Shape::Fixed, 1, kAcked, nullptr, StatusByteAnswer},
    {0x5F, Shape::Fixed, 1, kAcked, nullptr, StatusByteAnswer},
    {0xF3, Shape::Fixed, 1, kAcked, nullptr, StatusByteAnswer},
    // Identification.
    {0xFF, Shape::Fixed, 1, kAcked, nullptr, IdentifyAnswer},
    {0xF6, Shape::Fixed, 1, kAcked, AcceptExtendedIdentify, ExtendedIdentifyAnswer},
    // Shared queries and one-byte commands.
    {0x66, Shape::Fixed, 1, kAcked, nullptr, ReceiptCounterAnswer},
    {0x35, Shape::Fixed, 1, kAcked, nullptr, ClockAnswer},
    {0x71, Shape::Fixed, 1, kAcked, nullptr, SerialNumberAnswer},
    {0xD0, Shape::Fixed, 1, kAcked, nullptr, TaxRatesAnswer},
    {0x25, Shape::Fixed, 1, kAcked, AcceptDayClose, DayClose},
    {0x2A, Shape::Fixed, 1, kAcked, nullptr, StartConversation},
    {0x51, Shape::Fixed, 1, kAcked, nullptr, EndDocument},
    {0x2F, Shape::Fixed, 1, kAcked, AcceptGraphics, AnnounceLogoBackup},
    {0x2D, Shape::Fixed, 1, kAcked, AcceptGraphics, AnnounceLogoUpload},
    {0x2E, Shape::Fixed, 1, kAcked, AcceptGraphics, AnnounceFooterLine},
    // Fiscal receipt. Item lines, discounts, totals, foot lines and payments are not
    // acknowledged: the printer cancels the receipt when it cannot take them.
    {0x20, Shape::Fixed, 5, kAcked, AcceptReceiptOpening, OpenReceipt},
    {0x21, Shape::Fixed, 1, kAcked, AcceptReceiptOpening, OpenReceipt},
    {0x06, Shape::ItemLine, 50, kUnacked, nullptr, SaleLine},
    {0x18, Shape::Fixed, 6, kUnacked, nullptr, LineDiscount},
    {0x1B, Shape::Fixed, 2, kUnacked, nullptr, PercentDiscount},
    {0x19, Shape::Fixed, 6, kUnacked, nullptr, ReceiptDiscount},
    {0x07, Shape::OptionalTotal, 5, kUnacked, nullptr, SaleTotal},
    {0x09, Shape::UntilLineFeed, 0, kUnacked, nullptr, PrintFootLine},
    {0x81, Shape::Fixed, 19, kUnacked, nullptr, TakePayment},
    {0x82, Shape::Fixed, 19, kUnacked, nullptr, TakePayment},
    {0x83, Shape::Fixed, 19, kUnacked, nullptr, SecondCurrencyInfo},
    {0x84, Shape::Fixed, 17, kUnacked, nullptr, SecondCurrencyPayment},
    {0x23, Shape::Fixed, 1, kAcked, nullptr, CancelReceipt},
    {0x50, Shape::Fixed, 1, kAcked, AcceptReasonQuery, CancellationReason},
    {0x24, Shape::Fixed, 1, kAcked, AcceptReceiptEnd, EndReceipt},
    // Configuration.
    {0x44, Shape::Fixed, 5, kAcked, AcceptRatesInPercent, SetTaxRatesPercent},
    {0xD4, Shape::Fixed, 13, kAcked, AcceptRatesInHundredths, SetTaxRates},
    {0x43, Shape::Fixed, 5, kAcked, nullptr, SetPosNumbers},
    {0x36, Shape::Fixed, 4, kAcked, AcceptDayClosedChange, ShiftClock},
    // Reports (report mode from type 4, the older commands below it) and the state printout.
    {0x31, Shape::Fixed, 1, kAcked, AcceptReportMode, EnterReportMode},
    {0x28, Shape::Fixed, 13, kAcked, AcceptPeriodicReport, PeriodicReport},
    {0x29, Shape::Fixed, 13, kAcked, AcceptPeriodicReport, PeriodicReport},
    {0x26, Shape::Fixed, 1, kAcked, AcceptPrinting, StatePrintout},
    // Non-fiscal forms.
    {0x73, Shape::Form, 1, kAcked, AcceptForm, nullptr},
    // Drawers and the customer display.
    {0x57, Shape::Fixed, 1, kAcked, AcceptDrawer, OpenDrawer},
    {0x58, Shape::Fixed, 1, kAcked, AcceptDrawer, OpenDrawer},
    {0x59, Shape::Fixed, 1, kAcked, AcceptDrawer, OpenDrawer},
    {0x52, Shape::UntilEscS, 0, kAcked, nullptr, DisplayText},
    {0x80, Shape::Fixed, 1, kUnacked, nullptr, DisplaySummary},
};

}  // namespace

const CommandEntry* FindCommand(uint8_t command) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.command == command) return &entry;
    }
    return nullptr;
}

}  // namespace tarn::sim
