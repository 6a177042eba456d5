#include "floor.h"

#include <algorithm>

#include "serial_line.h"

namespace tarn::bench {

namespace {

constexpr double kByteMs = static_cast<double>(sim::SerialLine::ByteNs()) / 1e6;
constexpr double kSettleMs = 800;        // printers below type 4, around a frame's head
constexpr double kCheckPauseMs = 200;    // before every receipt check
constexpr double kLinePauseMs = 200;     // after a sale line, printers below type 4
constexpr double kLineDiscountMs = 200;  // after a line discount
constexpr double kFirstPollMs = 200;     // the readiness wait, before its first status query
constexpr double kPollStepMs = 100;      // and after each further one
constexpr int kEndTicketReadySeconds = 20;
constexpr uint8_t kStatusOfPrinting = 0x55;  // status byte 2: busy while printing
constexpr uint8_t kReasonQuery = 0x50;       // 'P'
constexpr uint8_t kStatusOfReceipt = 0x54;   // status byte 1, the older printers' check
constexpr uint8_t kSaleLine = 0x06;
constexpr uint8_t kLineDiscount = 0x18;
constexpr uint8_t kEndReceipt = 0x24;
constexpr uint8_t kIdentify = 0xFF;
constexpr uint8_t kIdentifyFurther = 0xF6;
// A refused 0xF6 is followed by the refusal's status queries (bytes 0 to 3) and '['.
constexpr size_t kAfterRefusedIdentification = 5;
constexpr int kTypeUnknown = -1;

// Two lines, one each way, and the library's clock. Bytes written queue on their line while
// the library goes on; the library waits only for bytes it reads and for its own waits.
class IdealRun {
public:
    explicit IdealRun(Floor* floor) : floor_(*floor) {}

    double Now() const { return now_; }

    void Pause(double ms) {
        now_ += ms;
        floor_.waitsMs += ms;
    }

    // Runs one exchange with a printer the library takes for `type`; returns when the printer
    // had the whole command.
    double Run(const Exchange& e, int type) {
        ++floor_.exchanges;
        const double headIn = Write(e.headBytes);
        if (e.hasFields && type >= 0 && type < 4) Pause(kSettleMs);
        if (e.acknowledged) {
            now_ = std::max(now_, Answer(headIn, 1));
            if (type < 4) Pause(kSettleMs);
            if (e.refused) return headIn;
        }
        const double commandIn = e.restBytes > 0 ? Write(e.restBytes) : headIn;
        if (e.answerBytes > 0) now_ = std::max(now_, Answer(commandIn, e.answerBytes));
        return commandIn;
    }

    // The readiness wait: status byte 2 polled until the printer has printed.
    void WaitUntilReady(int seconds, double readyAt, int type) {
        Exchange query;
        query.command = kStatusOfPrinting;
        query.headBytes = 2;
        query.acknowledged = true;
        query.answerBytes = 1;
        Pause(kFirstPollMs);
        if (Run(query, type) >= readyAt) return;
        for (int polls = 0; polls < seconds * 10; ++polls) {
            const double askedAt = Run(query, type);
            Pause(kPollStepMs);
            if (askedAt >= readyAt) return;
        }
    }

private:
    double Write(int bytes) {
        toPrinterFree_ = std::max(now_, toPrinterFree_) + bytes * kByteMs;
        floor_.bytesToPrinter += bytes;
        floor_.lineMs += bytes * kByteMs;
        return toPrinterFree_;
    }

    double Answer(double from, int bytes) {
        toHostFree_ = std::max(from, toHostFree_) + bytes * kByteMs;
        floor_.bytesFromPrinter += bytes;
        floor_.lineMs += bytes * kByteMs;
        return toHostFree_;
    }

    Floor& floor_;
    double now_ = 0;
    double toPrinterFree_ = 0;
    double toHostFree_ = 0;
};

bool ChecksTheReceipt(const std::string& call) {
    return call == "mfLineTicket" || call == "mfStornoLineTicket" || call == "mfLineTicketExt" ||
           call == "mfEndTicket";
}

// In the calls that check the receipt, 'P' and status byte 1 are sent only by the check.
bool StartsACheck(uint8_t command) {
    return command == kReasonQuery || command == kStatusOfReceipt;
}

double PauseAfter(const std::string& call, uint8_t command, int printerType) {
    if (call == "mfLineTicket" && command == kSaleLine && printerType < 4) return kLinePauseMs;
    if (call == "mfLineTicketExt" && command == kLineDiscount) return kLineDiscountMs;
    return 0;
}

// mfStart identifies the printer before it knows its type: these exchanges run as type -1.
size_t IdentificationLength(const TracedCall& call) {
    const std::vector<Exchange>& e = call.exchanges;
    if (call.name != "mfStart" || e.empty() || e[0].command != kIdentify) return 0;
    if (e.size() < 2 || e[1].command != kIdentifyFurther) return 1;
    return std::min(e.size(), e[1].refused ? 2 + kAfterRefusedIdentification : 2);
}

void ReplayCall(const TracedCall& call, const FloorSettings& settings, IdealRun* run) {
    const size_t identification = IdentificationLength(call);
    const int type = settings.printerType;
    bool printing = false;
    for (size_t i = 0; i < call.exchanges.size(); ++i) {
        const Exchange& e = call.exchanges[i];
        // The readiness wait after the receipt's end is replayed as the ideal one.
        if (printing && e.command == kStatusOfPrinting) continue;
        if (ChecksTheReceipt(call.name) && StartsACheck(e.command)) run->Pause(kCheckPauseMs);
        const double commandIn = run->Run(e, i < identification ? kTypeUnknown : type);
        run->Pause(PauseAfter(call.name, e.command, type));
        if (call.name == "mfEndTicket" && e.command == kEndReceipt && !e.refused) {
            run->WaitUntilReady(kEndTicketReadySeconds, commandIn + settings.printMs, type);
            printing = true;
        }
    }
}

}  // namespace

Floor IdealFloor(const std::vector<TracedCall>& calls, const FloorSettings& settings) {
    Floor floor;
    IdealRun run(&floor);
    for (const TracedCall& call : calls) ReplayCall(call, settings, &run);
    floor.totalMs = run.Now();
    return floor;
}

}  // namespace tarn::bench
