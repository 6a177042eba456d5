#include "api/library.h"

#include "api/log.h"
#include "link/shared_commands.h"
#include "link/status_bits.h"
#include "platform/platform.h"

namespace tarn {

namespace {
std::unique_ptr<Library>& Instance() {
    static std::unique_ptr<Library> instance;
    return instance;
}

// Exported calls under way on the thread that holds the library lock.
int g_callDepth = 0;
}  // namespace

Library::Library() : Library(std::make_unique<CLogger>("tarnel.txt", CLogger::kFailures, "TARN")) {}

Library::Library(std::unique_ptr<CLogger> mainLogger) : DiagnosticLog{std::move(mainLogger)} {}

Library& Lib() {
    std::unique_ptr<Library>& instance = Instance();
    if (!instance) instance = std::make_unique<Library>();
    return *instance;
}

void ReplaceLibrary(std::unique_ptr<Library> fresh) {
    Instance() = std::move(fresh);
}

DiagnosticLog& LibraryLog() {
    return Lib();
}

ApiCall::ApiCall() {
    LockLibrary();
    if (g_callDepth++ == 0)
        Lib().callDeadlineMs = CurrentPlatform().MonotonicMs() + Library::kCallExchangesMs;
}

Library& ApiCall::Session() const {
    return Lib();
}

ApiCall::~ApiCall() {
    if (--g_callDepth == 0) Lib().callDeadlineMs = kNoDeadline;
    UnlockLibrary();
}

int NotStarted() {
    Lib().mfErrorL = 0;
    return MF_NOT_STARTED;
}

int Failed(int code) {
    Lib().mfErrorL = code;
    return MF_FAILED;
}

int Succeeded(int result) {
    Lib().mfErrorL = 0;
    return result;
}

namespace {

constexpr uint8_t kWake = 0x2A;  // '*'

// A record's head went out without the printer's answer: the printer may have opened the form
// and wait for its lines. ESC 'Q' ends it, empty: it prints nothing. A printer that holds no
// form takes it for 'Q' and answers with a byte; one in a form answers nothing.
// When it cannot be sent, the printer may hold the form: the library's record follows.
// The record's own failure is what the caller hears of.
bool EndFormLeftOpen() {
    int answer = 0;
    CRequestOneByteMaybeAnswered end('Q', &answer);
    const bool sent = ExchangeQuietly(end) == 0;
    if (!sent) FollowDocumentHeldByPrinter(true);
    return sent;
}

}  // namespace

KeptCode::KeptCode() : code_(Lib().mfErrorL) {}

int KeptCode::Restore(int result) const {
    Lib().mfErrorL = code_;
    return result;
}

int ExchangeQuietly(CRequest& request) {
    Library& lib = Lib();
    if (!lib.link) return kCodeCommunication;
    const int code = lib.link->Execute(request);
    const int status1 = lib.link->RefusalStatus()[1];
    if (code != 0 && lib.link->LastFailure() == ExchangeFailure::Refused && status1 > 0 &&
        (status1 & status1::kDocumentLeftOpen) != 0) {
        FollowDocumentHeldByPrinter();
    }
    return code;
}

int Exchange(CRequest& request) {
    const int code = ExchangeQuietly(request);
    return code == 0 ? Succeeded() : Failed(code);
}

int WaitUntilReady(int seconds, bool* answered) {
    Library& lib = Lib();
    return lib.link ? lib.link->WaitUntilReady(seconds, answered) : kCodeCommunication;
}

void FollowDocumentHeldByPrinter(bool inDoubt) {
    Library& lib = Lib();
    if (lib.IsDocumentOpen(MF_DOC_ANY)) return;
    lib.SetDocumentOpen(MF_DOC_RECEIPT, true);
    lib.documentFromPrinter = true;
    lib.documentInDoubt = inDoubt;
}

void SettleDocumentDoubt() {
    Library& lib = Lib();
    if (!lib.documentInDoubt) return;
    const int held = PrinterHoldsDocument();
    if (held < 0) return;
    lib.documentInDoubt = false;
    if (held == 1) return;
    lib.documentFromPrinter = false;
    lib.SetDocumentOpen(MF_DOC_RECEIPT, false);
}

ExchangeFailure LastFailure() {
    const Library& lib = Lib();
    return lib.link ? lib.link->LastFailure() : ExchangeFailure::NotSent;
}

bool AnswerUnknown() {
    return LastFailure() == ExchangeFailure::Unanswered;
}

int PrinterHoldsDocument() {
    int ignored = 0;
    CRequestOneByte wake(kWake, &ignored, Framing::Unacknowledged);
    (void)ExchangeQuietly(wake);  // the printer's answer to '*' is not used
    int status1 = 0;
    CRequestStatus query(1, &status1);
    if (ExchangeQuietly(query) != 0) return -1;
    return (status1 & status1::kDocumentLeftOpen) != 0 ? 1 : 0;
}

int ExceptionEscaped(const char* function) noexcept {
    try {
        const ApiCall call;
        LogErrorF("In %s, an exception left the call: result -2", function);
    } catch (...) {
        // The log line is lost; the result still is the failure's.
    }
    Lib().mfErrorL = kCodeOther;
    return MF_FAILED;
}

int EndDocumentLeftOpen() {
    constexpr uint8_t kEndDocument = 0x51;  // 'Q'
    constexpr uint8_t kCancel = 0x23;       // '#'
    int answer = 0;
    CRequestOneByteMaybeAnswered end(kEndDocument, &answer);
    if (Exchange(end) != MF_OK) return MF_FAILED;
    CRequestOneByteMaybeAnswered cancel(kCancel, &answer);
    return Exchange(cancel);
}

int LastReceiptNumber() {
    int number = -1;
    CRequestLastTicketNo counter(&number);
    return ExchangeQuietly(counter) == 0 ? number : -1;
}

void SettleOlderPrinter(int ms) {
    if (Lib().capabilities.settlesAfterAcknowledge) CurrentPlatform().SleepMs(ms);
}

int SendForm(CRequest& record) {
    const int result = Exchange(record);
    if (result != MF_OK && record.Framed() != Framing::Raw && AnswerUnknown()) {
        (void)EndFormLeftOpen();
    }
    return result;
}

int ConfirmForm(const Session& lib, int seconds) {
    if (!lib.link) return Failed(kCodeCommunication);
    bool answered = false;
    (void)WaitUntilReady(seconds, &answered);  // the printer prints meanwhile
    if (answered) return Succeeded();
    const int held = PrinterHoldsDocument();
    if (held == 1 && EndFormLeftOpen()) {
        (void)WaitUntilReady(seconds, &answered);
        return Succeeded();
    }
    if (held < 0) FollowDocumentHeldByPrinter(true);
    return Failed(kCodeCommunication);
}

int WaitThenReport(const Session& lib, int result, int seconds) {
    if (result == MF_OK) return ConfirmForm(lib, seconds);
    (void)WaitUntilReady(seconds);  // the failure stands
    return result;
}

}  // namespace tarn
