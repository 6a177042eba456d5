// What the web panel shows of the virtual printer, as JSON, and the wire trace it keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "virtual_printer.h"

namespace tarn::web {

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& utf8);
// The paper roll's lines from line `from` on, as a JSON array of UTF-8 strings.
std::string RollJson(const sim::VirtualPrinter& printer, size_t from);
// Everything but the roll and the trace: "printer", "display", "drawers", "status", "faults"
// and "counters", as the members of a JSON object (without its braces).
std::string StateMembersJson(const sim::VirtualPrinter& printer, int64_t nowMs);

// The last exchanges on the cable: bytes in one direction that follow each other within a
// short gap make one entry.
class WireTrace {
public:
    static constexpr size_t kEntries = 40;
    static constexpr int kBytesShown = 64;
    static constexpr int64_t kGapMs = 20;

    // `clock` is read only when the byte starts an entry.
    void Add(bool toPrinter, uint8_t byte, int64_t monotonicMs, std::string (*clock)());
    // [{"dir":"in"|"out","at":"HH:MM:SS.mmm","bytes":N,"hex":"1B 2A"}, ...], oldest first;
    // "in" is what the printer took from the host.
    std::string Json() const;

private:
    struct Entry {
        bool toPrinter;
        std::string at;
        std::string hex;
        int count;
        int64_t lastMs;
    };
    std::deque<Entry> entries_;
};

}  // namespace tarn::web
