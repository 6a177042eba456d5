// The printer's command set as the printer sees it: how long each command is, whether it
// is acknowledged, and what the printer does with it.
#pragma once

#include <cstdint>
#include <vector>

#include "faults.h"
#include "paper_roll.h"
#include "printer_state.h"

namespace tarn::sim {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;

// A block that arrives without ESC after an announcement the printer accepted.
enum class RawBlock { None, LogoRowRequest, LogoRowUpload, FooterLine, ReportDescription };

struct Context {
    PrinterState& state;
    PaperRoll& roll;
    Faults& faults;
    int64_t nowMs;
    uint8_t command = 0;                  // the command byte being handled
    RawBlock expectRaw = RawBlock::None;  // a handler sets it: the next bytes are a raw block
};

enum class Shape {
    Fixed,          // `length` bytes, command byte included
    ItemLine,       // 50 bytes with a sign byte (' ' or '-') after the command byte, else 49
    OptionalTotal,  // the command byte, then a 4-byte total unless the line goes quiet
    UntilLineFeed,  // up to and including a line feed
    UntilEscS,      // up to and including ESC 'S'
    Form,           // opens a form; its items follow until ESC 'Q'
};

struct CommandEntry {
    uint8_t command;
    Shape shape;
    int length;
    bool acknowledged;                             // the printer answers the head with ACK or NAK
    bool (*accept)(Context&);                      // at the head; false refuses (NAK). Null: accept
    Bytes (*handle)(Context&, const Bytes& body);  // the whole command; returns the answer
};

const CommandEntry* FindCommand(uint8_t command);

// Length of a raw block of `kind` given its first bytes.
int RawBlockLength(RawBlock kind, const Bytes& soFar);
Bytes HandleRawBlock(Context& ctx, RawBlock kind, const Bytes& block);
// A complete form record: 's', the form code and its items, without the closing ESC 'Q'.
void HandleForm(Context& ctx, const Bytes& record);

}  // namespace tarn::sim
