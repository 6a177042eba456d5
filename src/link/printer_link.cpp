#include "link/printer_link.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "link/shared_commands.h"
#include "link/status_bits.h"
#include "platform/platform.h"

namespace tarn {

namespace {

constexpr int kFrameSize = 1054;
// Printers below type 4 need time to settle after the head of a frame and after the
// acknowledge before they take more bytes.
constexpr int kSettleMs = 800;
constexpr int kFirstPollDelayMs = 200;
constexpr int kPollIntervalMs = 100;

// Status byte 2 for the wait: an answer cut short counts as "still busy".
class BusyQuery : public CRequestStatus {
public:
    explicit BusyQuery(int* status) : CRequestStatus(2, status), status_(status) {}
    int ParseAnswer(const uint8_t* bytes, int count) override {
        if (count < 1) {
            *status_ = status2::kBusy;
            return 0;
        }
        return CRequestStatus::ParseAnswer(bytes, count);
    }

private:
    int* status_;
};

// Tried in order after a refusal; the first rule that holds gives the code.
constexpr StatusRule kRefusalRules[] = {
    {0, status0::kInitialised, false, kCodeNotInitialised},
    {0, status0::kInOrder, false, kCodeInitialisationError},
    {0, status0::kOutOfOrder, true, kCodeInitialisationError},
    {1, status1::kFault01, true, kCodeInitialisationError},
    {1, status1::kDocumentLeftOpen, true, kCodeOther},
    {1, status1::kDayMustClose, true, kCodeDayOpen},
    {1, status1::kFault10, true, kCodeInitialisationError},
    {1, status1::kFault20, true, kCodeItemBlocked},
    {1, status1::kFault40, true, kCodeDisplayError},
    {1, status1::kFault80, true, kCodeCommunication},
    {2, status2::kBusy, true, kCodeOther},
    {2, status2::kNoPaper, true, kCodeNoPaper},
    {2, status2::kFault04, true, kCodeFiscalError},
    {2, status2::kFault08, true, kCodeBatteryError},
    {2, status2::kFault10, true, kCodeOther},
    {2, status2::kPaperOut, true, kCodeNoPaper},
    {2, status2::kFault80, true, kCodeFiscalError},
    {3, status3::kFiscalFault, true, kCodeFiscalError},
};

}  // namespace

int RefusalCodeFromStatus(const int status[4]) {
    return FirstRuleCode(kRefusalRules, status, kCodeCommunication);
}

CPrinterLink::~CPrinterLink() = default;

int CPrinterLink::Fail(int code, ExchangeFailure failure) {
    if (port_) (void)port_->Close();  // the exchange has failed already
    lastFailure_ = failure;
    return code;
}

bool CPrinterLink::TimeIsUp() const {
    return deadlineMs_ != nullptr && CurrentPlatform().MonotonicMs() >= *deadlineMs_;
}

void CPrinterLink::MoveDeadlineOn(int64_t ms) {
    if (deadlineMs_ != nullptr && ms > 0 && *deadlineMs_ < kNoDeadline - ms) *deadlineMs_ += ms;
}

// Status byte `index` in an exchange of its own on this link, or -1 when it cannot be read.
int CPrinterLink::ReadRefusalByte(int index) {
    int status = -1;
    CRequestStatus query(index, &status);
    return Execute(query) == 0 ? status : -1;
}

// Reads status bytes 0 to 3 and maps them. A byte that cannot be read is no byte of 0: it
// leaves the cause unknown (514) unless an earlier byte already names it, and the bytes after
// an unanswered query are not asked for, nor those whose time is up (the call's deadline). A
// status query refused in turn is such a byte: asking again would recurse for as long as the
// line keeps answering NAK.
int CPrinterLink::RefusalCode() {
    if (readingRefusal_) return kCodeCommunication;
    readingRefusal_ = true;
    int status[4] = {-1, -1, -1, -1};
    for (int i = 0; i < 4 && !TimeIsUp(); ++i) {
        status[i] = ReadRefusalByte(i);
        if (status[i] < 0 && lastFailure_ != ExchangeFailure::Refused) break;
    }
    readingRefusal_ = false;
    std::copy(std::begin(status), std::end(status), std::begin(refusalStatus_));
    return RefusalCodeFromStatus(status);
}

int CPrinterLink::Execute(CRequest& request) {
    lastFailure_ = ExchangeFailure::None;
    if (!port_) return Fail(kCodeCommunication, ExchangeFailure::NotSent);
    if (request.Overflowed()) {
        lastFailure_ = ExchangeFailure::NotSent;
        return kCodeOutOfRange;
    }
    if (request.Length() == 0) return 0;
    if (TimeIsUp()) return Fail(kCodeCommunication, ExchangeFailure::NotSent);
    return Run(request);
}

int CPrinterLink::Run(CRequest& request) {
    uint8_t frame[kFrameSize];
    int length = 0;
    if (request.Framed() != Framing::Raw) frame[length++] = kEsc;
    std::memcpy(frame + length, request.Body(), static_cast<size_t>(request.Length()));
    length += request.Length();

    const int headLength = length > 2 ? 2 : length;
    if (port_->Write(frame, headLength) < 0) {
        // A port that would not open sent nothing; a write that failed may have sent some.
        return Fail(kCodeCommunication,
                    port_->IsOpen() ? ExchangeFailure::Unanswered : ExchangeFailure::NotSent);
    }
    if (length > 2 && capabilities_.settlesAfterHead) WaitMs(kSettleMs);

    if (request.Framed() == Framing::Acknowledged) {
        uint8_t ack = 0;
        const int got = port_->Read(&ack, 1);
        // A printer acknowledges with ACK or refuses with NAK, nothing else: any other byte is
        // something that is no printer (a line that echoes the ESC just sent, a web server on
        // the wrong port, a scale that streams its weight), and it fails the exchange at once.
        if (got == 1 && ack != kAck && ack != kNak) {
            return Fail(kCodeCommunication, ExchangeFailure::Unanswered);
        }
        if (capabilities_.settlesAfterAcknowledge) WaitMs(kSettleMs);
        if (got != 1) return Fail(kCodeCommunication, ExchangeFailure::Unanswered);
        if (ack == kNak) {
            const int code = RefusalCode();
            return Fail(code, ExchangeFailure::Refused);
        }
    }

    if (length > 2 && port_->Write(frame + 2, length - 2) < 0) {
        return Fail(kCodeCommunication, ExchangeFailure::Unanswered);
    }

    int answerLength = request.AnswerLength();
    if (answerLength > kFrameSize) answerLength = kFrameSize;
    if (answerLength > 0) {
        uint8_t answer[kFrameSize];
        const int got = port_->Read(answer, answerLength);
        if (got == answerLength && port_->MoreWaiting()) {
            return Fail(kCodeCommunication, ExchangeFailure::Unanswered);
        }
        const int code = got < 0 ? kCodeCommunication : request.ParseAnswer(answer, got);
        if (code != 0) return Fail(code, ExchangeFailure::Unanswered);
    }

    if (!port_->Close()) {
        lastFailure_ = ExchangeFailure::Unanswered;
        return kCodeCommunication;
    }
    return 0;
}

int CPrinterLink::WaitUntilReady(int seconds, bool* answered) {
    // No poll starts once the wait's seconds have passed, whatever a poll takes (the settling
    // waits of the older printers, an answer that comes late): the wait ends within its
    // seconds and one poll.
    Platform& platform = CurrentPlatform();
    MoveDeadlineOn(static_cast<int64_t>(seconds) * 1000);
    platform.SleepMs(kFirstPollDelayMs);
    const int64_t deadline = platform.MonotonicMs() + static_cast<int64_t>(seconds) * 1000;
    int status = 0;
    BusyQuery query(&status);
    const int first = Execute(query);
    if (answered != nullptr) *answered = first == 0 || lastFailure_ == ExchangeFailure::Refused;
    if (first != 0) return first;
    const int64_t pollLimit = static_cast<int64_t>(seconds) * 10;
    for (int64_t polls = 0;
         (status & status2::kBusy) != 0 && polls < pollLimit && platform.MonotonicMs() < deadline;
         ++polls) {
        const int code = Execute(query);
        if (code != 0) return code;
        WaitMs(kPollIntervalMs);
    }
    return 0;
}

}  // namespace tarn
