#include "link/request.h"

#include <cstring>

namespace tarn {

int CRequest::ParseAnswer(const uint8_t*, int) {
    return 0;
}

void CRequest::AppendByte(uint8_t byte) {
    if (length_ + 1 >= kBodySize) {
        overflowed_ = true;
        return;
    }
    body_[length_++] = byte;
}

void CRequest::AppendText(const char* text, int width, Align alignment, uint8_t pad) {
    if (width <= 0) return;
    if (length_ + width >= kBodySize) {
        overflowed_ = true;
        return;
    }
    const char* source = text != nullptr ? text : "";
    const int length = static_cast<int>(strnlen(source, static_cast<size_t>(width)));
    const int fill = width - length;
    int before = 0;
    if (alignment == Align::Right) {
        before = fill;
    } else if (alignment == Align::Centre) {
        before = fill / 2;
    }
    uint8_t* out = body_ + length_;
    std::memset(out, pad, static_cast<size_t>(width));
    for (int i = 0; i < length; ++i) out[before + i] = static_cast<uint8_t>(FieldByte(source[i]));
    length_ += width;
}

void CRequest::AppendInt32(int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        AppendByte(static_cast<uint8_t>(bits >> shift));
    }
}

}  // namespace tarn
