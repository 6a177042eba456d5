#include "cardslip/slip_text.h"

namespace tarn {

namespace {

constexpr int kWorkWidth = 255;

}  // namespace

std::string rightAlign(const std::string& text, int width) {
    if (width > kWorkWidth) return "";
    if (static_cast<int>(text.size()) >= width) return text;
    return std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
}

std::string leftAlign(const std::string& text, int width) {
    if (width <= 0) return "";
    std::string out = text.substr(0, static_cast<size_t>(width));
    out.resize(static_cast<size_t>(width), ' ');
    return out;
}

std::string cutRightAlign(const std::string& text, int width) {
    if (width <= 0) return "";
    return rightAlign(text.substr(0, static_cast<size_t>(width)), width);
}

std::string centreText(const std::string& text, int width, int reserve) {
    const int64_t half = (static_cast<int64_t>(text.size()) + width - reserve) / 2;
    if (half <= 0) return leftAlign(text, width);
    const int field = half > kWorkWidth ? kWorkWidth + 1 : static_cast<int>(half);
    return leftAlign(rightAlign(text, field), width);
}

std::string slipAmountText(int64_t value) {
    const uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    digits.insert(digits.size() - 2, 1, '.');
    return value < 0 ? "-" + digits : digits;
}

std::string markText(int32_t mark) {
    const char c = static_cast<char>(static_cast<uint32_t>(mark) & 0xFF);
    return c != '\0' ? std::string(1, c) : std::string();
}

}  // namespace tarn
