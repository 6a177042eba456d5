#include "printer_state.h"

#include <algorithm>

namespace tarn::sim {

namespace {

// Status byte 3 carries the customer display type in its low three bits.
uint8_t DisplayBits(int displayType) {
    switch (displayType) {
        case 1: return 0x01;
        case 2: return 0x04;
        case 3: return 0x02;
        default: return 0x00;
    }
}

// Status byte 3: a closed drawer's bit is 1. Printers from type 8 have one drawer input.
uint8_t DrawerBits(const PrinterState& s) {
    if (s.model.type >= 8) return s.drawerOpen[0] ? 0x00 : 0x08;
    uint8_t bits = 0;
    for (int i = 0; i < 3; ++i) {
        if (!s.drawerOpen[i]) bits |= static_cast<uint8_t>(0x08 << i);
    }
    return bits;
}

// Status byte 0 carries the firmware version in its high nibble; a type-3 printer is the one
// that answers 1 there.
uint8_t VersionNibble(const PrinterModel& m) {
    return static_cast<uint8_t>(m.type == 3 ? 1 : (m.version & 0x0F));
}

}  // namespace

PrinterState::PrinterState(const PrinterModel& m) : model(m), display(m.displayType) {}

uint8_t PrinterState::StatusByte(int index, int64_t nowMs) const {
    uint8_t value = 0;
    switch (index) {
        case 0:
            value = static_cast<uint8_t>(0x01 | 0x02 | (fiscalised ? 0x08 : 0) |
                                         VersionNibble(model) << 4);
            break;
        case 1:
            value =
                static_cast<uint8_t>((DocumentLeftOpen() ? 0x02 : 0) | (dayMustClose ? 0x08 : 0));
            break;
        case 2:
            value = static_cast<uint8_t>((Busy(nowMs) ? 0x01 : 0) | (paperOut ? 0x02 : 0));
            break;
        case 3:
            value = static_cast<uint8_t>(DisplayBits(model.displayType) | DrawerBits(*this));
            break;
        default: return 0;
    }
    const auto at = static_cast<size_t>(index);
    return static_cast<uint8_t>((value | faultBits[at] | cancellationBits[at]) & ~clearedBits[at]);
}

void PrinterState::Printing(int lines, int64_t nowMs) {
    if (lines > 0 && model.fixedPrintMs > 0) {
        busyUntilMs = std::max(busyUntilMs, nowMs + model.fixedPrintMs);
        return;
    }
    busyUntilMs = std::max(busyUntilMs, nowMs) + static_cast<int64_t>(lines) * model.printMsPerLine;
}

CivilTime PrinterState::Clock(int64_t nowMs) const {
    const int64_t passed = (nowMs - switchedOnMs) / 1000;
    return CivilFromSeconds(SecondsFromCivil(model.clock) + passed + clockShiftSeconds);
}

void PrinterState::OpenDrawer(int drawer, int64_t nowMs) {
    if (!HasDrawer(drawer)) return;
    const auto at = static_cast<size_t>(drawer - 1);
    drawerOpen[at] = true;
    drawerClosesAtMs[at] =
        model.drawerClosesAfterMs > 0 ? nowMs + model.drawerClosesAfterMs : kNoDeadline;
}

void PrinterState::CloseDrawer(int drawer) {
    if (!HasDrawer(drawer)) return;
    const auto at = static_cast<size_t>(drawer - 1);
    drawerOpen[at] = false;
    drawerClosesAtMs[at] = kNoDeadline;
}

void PrinterState::CloseDrawersDue(int64_t nowMs) {
    for (int drawer = 1; drawer <= 3; ++drawer) {
        if (nowMs >= drawerClosesAtMs[static_cast<size_t>(drawer - 1)]) CloseDrawer(drawer);
    }
}

ReceiptSummary PrinterState::DisplaySummary() const {
    const int64_t total = receipt.Total();
    const int64_t change = receipt.Paid() - total;
    return {total, change > 0 ? change : 0};
}

}  // namespace tarn::sim
