// What the virtual printer keeps across runs (tarn-sim --state FILE): the fiscal memory and the
// open day's sums, the receipt and report counters, the clock's shift, the tax rates, the footer,
// the point-of-sale and cashier numbers and the logo. The file is text, one item a line, closed
// by a checksum of everything before it; it is written whole (a temporary file renamed over it)
// and read whole: a damaged or foreign file, or one whose records disagree, changes nothing.
#pragma once

#include <string>

#include "printer_state.h"

namespace tarn::sim {

std::string StateText(const PrinterState& state);
// Takes the kept items from `text` into *state; false with *error set (naming the line, or the
// records that disagree) when the text is not a whole, undamaged state of this format, and then
// *state is untouched.
bool ReadStateText(const std::string& text, PrinterState* state, std::string* error);

// The state file of one running printer, locked for as long as this object lives: a second
// printer on the same file is refused. Through a symbolic link it is the file the link names
// that is read, written and locked; the link stays. Written through "FILE.tmp".
class StateFile {
public:
    StateFile() = default;
    ~StateFile();
    StateFile(const StateFile&) = delete;
    StateFile& operator=(const StateFile&) = delete;

    // Takes the file at `path`: reads the state it holds into *state or, when there is none yet,
    // makes it from *state. False with *error set (naming the file) when another printer holds
    // it or it is damaged or foreign (then it is left as it was and *state untouched).
    bool Open(const std::string& path, PrinterState* state, std::string* error);
    // Replaces what the file holds with `text`.
    bool Write(const std::string& text, std::string* error);

private:
    bool Resolve(const std::string& path, std::string* error);
    bool Lock(bool* made, std::string* error);

    std::string shown_;  // the name as given, for messages
    std::string path_;   // the file itself
    int fd_ = -1;        // the file at path_, locked
};

}  // namespace tarn::sim
