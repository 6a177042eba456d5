// The library's own record of the open receipt, beside the printer's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarn {

// How far the closing of the open receipt got on the printer.
enum class ClosingStage {
    NotBegun,    // nothing of it reached the printer
    Begun,       // some of its steps reached the printer, and a later one failed
    AtEnd,       // every step before the end went through; the printer did not end the receipt
    EndUnknown,  // the end went out and the printer could not be asked whether it ended it
};

struct ReceiptState {
    static constexpr int kLastNameSize = 43;
    // The item name's field on the receipt: the name is read no further, and a later line of
    // the same printed name is the same line.
    static constexpr size_t kNameWidth = 28;

    int64_t total = 0;  // the declared total, or the running total of the lines
    bool totalDeclared = false;
    char lastLineName[kLastNameSize] = {};  // the last sale line's name as given, its field's bytes
    int64_t lastLineValue = 0;
    char lastLinePtu = ' ';
    int64_t ptuLinesTotal = 0;  // receipt-wide discounts entered as "PTU" lines
    // The printer's number of the day's last receipt when this one opened; -1 when unknown.
    int numberBefore = -1;
    // Sale lines the printer took.
    int saleLines = 0;
    ClosingStage closing = ClosingStage::NotBegun;

    void Reset(int64_t declaredTotal, bool declared, int lastNumber);
    // Whether a line of this name (as the caller gave it), letter and value is the last sale line.
    bool IsLastLine(const char* name, char letter, int64_t value) const;
    // The last sale line takes no more discounts: it keeps its name, so a discount on it is not
    // carried out (1) rather than taken for another line's (-3), but no letter and no value.
    void EndDiscounts();
};

// Letters a-z and A-Z with the Polish ones (code page 852), and digits.
bool IsLetterOrDigit(char c);
// A line's value: `value` when it is 1 or more, else (price × quantity + 500) / 1000.
int64_t LineValue(int32_t price, int32_t quantity, int32_t value);
// An item name as the caller gave it, read as far as its field on the receipt.
std::string GivenName(const char* name);
// The item name as the printer takes it: at least 10 characters from the allowed set, at most
// 28 characters.
std::string FixUpName(const char* given);

}  // namespace tarn
