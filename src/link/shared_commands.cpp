#include "link/shared_commands.h"

#include <cstring>

#include "link/printer_link.h"

namespace tarn {

namespace {

void Store(int* target, int value) {
    if (target != nullptr) *target = value;
}

int TwoDigits(const uint8_t* digits) {
    return 10 * digits[0] + digits[1];
}

constexpr uint8_t kStatusCommands[] = {0x5B, 0x54, 0x55, 0x56, 0x5F, 0xF3};

}  // namespace

CRequestStatus::CRequestStatus(int index, int* status) : status_(status) {
    if (index >= 0 && index < static_cast<int>(sizeof kStatusCommands)) {
        AppendByte(kStatusCommands[index]);
    }
}

int CRequestStatus::ParseAnswer(const uint8_t* bytes, int count) {
    if (count < 1) return kCodeCommunication;
    Store(status_, bytes[0]);
    return 0;
}

CRequestPrinterType::CRequestPrinterType(uint8_t command, int* first, bool twoBytes, int* second)
    : first_(first), twoBytes_(twoBytes), second_(second) {
    AppendByte(command);
}

int CRequestPrinterType::ParseAnswer(const uint8_t* bytes, int count) {
    if (count < AnswerLength()) return kCodeCommunication;
    Store(first_, bytes[0]);
    if (twoBytes_) Store(second_, bytes[1]);
    return 0;
}

CRequestLastTicketNo::CRequestLastTicketNo(int* number) : number_(number) {
    AppendByte(0x66);
}

int CRequestLastTicketNo::ParseAnswer(const uint8_t* bytes, int count) {
    if (count < 2) return kCodeCommunication;
    Store(number_, bytes[0] + 256 * bytes[1]);
    return 0;
}

CRequestGetDate::CRequestGetDate(int* year, int* month, int* day)
    : year_(year), month_(month), day_(day) {
    AppendByte(0x35);
}

int CRequestGetDate::ParseAnswer(const uint8_t* bytes, int count) {
    if (count < 10) return kCodeCommunication;
    Store(year_, TwoDigits(bytes));
    Store(month_, TwoDigits(bytes + 2));
    Store(day_, TwoDigits(bytes + 4));
    return 0;
}

CRequestGetTime::CRequestGetTime(int* hour, int* minute) : hour_(hour), minute_(minute) {
    AppendByte(0x35);
}

int CRequestGetTime::ParseAnswer(const uint8_t* bytes, int count) {
    if (count < 10) return kCodeCommunication;
    Store(hour_, TwoDigits(bytes + 6));
    Store(minute_, TwoDigits(bytes + 8));
    return 0;
}

CRequestSerialNo::CRequestSerialNo(char* buffer) : buffer_(buffer) {
    AppendByte(0x71);
}

// A printer's serial number is 11 upper-case letters and digits ("ABC12345678"): anything else
// came from something that is no printer.
int CRequestSerialNo::ParseAnswer(const uint8_t* bytes, int count) {
    if (count < 11) return kCodeCommunication;
    for (int i = 0; i < 11; ++i) {
        const bool letter = bytes[i] >= 'A' && bytes[i] <= 'Z';
        if (!letter && (bytes[i] < '0' || bytes[i] > '9')) return kCodeCommunication;
    }
    if (buffer_ != nullptr) {
        std::memcpy(buffer_, bytes, 11);
        buffer_[11] = '\0';
    }
    return 0;
}

CRequestTaxRates::CRequestTaxRates(int* const rates[6]) {
    for (int i = 0; i < 6; ++i) rates_[i] = rates[i];
    AppendByte(0xD0);
}

// A rate is 0 to 99,99 % (9999), or marked unused by a high byte of 0xFF; the printer takes no
// other, so another answer came from something that is no printer.
int CRequestTaxRates::ParseAnswer(const uint8_t* bytes, int count) {
    constexpr int kHighestRate = 9999;
    if (count < 12) return kCodeCommunication;
    for (int i = 0; i < 6; ++i) {
        if (bytes[2 * i] != 0xFF && bytes[2 * i] * 256 + bytes[2 * i + 1] > kHighestRate)
            return kCodeCommunication;
    }
    for (int i = 0; i < 6; ++i) {
        const uint8_t high = bytes[2 * i];
        Store(rates_[i], high == 0xFF ? -1 : high * 256 + bytes[2 * i + 1]);
    }
    return 0;
}

CRequestShiftEnd::CRequestShiftEnd() {
    AppendByte(0x25);
}

CRequestOneByte::CRequestOneByte(uint8_t command, int* answer, Framing framing)
    : CRequest(framing), answer_(answer) {
    AppendByte(command);
}

int CRequestOneByte::ParseAnswer(const uint8_t* bytes, int count) {
    if (count < 1) return kCodeCommunication;
    Store(answer_, bytes[0]);
    return 0;
}

CRequestRawBlock::CRequestRawBlock(const uint8_t* bytes, int count, int* answer)
    : CRequest(Framing::Raw), answer_(answer) {
    for (int i = 0; bytes != nullptr && i < count; ++i) AppendByte(bytes[i]);
}

int CRequestRawBlock::ParseAnswer(const uint8_t* bytes, int count) {
    if (count < 1) return kCodeCommunication;
    Store(answer_, bytes[0]);
    return 0;
}

CRequestReadBlock::CRequestReadBlock(uint8_t byte, uint8_t* buffer, int* count)
    : CRequest(Framing::Raw), buffer_(buffer), count_(count) {
    AppendByte(byte);
}

int CRequestReadBlock::AnswerLength() const {
    return count_ != nullptr && *count_ > 0 ? *count_ : 0;
}

int CRequestReadBlock::ParseAnswer(const uint8_t* bytes, int count) {
    if (buffer_ != nullptr && count > 0) std::memcpy(buffer_, bytes, static_cast<size_t>(count));
    Store(count_, count);
    return 0;
}

void CRequestFormRecord::AppendHead(const char* formCode) {
    AppendByte('s');
    AppendCode(formCode);
}

void CRequestFormRecord::AppendCode(const char* code) {
    AppendText(code, 2, Align::Left, ' ');
}

void CRequestFormRecord::AppendLine(const char* code, const char* text, int width,
                                    Align alignment) {
    AppendCode(code);
    AppendText(text, width, alignment, ' ');
    AppendByte('\n');
}

void CRequestFormRecord::AppendWhole(const std::string& text) {
    for (const char c : text) AppendByte(static_cast<uint8_t>(c));
}

void CRequestFormRecord::AppendTextWhole(const std::string& text) {
    for (const char c : text) AppendByte(static_cast<uint8_t>(FieldByte(c)));
}

void CRequestFormRecord::AppendEnd() {
    AppendByte(kEsc);
    AppendByte('Q');
}

}  // namespace tarn
