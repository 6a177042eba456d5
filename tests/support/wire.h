// Talks to the virtual printer byte by byte, without the library, on a clock of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "virtual_printer.h"

namespace tarn::test {

class Wire {
public:
    using Bytes = std::vector<uint8_t>;

    // `quietAfterSendMs`: how long the line stays quiet after each send.
    explicit Wire(sim::VirtualPrinter& printer, int64_t quietAfterSendMs = 0)
        : printer_(printer), quietAfterSendMs_(quietAfterSendMs) {}

    void Send(const Bytes& bytes) {
        printer_.Receive(bytes.data(), static_cast<int>(bytes.size()), now_);
        if (quietAfterSendMs_ > 0) Wait(quietAfterSendMs_);
    }
    void Wait(int64_t ms) {
        now_ += ms;
        printer_.Tick(now_);
    }
    // Another host takes the line, as a new TCP connection does.
    void NewConnection() { printer_.NewConnection(now_); }
    Bytes Answer() {
        Bytes out;
        while (printer_.HasOutput()) out.push_back(printer_.TakeOutput());
        return out;
    }
    // What the printer answers to `bytes`, earlier answers dropped.
    Bytes Exchange(const Bytes& bytes) {
        Answer();
        Send(bytes);
        return Answer();
    }

private:
    sim::VirtualPrinter& printer_;
    int64_t quietAfterSendMs_;
    int64_t now_ = 0;
};

}  // namespace tarn::test
