// What became of a receipt whose end went out without the printer's answer.
#pragma once

namespace tarn {

struct Session;

struct EndFate {
    enum Kind {
        Ended,      // the printer's count of the day's receipts grew by this one
        Standing,   // not ended, and the printer names no cancellation: it holds the receipt
        Cancelled,  // the printer cancelled it: mfErrorL holds the reason's code
        Unknown,    // the printer could not be asked
    } kind;
    int number;  // the printer's number of the day's last receipt, -1 when not read
};

// Asks the printer for its number of the day's last receipt and whether it cancelled the open
// one. The detail code is left as it was, but for a cancellation.
[[nodiscard]] EndFate AskWhatBecameOfTheEnd(Session& lib);

}  // namespace tarn
