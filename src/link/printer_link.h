// Carries one command to the printer and its answer back: frames it, sends it in two steps
// with the printer's acknowledge in between, turns a refusal into a detail code from the
// four status bytes and hands the answer to the command.
#pragma once

#include <cstdint>
#include <memory>

#include "link/printer_capabilities.h"
#include "link/request.h"
#include "link/serial_port.h"

namespace tarn {

// A deadline that never passes: exchanges outside an exported call.
constexpr int64_t kNoDeadline = INT64_MAX;

constexpr uint8_t kEsc = 0x1B;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;

// How an exchange that failed went wrong, which tells whether the printer may have carried
// the command out.
enum class ExchangeFailure {
    None,
    // Nothing reached the printer: no port, a port that would not open, a command that does
    // not fit its body.
    NotSent,
    // The printer refused the command (NAK): it did not carry it out; its status bytes said why.
    Refused,
    // The command went out and its acknowledge or answer did not come whole (none, cut short,
    // a byte that is no acknowledge, a line that failed under it): the printer may have done it.
    Unanswered,
};

class CPrinterLink {
public:
    CPrinterLink() = default;
    virtual ~CPrinterLink();
    CPrinterLink(const CPrinterLink&) = delete;
    CPrinterLink& operator=(const CPrinterLink&) = delete;

    void SetPort(std::unique_ptr<SerialPort> port) { port_ = std::move(port); }
    // The settling pauses follow the printer identified (before that: those of an unknown one).
    void SetCapabilities(const PrinterCapabilities& capabilities) { capabilities_ = capabilities; }
    // The deadline of the call the exchanges belong to, on the monotonic clock, kept by the
    // caller: once it has passed no exchange starts (it fails with 514 at once), so the call
    // ends within its bound. A wait for a busy printer moves it on by the wait's seconds.
    void SetDeadline(int64_t* deadlineMs) { deadlineMs_ = deadlineMs; }

    // 0, or the detail code of the failure. The request says how it is framed.
    [[nodiscard]] int Execute(CRequest& request);
    // Waits while the printer reports itself busy, for about `seconds` seconds: 0, or the detail
    // code of a poll that failed. A printer that stays busy is not an error. `*answered` tells
    // whether the printer answered the first poll (a refusal is an answer).
    [[nodiscard]] int WaitUntilReady(int seconds, bool* answered = nullptr);

    // How the last exchange failed (None after one that went through), and the status bytes
    // read after the last refusal (-1 for a byte that could not be read).
    ExchangeFailure LastFailure() const { return lastFailure_; }
    const int* RefusalStatus() const { return refusalStatus_; }

private:
    [[nodiscard]] int Fail(int code, ExchangeFailure failure);
    [[nodiscard]] int Run(CRequest& request);
    int ReadRefusalByte(int index);
    [[nodiscard]] int RefusalCode();
    bool TimeIsUp() const;
    void MoveDeadlineOn(int64_t ms);

    std::unique_ptr<SerialPort> port_;
    PrinterCapabilities capabilities_;
    int64_t* deadlineMs_ = nullptr;
    bool readingRefusal_ = false;
    ExchangeFailure lastFailure_ = ExchangeFailure::None;
    int refusalStatus_[4] = {0, 0, 0, 0};
};

// The detail code for the four status bytes read after a refusal; a byte that could not be
// read (-1) gives 514 when a rule needs it before one holds.
int RefusalCodeFromStatus(const int status[4]);

}  // namespace tarn
