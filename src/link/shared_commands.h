// Commands shared by several families: status bytes, identification, the receipt counter, the
// clock, the serial number, the tax rates, the day close, the one-byte and raw-block commands and
// the form record. Every parser leaves its outputs untouched when the answer is short.
#pragma once

#include <cstdint>
#include <string>

#include "link/request.h"

namespace tarn {

// Status byte `index` (0-5: '[', 'T', 'U', 'V', '_', 0xF3). An index outside 0-5 gives an
// empty body, which is not sent at all.
class CRequestStatus : public CRequest {
public:
    CRequestStatus(int index, int* status);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return 1; }

private:
    int* status_;
};

// Identification queries (0xFF, 0xF6, '['): one answer byte, or two with `twoBytes`.
class CRequestPrinterType : public CRequest {
public:
    CRequestPrinterType(uint8_t command, int* first, bool twoBytes, int* second);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return twoBytes_ ? 2 : 1; }

private:
    int* first_;
    bool twoBytes_;
    int* second_;
};

// 'f': the number of the last receipt of the fiscal day, 0 when the day is closed.
class CRequestLastTicketNo : public CRequest {
public:
    explicit CRequestLastTicketNo(int* number);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return 2; }

private:
    int* number_;
};

// '5': the clock as ten decimal digits, one per byte (values 0-9, not characters); the first
// six are the year's last two digits, the month and the day.
class CRequestGetDate : public CRequest {
public:
    CRequestGetDate(int* year, int* month, int* day);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return 10; }

private:
    int* year_;
    int* month_;
    int* day_;
};

class CRequestGetTime : public CRequest {
public:
    CRequestGetTime(int* hour, int* minute);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return 10; }

private:
    int* hour_;
    int* minute_;
};

// 'q': 11 characters of serial number, upper-case letters and digits; the buffer takes them and a
// terminating zero.
class CRequestSerialNo : public CRequest {
public:
    explicit CRequestSerialNo(char* buffer);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return 11; }

private:
    char* buffer_;
};

// 0xD0: six 16-bit rates, high byte first, at most 9999; a high byte of 0xFF reads as -1.
class CRequestTaxRates : public CRequest {
public:
    explicit CRequestTaxRates(int* const rates[6]);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return 12; }

private:
    int* rates_[6];
};

// '%': closes the fiscal day (the printer prints the daily report).
class CRequestShiftEnd : public CRequest {
public:
    CRequestShiftEnd();
};

// A one-byte command whose single answer byte is kept.
class CRequestOneByte : public CRequest {
public:
    CRequestOneByte(uint8_t command, int* answer, Framing framing = Framing::Acknowledged);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return 1; }

private:
    int* answer_;
};

// A one-byte command, not acknowledged, whose answer is only looked at: a printer that answers
// nothing has not failed the exchange, and *answer keeps its value.
class CRequestOneByteMaybeAnswered : public CRequestOneByte {
public:
    CRequestOneByteMaybeAnswered(uint8_t command, int* answer)
        : CRequestOneByte(command, answer, Framing::Unacknowledged) {}
    int ParseAnswer(const uint8_t* bytes, int count) override {
        return count < 1 ? 0 : CRequestOneByte::ParseAnswer(bytes, count);
    }
};

// The caller's bytes unchanged and unframed, answered by one byte.
class CRequestRawBlock : public CRequest {
public:
    CRequestRawBlock(const uint8_t* bytes, int count, int* answer);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override { return 1; }

private:
    int* answer_;
};

// A raw block whose answer is only looked at: a printer that answers nothing has not failed
// the exchange, and *answer keeps its value.
class CRequestRawBlockMaybeAnswered : public CRequestRawBlock {
public:
    using CRequestRawBlock::CRequestRawBlock;
    int ParseAnswer(const uint8_t* bytes, int count) override {
        return count < 1 ? 0 : CRequestRawBlock::ParseAnswer(bytes, count);
    }
};

// One byte out, unframed; as many bytes back as *count says at the time of the exchange. Every byte
// that came is copied to the buffer and their number stored in *count (0 when none came: the
// caller decides what a short answer means).
class CRequestReadBlock : public CRequest {
public:
    CRequestReadBlock(uint8_t byte, uint8_t* buffer, int* count);
    int ParseAnswer(const uint8_t* bytes, int count) override;
    int AnswerLength() const override;

private:
    uint8_t* buffer_;
    int* count_;
};

// The printer's form record, the one command of every non-fiscal document and card slip: 's',
// a two-digit form code, items (a two-digit line code, a fixed-width text field and LF where the
// line has data) and the closing ESC 'Q'.
class CRequestFormRecord : public CRequest {
protected:
    // A complete record is acknowledged; the first piece of a record sent in pieces is not, and
    // the later pieces go raw.
    using CRequest::CRequest;
    // 's' and the form code.
    void AppendHead(const char* formCode);
    // A line code alone: the form prints a line that needs no data.
    void AppendCode(const char* code);
    // A line code, the text cut or padded with spaces to `width`, and LF.
    void AppendLine(const char* code, const char* text, int width, Align alignment);
    void AppendLine(const char* code, const std::string& text, int width, Align alignment) {
        AppendLine(code, text.c_str(), width, alignment);
    }
    // The text as it is, whatever its length (the command is not sent when it does not fit).
    void AppendWhole(const std::string& text);
    // An application's text whole, with ESC and LF printed as spaces.
    void AppendTextWhole(const std::string& text);
    // ESC 'Q'.
    void AppendEnd();
};

}  // namespace tarn
