// mfAnyCommand: raw bytes to the printer on port 1 and whatever it answers, with or without
// a session; without one, its log lines go to "tarnlog.txt".
#include <cstring>
#include <memory>

#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "link/request.h"
#include "link/serial_port.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr int kRawPort = 1;
constexpr int kBufferSize = 1024;

// Puts the temporary log in force for one call and takes it away on every return.
class TemporaryLog {
public:
    explicit TemporaryLog(Library& lib) : lib_(lib) {
        if (lib_.started) return;
        logger_ = std::make_unique<CLogger>("tarnlog.txt", CLogger::kEverything, "TARN");
        lib_.temporaryLogger = logger_.get();
    }
    ~TemporaryLog() {
        if (!logger_) return;
        lib_.temporaryLogger = nullptr;
        logger_->Close();
    }
    TemporaryLog(const TemporaryLog&) = delete;
    TemporaryLog& operator=(const TemporaryLog&) = delete;

private:
    Library& lib_;
    std::unique_ptr<CLogger> logger_;
};

int RawExchange(SerialPort& port, const uint8_t* send, int sendCount, uint8_t* received,
                int receiveMaximum, int* receivedCount) {
    const bool opened = port.Open();
    if (!opened) {
        LogErrorF("In mfAnyCommand, Open, boolresult: %d", 0);
        return Failed(kCodeCommunication);
    }
    LogInfoF("In mfAnyCommand, Open, boolresult: %d", 1);
    const int sent = port.Write(send, sendCount);
    LogResultF(sent, "In mfAnyCommand, Send, result: %d", sent);
    if (sent < 0) return Failed(kCodeCommunication);
    // A raw answer of any length: read until a byte does not come within the time-out.
    const int got = port.Read(received, receiveMaximum, RestOfAnswer::UntilQuiet);
    LogResultF(got, "In mfAnyCommand, Receive, result: %d", got);
    if (got < 0) return Failed(kCodeCommunication);
    *receivedCount = got;
    return Succeeded();
}

}  // namespace

// A send count outside 0..1024 or a time-out of 0 or less (on Windows every read would wait
// forever) is refused before anything is opened; a receive maximum above 1024 is cut.
int tarn::exported::mfAnyCommand(Library& lib, int sendCount, const unsigned char* sendBytes,
                                 int receiveMaximum, unsigned char* receiveBuffer,
                                 int* receivedCount, int timeoutMs) {
    if (sendCount < 0 || sendCount > kBufferSize || timeoutMs <= 0) {
        return Failed(kCodeOutOfRange);
    }
    LineSettings settings;
    settings.timeoutMs = timeoutMs;
    SerialPort port(kRawPort, settings, LogErrorLine);
    uint8_t send[kBufferSize] = {};
    uint8_t received[kBufferSize] = {};
    TemporaryLog log(lib);
    LogInfoF("In mfAnyCommand - new logger");
    if (sendBytes == nullptr) sendCount = 0;
    std::memcpy(send, sendBytes != nullptr ? sendBytes : send, static_cast<size_t>(sendCount));
    const int maximum =
        receiveMaximum < 0 ? 0 : (receiveMaximum > kBufferSize ? kBufferSize : receiveMaximum);
    int got = 0;
    const int result = RawExchange(port, send, sendCount, received, maximum, &got);
    (void)port.Close();  // the answer is read: a failed close loses nothing
    if (result != 0) return result;
    if (receiveBuffer != nullptr) std::memcpy(receiveBuffer, received, static_cast<size_t>(got));
    if (receivedCount != nullptr) *receivedCount = got;
    return Succeeded();
}
