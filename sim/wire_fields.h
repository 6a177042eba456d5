// Reading the fields of a command body: little-endian signed 32-bit numbers and fixed-width
// texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarn::sim {

inline int32_t Int32At(const std::vector<uint8_t>& body, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4 && offset + i < body.size(); ++i) {
        value |= static_cast<uint32_t>(body[offset + i]) << (8 * i);
    }
    return static_cast<int32_t>(value);
}

inline std::string TextAt(const std::vector<uint8_t>& body, size_t offset, size_t width) {
    if (offset >= body.size()) return {};
    const size_t end = offset + width < body.size() ? offset + width : body.size();
    return std::string(body.begin() + static_cast<long>(offset),
                       body.begin() + static_cast<long>(end));
}

inline std::string TrimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

inline std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : TrimRight(text.substr(first));
}

}  // namespace tarn::sim
