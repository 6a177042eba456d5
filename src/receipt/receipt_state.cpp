#include "receipt/receipt_state.h"

#include <cstdio>
#include <cstring>

#include "text/field_text.h"

namespace tarn {

namespace {

constexpr size_t kNameWidth = ReceiptState::kNameWidth;
constexpr int kAllowedNeeded = 10;

// Letters and digits, comma and full stop.
bool Allowed(char c) {
    return IsLetterOrDigit(c) || c == ',' || c == '.';
}

int CountAllowed(const std::string& name) {
    int count = 0;
    for (const char c : name) count += Allowed(c);
    return count;
}

}  // namespace

bool IsLetterOrDigit(char c) {
    static const char kPolish[] =
        "\xA5\x86\xA9\x88\xE4\xA2\x98\xAB\xBE\xA4\x8F\xA8\x9D\xE3\xE0\x97\x8D\xBD";
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return byte >= 0x80 && std::strchr(kPolish, c) != nullptr;
}

void ReceiptState::Reset(int64_t declaredTotal, bool declared, int lastNumber) {
    totalDeclared = declared;
    numberBefore = lastNumber;
    total = declared ? declaredTotal : 0;
    lastLineName[0] = '\0';
    lastLineValue = 0;
    lastLinePtu = ' ';
    ptuLinesTotal = 0;
    saleLines = 0;
    closing = ClosingStage::NotBegun;
}

// The name is compared as it was kept.
bool ReceiptState::IsLastLine(const char* name, char letter, int64_t value) const {
    return GivenName(name) == lastLineName && letter == lastLinePtu && value == lastLineValue;
}

void ReceiptState::EndDiscounts() {
    lastLineValue = 0;
    lastLinePtu = ' ';
}

int64_t LineValue(int32_t price, int32_t quantity, int32_t value) {
    if (value >= 1) return value;
    return (static_cast<int64_t>(price) * quantity + 500) / 1000;
}

std::string GivenName(const char* name) {
    return FieldText(name, kNameWidth);
}

// A name past its field is cut to it: reading only the field's bytes gives the same name.
std::string FixUpName(const char* given) {
    std::string name = GivenName(given);
    while (name.size() < static_cast<size_t>(kAllowedNeeded)) name += '.';
    for (int missing = kAllowedNeeded - CountAllowed(name); missing > 0; --missing) {
        if (name.size() < kNameWidth) {
            name += '.';
            continue;
        }
        for (char& c : name) {
            if (!Allowed(c)) {
                c = '.';
                break;
            }
        }
    }
    return name;
}

}  // namespace tarn
