// The virtual printer on a pseudo-terminal, in real time: a program opens the terminal's
// path as its serial port and talks to the printer as to a real one.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "serial_line.h"
#include "virtual_printer.h"

namespace tarn::sim {

class PtyEndpoint {
public:
    // A paced endpoint keeps serial timing (SerialLine): the printer takes each byte only
    // when the line would have carried it, and its answers leave byte by byte at line speed.
    // Otherwise bytes pass at once.
    explicit PtyEndpoint(VirtualPrinter& printer, bool paced = false);
    ~PtyEndpoint();
    PtyEndpoint(const PtyEndpoint&) = delete;
    PtyEndpoint& operator=(const PtyEndpoint&) = delete;

    // Creates the pseudo-terminal. False with *error set when that fails.
    bool Open(std::string* error);
    const std::string& Path() const { return path_; }
    // Also reachable as `linkPath` (a symbolic link, removed again by the destructor).
    bool Link(const std::string& linkPath, std::string* error);
    // Serves the printer until `stop` is set.
    void Serve(const std::atomic<bool>& stop);
    // Milliseconds since the endpoint was made: the printer's clock.
    int64_t NowMs() const;
    // Runs `action` on the printer while the serving loop keeps its hands off it.
    void WithPrinter(const std::function<void(VirtualPrinter&)>& action);
    // Called with the printer at the end of every turn of the serving loop.
    void OnTurn(std::function<void(VirtualPrinter&)> action) { onTurn_ = std::move(action); }

private:
    struct TimedByte {
        uint8_t byte;
        int64_t dueNs;
    };

    // Turns taken after a stop, for what the host had written by then.
    static constexpr int kTurnsAfterStop = 8;

    void ServeAtOnce(const std::atomic<bool>& stop);
    // One turn, waiting up to `waitMs` for the host: whether it brought bytes.
    bool TurnAtOnce(int64_t waitMs);
    void ServePaced(const std::atomic<bool>& stop);
    void Flush();
    void KeepLineSettable();
    int64_t NowNs() const;
    int64_t NextDueNs() const;
    void WaitForHost(int64_t untilNs);
    void TakeFromHost();
    void DeliverDue(int64_t nowNs);
    void QueueAnswers(int64_t emittedNs);
    void SendDue(int64_t nowNs);

    VirtualPrinter& printer_;
    bool paced_;
    SerialLine toPrinter_;
    SerialLine toHost_;
    std::deque<TimedByte> arriving_;
    std::deque<TimedByte> leaving_;
    int master_ = -1;
    int heldSlave_ = -1;
    std::string path_;
    std::string link_;
    int64_t startNs_;
    std::mutex mutex_;
    std::function<void(VirtualPrinter&)> onTurn_;
};

}  // namespace tarn::sim
