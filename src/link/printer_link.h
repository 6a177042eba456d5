// Carries one command to the printer and its answer back: frames it, sends it in two steps
// with the printer's acknowledge in between, turns a refusal into a detail code from the
// four status bytes and hands the answer to the command.
#pragma once

#include <cstdint>
#include <memory>

#include "link/request.h"
#include "link/serial_port.h"

namespace tarn {

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kNak = 0x15;

class CPrinterLink {
public:
    CPrinterLink() = default;
    virtual ~CPrinterLink();
    CPrinterLink(const CPrinterLink&) = delete;
    CPrinterLink& operator=(const CPrinterLink&) = delete;

    void SetPort(std::unique_ptr<SerialPort> port) { port_ = std::move(port); }
    void SetErrorTarget(int32_t* error) { error_ = error; }
    void SetTypeSource(const int32_t* printerType) { printerType_ = printerType; }

    // 0, or -2 with the detail code in the error target. `noAck`: the printer sends no
    // acknowledge, only the answer. `noEsc`: the frame is the body alone.
    [[nodiscard]] int Execute(CRequest& request, bool noAck, bool noEsc);
    // Waits while the printer reports itself busy (status byte 2, bit 0x01), for about
    // `seconds` seconds. A printer that stays busy is not an error.
    [[nodiscard]] int WaitUntilReady(int seconds);

private:
    [[nodiscard]] int Fail(int code);
    [[nodiscard]] int RefusalCode();
    int PrinterType() const { return printerType_ != nullptr ? *printerType_ : -1; }
    void SetError(int code);

    std::unique_ptr<SerialPort> port_;
    int32_t* error_ = nullptr;
    const int32_t* printerType_ = nullptr;
    bool readingRefusal_ = false;
};

// The detail code for the four status bytes read after a refusal.
int RefusalCodeFromStatus(const int status[4]);

}  // namespace tarn
