#include "text/formatting.h"

namespace tarn {

std::string IntToText(int64_t value) {
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return negative ? "-" + digits : digits;
}

std::string AmountToText(int64_t value, int decimals) {
    std::string text = IntToText(value);
    if (decimals <= 0) return text;
    const size_t sign = text[0] == '-' ? 1 : 0;
    const size_t wanted = static_cast<size_t>(decimals) + 1;
    if (text.size() - sign < wanted) text.insert(sign, wanted - (text.size() - sign), '0');
    text.insert(text.size() - static_cast<size_t>(decimals), 1, ',');
    return text;
}

std::string GroupThousands(const std::string& text) {
    const size_t comma = text.rfind(',');
    const size_t wholeEnd = comma == std::string::npos ? text.size() : comma;
    std::string out = text;
    for (size_t end = wholeEnd; end > 3; end -= 3) out.insert(end - 3, 1, '.');
    return out;
}

std::string PadText(const std::string& text, int width, Align alignment) {
    if (width <= static_cast<int>(text.size())) return text;
    const size_t fill = static_cast<size_t>(width) - text.size();
    size_t before = 0;
    if (alignment == Align::Right) before = fill;
    if (alignment == Align::Centre) before = fill / 2;
    return std::string(before, ' ') + text + std::string(fill - before, ' ');
}

// Greedy scan; on a mismatch after a '*' the match restarts one character further.
bool MatchMask(const char* mask, const char* text) {
    const char* m = mask != nullptr ? mask : "";
    const char* t = text != nullptr ? text : "";
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*t != '\0') {
        if (*m == '*') {
            star = m++;
            resume = t;
        } else if (*m == '?' || *m == *t) {
            ++m;
            ++t;
        } else if (star != nullptr) {
            m = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (*m == '*') ++m;
    return *m == '\0';
}

// Eighteen places are held; a number with a non-zero digit past them reads as 10^18 (with its
// sign): no amount field takes it, and a few of them still add up without overflow.
int64_t ReadDigits(const std::string& text) {
    constexpr int kMostPlaces = 18;
    constexpr int64_t kTooLong = 1000000000000000000;
    int64_t value = 0;
    int64_t place = 1;
    int places = 0;
    for (size_t i = text.size(); i-- > 0;) {
        const char c = text[i];
        if (c == ',' || c == '.') continue;
        if (c == '-' && i == 0) return -value;
        const int digit = c >= '0' && c <= '9' ? c - '0' : 0;
        if (places++ >= kMostPlaces) {
            if (digit != 0) value = kTooLong;
            continue;
        }
        value += digit * place;
        place *= 10;
    }
    return value;
}

std::string PrintedAmount(int64_t grosze) {
    const uint64_t magnitude =
        grosze < 0 ? 0 - static_cast<uint64_t>(grosze) : static_cast<uint64_t>(grosze);
    const std::string whole = IntToText(static_cast<int64_t>(magnitude / 100));
    const int64_t cents = static_cast<int64_t>(magnitude % 100);
    return GroupThousands(whole) + "," + (cents < 10 ? "0" : "") + IntToText(cents);
}

std::string LabelAndAmount(const std::string& label, const std::string& amount, int width) {
    const int room = width - static_cast<int>(amount.size());
    if (room <= 0) return amount;
    std::string cut = label.substr(0, static_cast<size_t>(room));
    return PadText(cut, room, Align::Left) + amount;
}

}  // namespace tarn
