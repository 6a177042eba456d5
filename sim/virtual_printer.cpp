#include "virtual_printer.h"

#include "handlers.h"

namespace tarn::sim {

VirtualPrinter::VirtualPrinter(const PrinterModel& model, int64_t switchedOnMs)
    : state_(model), engine_(state_, roll_, faults_) {
    state_.switchedOnMs = switchedOnMs;
}

void VirtualPrinter::Receive(const uint8_t* bytes, int count, int64_t nowMs) {
    for (int i = 0; i < count; ++i) engine_.Receive(bytes[i], nowMs);
}

void VirtualPrinter::CancelReceiptWith(char reason) {
    CancelOpenReceipt(state_, roll_, reason);
}

uint8_t VirtualPrinter::TakeOutput() {
    const uint8_t byte = engine_.Output().front();
    engine_.Output().pop_front();
    return byte;
}

}  // namespace tarn::sim
