// What the virtual printer keeps across runs (tarn-sim --state FILE): the fiscal memory and the
// open day's sums, the receipt and report counters, the clock's shift, the tax rates, the footer,
// the point-of-sale and cashier numbers and the logo. The file is text, one item a line, closed
// by a checksum of everything before it; it is written whole (a temporary file renamed over it)
// and read whole: a damaged or foreign file changes nothing.
#pragma once

#include <string>

#include "printer_state.h"

namespace tarn::sim {

std::string StateText(const PrinterState& state);
// Takes the kept items from `text` into *state; false with *error set (naming the line) when
// the text is not a whole, undamaged state of this format, and then *state is untouched.
bool ReadStateText(const std::string& text, PrinterState* state, std::string* error);

// The file's own errors name the file. Writing goes through "FILE.tmp".
bool SaveState(const PrinterState& state, const std::string& path, std::string* error);
bool WriteStateFile(const std::string& text, const std::string& path, std::string* error);
bool LoadState(const std::string& path, PrinterState* state, std::string* error);

}  // namespace tarn::sim
