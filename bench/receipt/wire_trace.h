// The library's wire trace (TARN_TRACE), read back as the exchanges of each call of the sale.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarn::bench {

// One exchange as the library makes it: the head (ESC and the command byte), the printer's
// acknowledge, the rest of the frame, the answer. Counts are bytes on the wire.
struct Exchange {
    uint8_t command = 0;
    int headBytes = 0;
    bool acknowledged = false;  // the library waited for an acknowledge
    bool refused = false;       // and the printer answered NAK
    bool hasFields = false;     // the frame is longer than its head
    int restBytes = 0;
    int answerBytes = 0;
};

struct TracedCall {
    std::string name;
    std::vector<Exchange> exchanges;
};

// The line the benchmark appends to the trace before it makes call `name`.
std::string CallMarker(const std::string& name);

// Groups a trace into calls and exchanges. False with *error when the trace holds a block
// before the first marker, a command the sale does not send, or an exchange cut short.
bool ReadTrace(const std::string& text, std::vector<TracedCall>* calls, std::string* error);

}  // namespace tarn::bench
