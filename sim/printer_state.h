// What the virtual fiscal printer keeps: its model, fiscal day and fiscal memory, documents,
// the receipt, paper, clock, tax table, drawers, display, footer and logo.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "calendar.h"
#include "customer_display.h"
#include "fiscal_memory.h"
#include "receipt.h"

namespace tarn::sim {

constexpr int64_t kNoDeadline = std::numeric_limits<int64_t>::max();

struct PrinterModel {
    int type = 8;  // printer family as the library distinguishes it: 1, 2, 3, 4, 8 or 10
    int version = 2;
    int displayType = 3;                       // customer display: 0 none, 1, 2 or 3
    std::string serialNumber = "TRN26000001";  // exactly 11 characters on the wire
    CivilTime clock{2026, 12, 6, 10, 0, 0};    // the clock when the printer is switched on
    int printMsPerLine = 25;                   // the printer reports busy while it prints
    // Above 0: a command that prints keeps the printer busy this long, however much it prints.
    int fixedPrintMs = 0;
    // The virtual cashier closes an open drawer after this long; 0 leaves it open.
    int64_t drawerClosesAfterMs = 3000;

    // Type 3 from version 3 and every later family answer 'P' with the reason of a
    // cancellation; older printers show it in the status bytes.
    bool NamesCancellationReasons() const { return type > 3 || (type == 3 && version >= 3); }
};

struct PrinterState {
    explicit PrinterState(const PrinterModel& m);

    PrinterModel model;
    // The printer's clock: the model's clock, plus time passed, plus shifts made with '6'.
    int64_t clockShiftSeconds = 0;
    int64_t switchedOnMs = 0;

    bool fiscalised = true;
    int receiptsToday = 0;                  // 0 while the fiscal day is closed
    FiscalDay day;                          // the day's sales, summed at every ended receipt
    int dailyReports = 0;                   // the number of the last daily report
    std::vector<DailyRecord> fiscalMemory;  // one record per daily report, oldest first
    bool dayMustClose = false;  // the printer asks for the daily report (status byte 1, 0x08)
    bool receiptOpen = false;
    // A receipt opened since the application last announced itself with '*' is in progress.
    // Any other open document (one the printer still held when '*' came, or a form) counts
    // as left open: status byte 1 bit 0x02, until 'Q' or '#' ends it or, for a receipt, the
    // application carries on with it (its next record).
    bool receiptInProgress = false;
    Receipt receipt;  // the open receipt, or the last one until the next opening
    std::optional<Receipt> lastEndedReceipt;
    char cancellationReason = 0;  // why the last receipt was cancelled; 0 for none
    // Printers that name no reason keep these status bits until the next opening.
    std::array<uint8_t, 4> cancellationBits{};
    int posNumber = -1;  // point of sale and cashier, given with 'C'; -1 until then
    int cashierNumber = -1;
    bool formOpen = false;
    std::string formCode;
    bool reportMode = false;
    bool paperOut = false;
    int64_t busyUntilMs = 0;
    std::array<uint8_t, 4> faultBits{};  // extra status bits a test sets (faults)
    // Status bits a fault takes away: byte 0 without 0x01 is a printer not initialised.
    std::array<uint8_t, 4> clearedBits{};
    std::array<bool, 3> drawerOpen{};
    std::array<int64_t, 3> drawerClosesAtMs{kNoDeadline, kNoDeadline, kNoDeadline};
    std::array<int, 6> taxRates{2300, 800, 500, 0, -1, -1};  // hundredths of a percent, -1 unused
    std::array<std::string, 3> footer;
    std::array<std::array<uint8_t, 24>, 64> logo{};
    CustomerDisplay display;

    uint8_t StatusByte(int index, int64_t nowMs) const;
    bool Busy(int64_t nowMs) const { return nowMs < busyUntilMs; }
    // Starts printing `lines` lines: busy until they are out (or for the fixed print time).
    void Printing(int lines, int64_t nowMs);
    CivilTime Clock(int64_t nowMs) const;
    bool DocumentOpen() const { return receiptOpen || formOpen; }
    bool DocumentLeftOpen() const { return formOpen || (receiptOpen && !receiptInProgress); }
    // Drawers 1 to 3 below type 8; from type 8 one drawer, 1.
    int Drawers() const { return model.type >= 8 ? 1 : 3; }
    bool HasDrawer(int drawer) const { return drawer >= 1 && drawer <= Drawers(); }
    void OpenDrawer(int drawer, int64_t nowMs);
    void CloseDrawer(int drawer);
    // The cashier closes the drawers whose time is up.
    void CloseDrawersDue(int64_t nowMs);
    // The receipt the display sums up: the open one, or the last one.
    ReceiptSummary DisplaySummary() const;
};

}  // namespace tarn::sim
