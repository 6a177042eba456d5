#include "link/serial_port.h"

#include <algorithm>
#include <climits>
#include <string>

#include "link/trace.h"

namespace tarn {

namespace {
constexpr int kNoLimitMs = INT_MAX;
constexpr int kDefaultTimeoutMs = LineSettings{}.timeoutMs;  // the awaited byte's 30 s
}  // namespace

SerialPort::SerialPort(int portNumber, const LineSettings& settings, ErrorLogSink errorLog)
    : portNumber_(portNumber), settings_(settings), errorLog_(errorLog) {}

SerialPort::~SerialPort() = default;

bool SerialPort::Open() {
    device_.reset();
    idle_ = failed_ = false;
    device_ = CurrentPlatform().OpenSerial(portNumber_, settings_, &lastError_);
    return device_ != nullptr;
}

bool SerialPort::Close() {
    if (!device_ || idle_) return true;
    if (device_->HeldForSession() && !failed_) {
        idle_ = true;
        return true;
    }
    const bool closed = device_->Close(&lastError_);
    // The handle is gone either way: keeping a dead device would make every later
    // exchange fail without trying to open the port again.
    device_.reset();
    return closed;
}

// A held connection the other end has closed since (the printer's server restarted) is made
// anew, as a serial port is opened anew for each transfer.
bool SerialPort::Ready() {
    if (device_ && idle_) {
        idle_ = false;
        if (!device_->DropLateInput()) device_.reset();
    }
    return device_ != nullptr || Open();
}

int SerialPort::Write(const uint8_t* bytes, int count) {
    if (!Ready()) {
        if (errorLog_ != nullptr) {
            errorLog_("SerialPort: CAN NOT open port");
            errorLog_(("SerialPort: system error " + std::to_string(lastError_)).c_str());
        }
        return -1;
    }
    const int written = count > 0 ? device_->Write(bytes, count, &lastError_) : 0;
    failed_ = failed_ || written < 0;
    if (written < 0) return -1;
    TraceBlock(portNumber_, TraceDirection::ToPrinter, bytes, written);
    return written;
}

int SerialPort::Read(uint8_t* buffer, int count, RestOfAnswer rest) {
    if (!Ready()) return -1;
    Platform& platform = CurrentPlatform();
    int got = 0;
    int64_t restDeadline = 0;
    while (got < count) {
        int limitMs = kNoLimitMs;
        if (got > 0 && rest == RestOfAnswer::WithinOneTimeOut) {
            const int64_t left = restDeadline - platform.MonotonicMs();
            if (left <= 0) break;
            limitMs = static_cast<int>(std::min<int64_t>(left, kNoLimitMs));
        }
        const ReadResult result = device_->ReadByte(buffer + got, limitMs, &lastError_);
        failed_ = failed_ || result == ReadResult::Failed;
        if (result == ReadResult::Failed) return -1;
        if (result == ReadResult::TimedOut) break;
        if (got++ == 0) restDeadline = platform.MonotonicMs() + RestOfAnswerMs();
    }
    if (count > 0) TraceBlock(portNumber_, TraceDirection::FromPrinter, buffer, got);
    return got;
}

bool SerialPort::MoreWaiting() {
    if (!device_) return false;
    uint8_t byte = 0;
    if (device_->ReadByte(&byte, 0, &lastError_) != ReadResult::Byte) return false;
    TraceBlock(portNumber_, TraceDirection::FromPrinter, &byte, 1);
    return true;
}

// The rest of an answer has one awaited byte's time-out after its first byte: a printer that
// drips its answer cannot hold a read longer than twice the time-out.
int SerialPort::RestOfAnswerMs() const {
    return settings_.timeoutMs > 0 ? settings_.timeoutMs : kDefaultTimeoutMs;
}

}  // namespace tarn
