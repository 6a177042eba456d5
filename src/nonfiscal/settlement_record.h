// The shift settlement's form record ("33"), built from the kept figures. It carries its own
// ESC, so it goes out as a raw block.
#pragma once

#include <string>

#include "nonfiscal/nonfiscal_state.h"

namespace tarn {

// The whole record, ESC 's' to ESC 'Q', never longer than a command body holds: payment-form
// rows that would not fit are left out (and logged).
std::string ShiftSettlementRecord(const ShiftSettlement& settlement);

}  // namespace tarn
