// The library's only access to a serial device: opens a port by number with its line
// parameters, writes bytes and reads them one at a time with a per-byte time-out. The port
// does not know where the diagnostic log is kept: its owner hands it a sink for its lines.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace tarn {

// Takes a line for the diagnostic log that tells of a failure.
using ErrorLogSink = void (*)(const char* line);

// How long the rest of an answer may take once its first byte has come.
enum class RestOfAnswer {
    // One time-out more: ample for the answers of the printer's commands (26 bytes at most,
    // 30 ms at 9600 baud), and a printer that drips its answer cannot hold a read longer.
    WithinOneTimeOut,
    // Each byte within the time-out after the one before, up to the count asked for: a raw
    // answer of any length.
    UntilQuiet,
};

class SerialPort {
public:
    // A null sink drops the port's log lines.
    SerialPort(int portNumber, const LineSettings& settings, ErrorLogSink errorLog);
    // Closes a connection held for the session.
    virtual ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    [[nodiscard]] bool Open();
    // Ends the transfer: the device is closed, but a connection held for the session is kept
    // (SerialDevice::HeldForSession) unless it failed.
    [[nodiscard]] bool Close();
    // Bytes written, or -1 when the port cannot be opened ("SerialPort: CAN NOT open port"
    // and a line with the system's error go to the error log sink) or the write fails.
    [[nodiscard]] int Write(const uint8_t* bytes, int count);
    // Reads at most `count` bytes, ending at the first byte that does not arrive within the
    // time-out, or when the rest of the answer has not come in the time `rest` gives it. Bytes
    // read (0 when nothing came), or -1 on failure.
    [[nodiscard]] int Read(uint8_t* buffer, int count,
                           RestOfAnswer rest = RestOfAnswer::WithinOneTimeOut);
    // Whether a byte is there at once after an answer read whole; it is read and dropped. A
    // printer sends its answer and no more: more is no printer's answer (noise, another device).
    [[nodiscard]] bool MoreWaiting();

    bool IsOpen() const { return device_ != nullptr && !idle_; }

private:
    int RestOfAnswerMs() const;
    // Opens the port, or takes up the connection held since the last transfer.
    bool Ready();

    int portNumber_;
    LineSettings settings_;
    ErrorLogSink errorLog_;
    std::unique_ptr<SerialDevice> device_;
    bool idle_ = false;       // a held connection between transfers
    bool failed_ = false;     // a write or a read failed on the device
    uint32_t lastError_ = 0;  // the system's error of the last device call that failed
};

}  // namespace tarn
