// Reads a fuzzer's bytes as the values a target needs; past the end everything is zero or empty,
// so every input is a complete case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace tarn::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int32_t Int32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(Byte()) << (8 * i);
        return static_cast<int32_t>(value);
    }
    int64_t Int64() {
        const uint64_t low = static_cast<uint32_t>(Int32());
        const uint64_t high = static_cast<uint32_t>(Int32());
        return static_cast<int64_t>(high << 32 | low);
    }
    // A text of up to `most` bytes (its length comes first), without zero bytes.
    std::string Text(size_t most = 255) {
        size_t length = Byte();
        if (length > most) length = most;
        std::string text;
        for (size_t i = 0; i < length && at_ < size_; ++i) {
            const char c = static_cast<char>(Byte());
            if (c != '\0') text += c;
        }
        return text;
    }
    // What is left, as it is.
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
        at_ = size_;
        return rest;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// A broken promise of the code under test: the fuzzer records the input that caused it.
inline void Require(bool holds) {
    if (!holds) std::abort();
}

}  // namespace tarn::fuzz
