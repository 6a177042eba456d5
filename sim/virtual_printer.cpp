#include "virtual_printer.h"

#include "handlers.h"

namespace tarn::sim {

namespace {
// The reason the printer names for a receipt it lost with the power: none of its own checks.
constexpr char kPowerLossReason = 'Z';
}  // namespace

VirtualPrinter::VirtualPrinter(const PrinterModel& model, int64_t switchedOnMs)
    : state_(model), engine_(state_, roll_, faults_) {
    state_.switchedOnMs = switchedOnMs;
}

void VirtualPrinter::Receive(uint8_t byte, int64_t nowMs) {
    if (faults_.unplugged) return;
    if (wireListener_) wireListener_(true, byte);
    engine_.Receive(byte, nowMs);
}

void VirtualPrinter::Receive(const uint8_t* bytes, int count, int64_t nowMs) {
    for (int i = 0; i < count; ++i) Receive(bytes[i], nowMs);
}

void VirtualPrinter::LosePower(int64_t nowMs, int64_t downMs) {
    if (ReceiptOpen()) CancelReceiptWith(kPowerLossReason);
    engine_.Restart();
    faults_.deafUntilMs = nowMs + downMs;
}

void VirtualPrinter::CancelReceiptWith(char reason) {
    CancelOpenReceipt(state_, roll_, reason);
}

void VirtualPrinter::OpenDrawer(int drawer) {
    if (!state_.HasDrawer(drawer)) return;
    state_.drawerOpen[static_cast<size_t>(drawer - 1)] = true;
    state_.drawerClosesAtMs[static_cast<size_t>(drawer - 1)] = kNoDeadline;
}

bool VirtualPrinter::DrawerOpen(int drawer) const {
    return state_.HasDrawer(drawer) && state_.drawerOpen[static_cast<size_t>(drawer - 1)];
}

uint8_t VirtualPrinter::TakeOutput() {
    const uint8_t byte = engine_.Output().front();
    engine_.Output().pop_front();
    if (wireListener_) wireListener_(false, byte);
    return byte;
}

}  // namespace tarn::sim
