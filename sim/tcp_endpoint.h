// The virtual printer behind a TCP port, raw, as a serial-over-TCP server exposes a printer: one
// connection at a time; another is refused while it lasts (closed as soon as it is made).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "virtual_printer.h"

namespace tarn::sim {

class TcpEndpoint {
public:
    explicit TcpEndpoint(VirtualPrinter& printer);
    ~TcpEndpoint();
    TcpEndpoint(const TcpEndpoint&) = delete;
    TcpEndpoint& operator=(const TcpEndpoint&) = delete;

    // Listens on 127.0.0.1:`port` (0: a free port). False with *error set when that fails.
    bool Listen(int port, std::string* error);
    int Port() const { return port_; }
    void Serve(const std::atomic<bool>& stop);
    void WithPrinter(const std::function<void(VirtualPrinter&)>& action);
    // Called with the printer at the end of every turn of the serving loop.
    void OnTurn(std::function<void(VirtualPrinter&)> action) { onTurn_ = std::move(action); }
    // Milliseconds since the endpoint was made: the printer's clock.
    int64_t NowMs() const;

private:
    // Turns taken after a stop, for what the host had sent by then.
    static constexpr int kTurnsAfterStop = 8;

    // One turn of the loop, waiting up to `waitMs` for the host: whether it brought bytes or a
    // connection.
    bool Turn(int64_t waitMs);
    void Accept();
    size_t Receive(size_t most);
    void Flush();
    void Disconnect();

    VirtualPrinter& printer_;
    int listener_ = -1;
    int client_ = -1;
    int port_ = 0;
    int64_t startMs_;
    std::mutex mutex_;
    std::function<void(VirtualPrinter&)> onTurn_;
};

}  // namespace tarn::sim
