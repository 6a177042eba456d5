// The base of every printer command: a body of at most 1023 bytes (the command byte
// first, then its fields) and how the answer is read back.
#pragma once

#include <cstdint>

#include "link/detail_codes.h"
#include "text/align.h"

namespace tarn {

// How a command travels to the printer.
enum class Framing {
    Acknowledged,    // ESC and the body; the printer acknowledges the head before the rest goes
    Unacknowledged,  // ESC and the body; no acknowledge, only the answer if there is one
    Raw,             // the body alone, no acknowledge: a later piece of a record sent in pieces
};

class CRequest {
public:
    static constexpr int kBodySize = 1024;  // the body holds at most kBodySize - 1 bytes

    explicit CRequest(Framing framing = Framing::Acknowledged) : framing_(framing) {}
    virtual ~CRequest() = default;
    // Takes the answer; returns 0, or a detail code (514) when it is too short to use, in
    // which case nothing has been written through the command's pointers.
    virtual int ParseAnswer(const uint8_t* bytes, int count);
    // Answer bytes to read after the command; 0 for none.
    virtual int AnswerLength() const { return 0; }

    Framing Framed() const { return framing_; }
    const uint8_t* Body() const { return body_; }
    int Length() const { return length_; }
    // A field did not fit: the command must not be sent at all.
    bool Overflowed() const { return overflowed_; }

protected:
    void AppendByte(uint8_t byte);
    // A field of exactly `width` bytes: the text cut to the width, padded with `pad` as
    // `alignment` says. A null text is an empty one.
    void AppendText(const char* text, int width, Align alignment, uint8_t pad);
    // Little-endian, least significant byte first.
    void AppendInt32(int32_t value);

private:
    Framing framing_;
    uint8_t body_[kBodySize] = {};
    int length_ = 0;
    bool overflowed_ = false;
};

// An application's text inside a field: ESC would start another command at the printer and LF
// would end the field early, so each becomes a space. Every other byte goes as given.
inline char FieldByte(char c) {
    return c == 0x1B || c == '\n' ? ' ' : c;
}

}  // namespace tarn
