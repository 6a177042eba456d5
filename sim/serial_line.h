// The time bytes take on a serial line. At 9600 baud with 8 data bits and even parity a byte
// is 11 bits on the wire (start bit, 8 data bits, parity bit, stop bit): 1.146 ms.
#pragma once

#include <cstdint>

namespace tarn::sim {

class SerialLine {
public:
    static constexpr int kBitsPerByte = 11;
    static constexpr int kBaudRate = 9600;

    // Nanoseconds one byte takes at `baudRate`.
    static constexpr int64_t ByteNs(int baudRate = kBaudRate) {
        return (kBitsPerByte * int64_t{1000000000} + baudRate / 2) / baudRate;
    }

    // A byte handed to the line at `nowNs` starts when the bytes before it have gone and is
    // wholly received at the time returned.
    int64_t Carry(int64_t nowNs) {
        freeAtNs_ = (nowNs > freeAtNs_ ? nowNs : freeAtNs_) + ByteNs();
        return freeAtNs_;
    }

private:
    int64_t freeAtNs_ = 0;
};

}  // namespace tarn::sim
