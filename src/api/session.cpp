// Opening and closing the session: identification of the printer, recovery of an interrupted
// document, the day close the printer asks for, the display type and the logo.
#include "api/exported.h"
#include "api/library.h"
#include "api/log.h"
#include "api/logo.h"
#include "link/detail_codes.h"
#include "link/shared_commands.h"
#include "link/status_bits.h"
#include "tarn/tarn.h"

using namespace tarn;

namespace {

constexpr uint8_t kIdentify = 0xFF;
constexpr uint8_t kIdentifyExtended = 0xF6;
constexpr uint8_t kStatusZero = 0x5B;

constexpr int kFamilyType1 = 2;
constexpr int kFamilyType2 = 17;
constexpr int kFamilyLater = 44;
constexpr int kExtendedType8 = 124;

void BuildLink(Session& lib, int port) {
    lib.link.reset();
    lib.link = std::make_unique<CPrinterLink>();
    lib.link->SetDeadline(&lib.callDeadlineMs);
    lib.SetPrinter(-1, lib.version);
    lib.link->SetPort(std::make_unique<SerialPort>(port, LineSettings{}, LogErrorLine));
}

// 0xFF answers 2 (type 1), 17 (type 2) or 44. After 44, 0xF6 answers 124 and the version
// (type 8) or another family byte (type 10); types 3 and 4 refuse it and are told apart by
// the high nibble of status byte 0. Returns the result of the last identification exchange,
// or -2 when the first one failed.
int Identify(Session& lib, int* lastResult) {
    int family = 0;
    CRequestPrinterType first(kIdentify, &family, false, nullptr);
    *lastResult = Exchange(first);
    if (*lastResult != MF_OK) return MF_FAILED;
    if (family == kFamilyType1) lib.SetPrinter(1, lib.version);
    if (family == kFamilyType2) lib.SetPrinter(2, lib.version);
    if (family != kFamilyLater) return MF_OK;
    int version = 0;
    CRequestPrinterType extended(kIdentifyExtended, &family, true, &version);
    *lastResult = Exchange(extended);
    if (*lastResult == MF_OK) {
        const bool type8 = family == kExtendedType8;
        lib.SetPrinter(type8 ? 8 : 10, type8 ? version : lib.version);
        return MF_OK;
    }
    CRequestPrinterType status(kStatusZero, &family, false, nullptr);
    *lastResult = Exchange(status);
    lib.SetPrinter((family >> status0::kVersionShift) == 1 ? 3 : 4, lib.version);
    return MF_OK;
}

// A printer still holding a document gets 'Q' and '#'; the start fails with 769 when it keeps
// holding one. Then the day close it asks for.
int RecoverAndCloseDay(const Session& lib) {
    if (PrinterHoldsDocument() == 1) {  // one that does not answer has nothing to recover
        if (EndDocumentLeftOpen() != MF_OK) return MF_FAILED;
        (void)lib.link->WaitUntilReady(30);  // the status read next tells
    }
    int status1 = 0;
    CRequestStatus query(1, &status1);
    if (Exchange(query) != MF_OK) return MF_FAILED;
    if (status1 & status1::kDocumentLeftOpen) return Failed(kCodeOther);
    if (status1 & status1::kDayMustClose) {
        CRequestShiftEnd close;
        const int result = Exchange(close);
        LogInfoF("In mfStart, CRequestShiftEnd result: %d", result);
        if (result != MF_OK) return MF_FAILED;
        (void)lib.link->WaitUntilReady(20);  // the day is closed; the wait lets it print
    }
    return MF_OK;
}

int ReadDisplayType(Settings& lib) {
    int status3 = 0;
    CRequestStatus query(3, &status3);
    if (Exchange(query) != MF_OK) return MF_FAILED;
    lib.displayType = static_cast<uint8_t>(((status3 & status3::kDisplay1) ? 1 : 0) +
                                           ((status3 & status3::kDisplay3) ? 3 : 0) +
                                           ((status3 & status3::kDisplay2) ? 2 : 0));
    return MF_OK;
}

// A session is open already: the printer is not asked again, and the answer is the one a call
// without a session gets (-1, mfErrorL 0).
int AlreadyStarted() {
    return NotStarted();
}

// mfStop closed the log: a new session writes to it again, the same file at the same level.
void ReopenLog(DiagnosticLog& lib) {
    if (!lib.logger || lib.logger->IsOpen()) return;
    lib.logger = std::make_unique<CLogger>(lib.logger->FileName(), lib.logger->Level(), "TARN");
}

int Start(Library& lib, int port) {
    if (lib.started) return AlreadyStarted();
    ReopenLog(lib);
    LogInfoF("In mfStart, port: %d", port);
    BuildLink(lib, port);
    int lastResult = 0;
    if (Identify(lib, &lastResult) != MF_OK) return MF_FAILED;
    if (lib.printerType != 8) {
        int status0 = 0;
        CRequestStatus query(0, &status0);
        if (Exchange(query) != MF_OK) return MF_FAILED;
        lib.SetPrinter(lib.printerType, (status0 >> status0::kVersionShift) & 0x0F);
    }
    LogInfoF("In mfStart, PrinterType: %d, Version: %d, Result: %d", lib.printerType, lib.version,
             lastResult);
    int ignored = 0;
    CRequestLastTicketNo counter(&ignored);
    (void)Exchange(counter);  // the start needs neither the count nor its failure
    if (RecoverAndCloseDay(lib) != MF_OK || ReadDisplayType(lib) != MF_OK) return MF_FAILED;
    if (lib.capabilities.logo && lib.logoPath[0] != '\0' && TransferLogo(lib.logoPath) != MF_OK) {
        return MF_FAILED;
    }
    LogInfoF("In mfStart MF_OK");
    lib.started = true;
    // The printer holds no receipt and no order now: whatever the library still counted as
    // open from before went with the recovery.
    lib.SetDocumentOpen(MF_DOC_RECEIPT | MF_DOC_ORDER, false);
    lib.documentFromPrinter = lib.documentInDoubt = false;
    return Succeeded();
}

// A start that failed holds nothing: a printer behind TCP is free for another process.
int StartOrLetGo(Library& lib, int port) {
    const int result = Start(lib, port);
    if (result == MF_FAILED) lib.link.reset();
    return result;
}

}  // namespace

int tarn::exported::mfStart(Library& lib, int, int port) {
    return StartOrLetGo(lib, port);
}

int tarn::exported::mfStart2(Library& lib, tarn_arg, tarn_arg, int port, tarn_arg, tarn_arg,
                             tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                             tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg) {
    return StartOrLetGo(lib, port);
}

int tarn::exported::mfStart3(Library&, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                             tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                             tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg, tarn_arg,
                             tarn_arg) {
    return Succeeded(MF_NOT_PERFORMED);
}

int tarn::exported::mfStop(Library& lib) {
    LogInfoF("In mfStop");
    lib.started = false;
    if (lib.logger) lib.logger->Close();  // kept closed, to be opened again by mfStart
    lib.link.reset();
    return MF_OK;
}
