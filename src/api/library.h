// The library-wide state: one instance, created when the library is loaded. Tests replace
// it with a fresh one through ReplaceLibrary instead of relying on process boundaries.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <typeindex>

#include "api/logger.h"
#include "api/text_table.h"
#include "link/printer_link.h"
#include "tarn/tarn.h"

namespace tarn {

// Open-document flags and masks.
constexpr uint32_t MF_DOC_RECEIPT = 0x02;
constexpr uint32_t MF_DOC_ORDER = 0x04;
constexpr uint32_t MF_DOC_RETURN = 0x08;
constexpr uint32_t MF_DOC_SHIFT_REPORT = 0x20;
constexpr uint32_t MF_DOC_NONFISCAL = 0x3C;
constexpr uint32_t MF_DOC_ANY = 0xFF;

// The session with the printer: started or not, the last detail code, the call's deadline, the
// link, what the printer is and can do, and the documents the library counts open.
struct Session {
    // How long an exported call may go on starting exchanges: an exchange under way then runs to
    // its end (at most 91.6 s: its acknowledge, its answer and the settling pauses), so a call
    // ends within 3 minutes, plus the waits for a busy printer it makes.
    static constexpr int64_t kCallExchangesMs = 85000;

    bool started = false;
    int32_t mfErrorL = 0;
    // The deadline of the exported call under way (CPrinterLink::SetDeadline).
    int64_t callDeadlineMs = kNoDeadline;
    int32_t printerType = 0;
    int32_t version = 0;
    PrinterCapabilities capabilities = CapabilitiesOf(0, 0);
    uint32_t documentFlags = 0;
    std::unique_ptr<CPrinterLink> link;
    // The receipt flag was set on the printer's word (a refusal's status bytes), or because the
    // printer may hold a document the library could not end, not by an opening: mfStornoTicket
    // ends it as a start does. In doubt, the printer is asked when the record is read.
    bool documentFromPrinter = false;
    bool documentInDoubt = false;

    // The type and version as the identification learns them, and what the printer can do.
    void SetPrinter(int32_t type, int32_t printerVersion) {
        printerType = type;
        version = printerVersion;
        capabilities = CapabilitiesOf(type, printerVersion);
        if (link) link->SetCapabilities(capabilities);
    }
    bool IsDocumentOpen(uint32_t mask) const { return (documentFlags & mask) != 0; }
    void SetDocumentOpen(uint32_t flag, bool on) {
        documentFlags = on ? (documentFlags | flag) : (documentFlags & ~flag);
    }
    // A family's record: one of each type, made on first use, kept while the library is loaded.
    template <typename Kept>
    Kept& Record() {
        std::shared_ptr<void>& kept = records_[std::type_index(typeid(Kept))];
        if (!kept) kept = std::make_shared<Kept>();
        return *static_cast<Kept*>(kept.get());
    }

private:
    std::map<std::type_index, std::shared_ptr<void>> records_;
};

// The diagnostic log: the main logger, a raw command's temporary one in its place, a line buffer.
struct DiagnosticLog {
    std::unique_ptr<CLogger> logger;
    CLogger* temporaryLogger = nullptr;
    char logLine[256] = {};
};

// What the start found (the display's type) and the application set (logo, cashier, drawer, texts).
struct Settings {
    uint8_t displayType = 0;
    char logoPath[256] = {};
    char cashierName[31] = {};
    int32_t cashierNumber = 0;
    int32_t drawerType = 0;
    TextTable texts;
};

struct Library : Session, DiagnosticLog, Settings {
    // The main log on "tarnel.txt" in the current directory, at level 1.
    Library();
    explicit Library(std::unique_ptr<CLogger> mainLogger);
};

Library& Lib();
void ReplaceLibrary(std::unique_ptr<Library> fresh);
// The one object's log (made on first use), for the log's line writer and the load hook.
DiagnosticLog& LibraryLog();

// Holds the library-wide lock for the lifetime of one exported call, and sets the call's
// deadline (a call made inside another keeps the outer one's).
class ApiCall {
public:
    ApiCall();
    ~ApiCall();
    ApiCall(const ApiCall&) = delete;
    ApiCall& operator=(const ApiCall&) = delete;
    // The session, the one the C interface allows, for as long as the call holds it.
    Library& Session() const;
};

// The common steps of an exported function.
// Without a session: mfErrorL = 0 and the result is -1.
[[nodiscard]] int NotStarted();
// A refusal or failure: mfErrorL = code and the result is -2.
[[nodiscard]] int Failed(int code);
// Success: mfErrorL = 0 and the result is `result`.
[[nodiscard]] int Succeeded(int result = MF_OK);
// The end of every export when an exception would leave it (memory exhausted, a fault of the
// standard library): no exception crosses the interface. Logs the function's name; -2 with 769.
int ExceptionEscaped(const char* function) noexcept;
// Sends one command through the session's link; 0 or -2 with the detail code in mfErrorL. A
// refusal whose status bytes show a document the printer holds, while the library counts none
// open, opens the library's receipt record: the flags follow the printer, and mfStornoTicket
// can end what it holds.
[[nodiscard]] int Exchange(CRequest& request);
// The same exchange for a question whose failure is not the call's: 0 or the detail code, and
// mfErrorL is left as it was.
[[nodiscard]] int ExchangeQuietly(CRequest& request);
// Waits while the printer reports itself busy (CPrinterLink::WaitUntilReady); mfErrorL is left
// as it was. The detail code of a poll that failed, or 0.
[[nodiscard]] int WaitUntilReady(int seconds, bool* answered = nullptr);
// The printer holds a document the library counts closed (or may hold one: `inDoubt`): the
// library's receipt record opens on that word.
void FollowDocumentHeldByPrinter(bool inDoubt = false);
// A document the printer may hold is asked for ('*' and status byte 1): the record follows the
// answer, and stays in doubt while the printer does not answer.
void SettleDocumentDoubt();
// How the last exchange failed: ExchangeFailure::None after one that went through.
ExchangeFailure LastFailure();
// Whether the last exchange failed without the printer's word: it went out and its answer did
// not come whole, so the printer may have carried it out.
bool AnswerUnknown();
// Whether the printer holds a document left open: '*' (the start of a conversation, after
// which the printer reports a document nobody is continuing) and status byte 1, bit 0x02.
// 1 or 0, or -1 when the printer does not answer; the detail code is left as it was.
[[nodiscard]] int PrinterHoldsDocument();
// 'Q' and '#' to a printer that still holds a document left open; 0, or -2 when an exchange
// failed. Their answers are not needed: a missing one is no failure ('Q' inside an unfinished
// form ends the form, and the printer answers nothing to that).
[[nodiscard]] int EndDocumentLeftOpen();
// The printer's number of the day's last receipt (0 while the day is closed), or -1 when it
// cannot be read; the detail code is left as it was. It tells whether a receipt end or a day
// close whose acknowledge was lost was carried out.
[[nodiscard]] int LastReceiptNumber();
// Sleeps `ms` for a printer that needs settling after some commands.
void SettleOlderPrinter(int ms);
// Sends a form record: 0, or -2 with the detail code in mfErrorL.
[[nodiscard]] int SendForm(CRequest& record);

// After a one-shot document: waits up to `seconds` for the printer to be ready, then reports
// the exchange's `result`, keeping the code of a failure; after a record that went through,
// what ConfirmForm says.
[[nodiscard]] int WaitThenReport(const Session& lib, int result, int seconds);
// The end of a form gets no answer: the printer answering the wait's first poll is its word
// that it had the whole record (0). Without that word it is asked again whether it still holds
// the form, which is then ended and printed (0); else the printout's fate is not known (-2 with
// 514: the paper tells), and while the printer cannot be asked the library's record holds the
// document the printer may hold.
[[nodiscard]] int ConfirmForm(const Session& lib, int seconds);

// Keeps the detail code of a failure while later exchanges run, and puts it back.
class KeptCode {
public:
    KeptCode();
    int Restore(int result) const;

private:
    int code_;
};

}  // namespace tarn
