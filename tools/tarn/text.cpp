// Texts and numbers as a person types them.
#include <cstdlib>

#include "cli.h"
#include "text/cp852.h"

namespace tarn::cli {

std::string ToPrinter(const std::string& utf8) {
    return Utf8ToCp852(utf8);
}

std::string FromPrinter(const std::string& cp852) {
    return Cp852ToUtf8(cp852);
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, start)) {
        parts.push_back(Trim(text.substr(start, at - start)));
        start = at + 1;
    }
    parts.push_back(Trim(text.substr(start)));
    return parts;
}

// A decimal number with a comma or a point and at most `decimals` digits after it, scaled.
static bool ParseScaled(const std::string& given, int decimals, int* out) {
    const std::string text = Trim(given);
    if (text.empty()) return false;
    long long whole = 0;
    long long fraction = 0;
    int digits = 0;
    bool inFraction = false;
    for (const char c : text) {
        if ((c == ',' || c == '.') && !inFraction) {
            inFraction = true;
        } else if (c >= '0' && c <= '9' && !inFraction && whole < 100000000) {
            whole = whole * 10 + (c - '0');
        } else if (c >= '0' && c <= '9' && inFraction && digits < decimals) {
            fraction = fraction * 10 + (c - '0');
            ++digits;
        } else {
            return false;
        }
    }
    for (; digits < decimals; ++digits) fraction *= 10;
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const long long value = whole * scale + fraction;
    if (value > 2147483647LL) return false;
    *out = static_cast<int>(value);
    return true;
}

bool ParseAmount(const std::string& text, int* grosze) {
    return ParseScaled(text, 2, grosze);
}

bool ParseQuantity(const std::string& text, int* thousandths) {
    return ParseScaled(text, 3, thousandths);
}

bool ParseWhole(const std::string& text, int lowest, int highest, int* value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *value = std::stoi(text);
    return *value >= lowest && *value <= highest;
}

}  // namespace tarn::cli
