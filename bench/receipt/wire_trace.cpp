#include "wire_trace.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace tarn::bench {

namespace {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kNak = 0x15;
const char kMarkerStart[] = "## ";

struct Block {
    bool toPrinter;
    std::vector<uint8_t> bytes;
};

// How the library sends each command of the sale: whether it waits for an acknowledge after
// the head, and whether fields follow the head. '*' is answered in place of an acknowledge;
// the sale total (0x07) always carries the total, which a sale of undeclared total has.
struct Shape {
    uint8_t command;
    bool acknowledged;
    bool hasFields;
};

constexpr Shape kShapes[] = {
    {0xFF, true, false}, {0xF6, true, false}, {0x5B, true, false}, {0x54, true, false},
    {0x55, true, false}, {0x56, true, false}, {0x66, true, false}, {0x2A, false, false},
    {0x43, true, true},  {0x20, true, true},  {0x21, true, false}, {0x06, false, true},
    {0x18, false, true}, {0x07, false, true}, {0x09, false, true}, {0x81, false, true},
    {0x82, false, true}, {0x50, true, false}, {0x24, true, false}, {0x1B, false, true},
};

const Shape* FindShape(uint8_t command) {
    for (const Shape& shape : kShapes) {
        if (shape.command == command) return &shape;
    }
    return nullptr;
}

// "2026.12.06 10:00:00.125 COM1 >> 1B 66" or "... << (nothing)".
bool ReadBlock(const std::string& line, Block* block) {
    size_t at = line.find(" >> ");
    block->toPrinter = at != std::string::npos;
    if (!block->toPrinter) at = line.find(" << ");
    if (at == std::string::npos) return false;
    block->bytes.clear();
    std::istringstream hex(line.substr(at + 4));
    std::string token;
    while (hex >> token && token != "(nothing)") {
        block->bytes.push_back(static_cast<uint8_t>(std::strtoul(token.c_str(), nullptr, 16)));
    }
    return true;
}

class ExchangeReader {
public:
    explicit ExchangeReader(const std::vector<Block>& blocks) : blocks_(blocks) {}

    bool Read(std::vector<Exchange>* exchanges, std::string* error) {
        while (next_ < blocks_.size()) {
            Exchange exchange;
            if (!ReadOne(&exchange, error)) return false;
            exchanges->push_back(exchange);
        }
        return true;
    }

private:
    // Head, acknowledge (a refusal ends the exchange there), fields, answer.
    bool ReadOne(Exchange* e, std::string* error) {
        if (!ReadHead(e, error)) return false;
        if (e->acknowledged) {
            const Block* ack = Take(false);
            if (ack == nullptr || ack->bytes.size() != 1) {
                return Fail("no acknowledge", error, e->command);
            }
            e->refused = ack->bytes[0] == kNak;
            if (e->refused) return true;
        }
        if (e->hasFields) {
            const Block* rest = Take(true);
            if (rest == nullptr) return Fail("a frame without its fields", error, e->command);
            e->restBytes = static_cast<int>(rest->bytes.size());
        }
        if (const Block* answer = Take(false)) {
            e->answerBytes = static_cast<int>(answer->bytes.size());
        }
        return true;
    }

    bool ReadHead(Exchange* e, std::string* error) {
        const Block& head = blocks_[next_++];
        if (!head.toPrinter || head.bytes.size() < 2 || head.bytes[0] != kEsc) {
            return Fail("a block where a command head belongs", error);
        }
        const Shape* shape = FindShape(head.bytes[1]);
        if (shape == nullptr) return Fail("a command the sale does not send", error, head.bytes[1]);
        e->command = shape->command;
        e->headBytes = static_cast<int>(head.bytes.size());
        e->acknowledged = shape->acknowledged;
        e->hasFields = shape->hasFields;
        return true;
    }

    const Block* Take(bool toPrinter) {
        if (next_ >= blocks_.size() || blocks_[next_].toPrinter != toPrinter) return nullptr;
        return &blocks_[next_++];
    }

    static bool Fail(const char* what, std::string* error, int command = -1) {
        char text[96];
        std::snprintf(text, sizeof text, command < 0 ? "%s" : "%s (command 0x%02X)", what, command);
        *error = text;
        return false;
    }

    const std::vector<Block>& blocks_;
    size_t next_ = 0;
};

}  // namespace

std::string CallMarker(const std::string& name) {
    return kMarkerStart + name;
}

bool ReadTrace(const std::string& text, std::vector<TracedCall>* calls, std::string* error) {
    std::vector<std::vector<Block>> blocks;
    std::istringstream lines(text);
    std::string line;
    Block block;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();  // written on Windows
        if (line.rfind(kMarkerStart, 0) == 0) {
            calls->push_back({line.substr(sizeof kMarkerStart - 1), {}});
            blocks.emplace_back();
        } else if (ReadBlock(line, &block)) {
            if (calls->empty()) {
                *error = "wire traffic before the first call";
                return false;
            }
            blocks.back().push_back(block);
        }
    }
    for (size_t i = 0; i < calls->size(); ++i) {
        ExchangeReader reader(blocks[i]);
        if (!reader.Read(&(*calls)[i].exchanges, error)) {
            *error = (*calls)[i].name + ": " + *error;
            return false;
        }
    }
    return true;
}

}  // namespace tarn::bench
