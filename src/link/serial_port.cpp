#include "link/serial_port.h"

#include "link/trace.h"

namespace tarn {

SerialPort::SerialPort(int portNumber, const LineSettings& settings, ErrorLogSink errorLog)
    : portNumber_(portNumber), settings_(settings), errorLog_(errorLog) {}

SerialPort::~SerialPort() = default;

bool SerialPort::Open() {
    device_.reset();
    device_ = CurrentPlatform().OpenSerial(portNumber_, settings_, &lastError_);
    return device_ != nullptr;
}

bool SerialPort::Close() {
    if (!device_) return true;
    const bool closed = device_->Close(&lastError_);
    // The handle is gone either way: keeping a dead device would make every later
    // exchange fail without trying to open the port again.
    device_.reset();
    return closed;
}

int SerialPort::Write(const uint8_t* bytes, int count) {
    if (!device_ && !Open()) {
        if (errorLog_ != nullptr) errorLog_("SerialPort: CAN NOT open port");
        return -1;
    }
    const int written = count > 0 ? device_->Write(bytes, count, &lastError_) : 0;
    if (written < 0) return -1;
    TraceBlock(portNumber_, TraceDirection::ToPrinter, bytes, written);
    return written;
}

int SerialPort::Read(uint8_t* buffer, int count) {
    if (!device_ && !Open()) return -1;
    int got = 0;
    while (got < count) {
        const ReadResult result = device_->ReadByte(buffer + got, &lastError_);
        if (result == ReadResult::Failed) return -1;
        if (result == ReadResult::TimedOut) break;
        ++got;
    }
    if (count > 0) TraceBlock(portNumber_, TraceDirection::FromPrinter, buffer, got);
    return got;
}

}  // namespace tarn
