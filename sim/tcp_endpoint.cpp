#include "tcp_endpoint.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>

namespace tarn::sim {

namespace {

int64_t Monotonic() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace

TcpEndpoint::TcpEndpoint(VirtualPrinter& printer) : printer_(printer), startMs_(Monotonic()) {}

TcpEndpoint::~TcpEndpoint() {
    if (client_ >= 0) close(client_);
    if (listener_ >= 0) close(listener_);
}

int64_t TcpEndpoint::NowMs() const {
    return Monotonic() - startMs_;
}

bool TcpEndpoint::Listen(int port, std::string* error) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t length = sizeof address;
    if (listener_ < 0 ||
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 4) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        *error = std::string("cannot listen on TCP port ") + std::to_string(port) + ": " +
                 std::strerror(errno);
        return false;
    }
    port_ = ntohs(address.sin_port);
    return true;
}

// The printer belongs to one connection at a time: another is closed as soon as it is made
// while the first lasts, and so is every one while the cable is out. What the first had
// delivered when the new one came is taken first, and only that (a host that goes on sending
// cannot hold the printer): a client that hung up is then seen. A new connection is a port
// opened anew: what the printer had not yet sent is lost, and so is a command the last
// connection left half sent.
void TcpEndpoint::Accept() {
    const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0) return;
    int delivered = 0;
    if (client_ >= 0 && ioctl(client_, FIONREAD, &delivered) != 0) delivered = 0;
    for (size_t left = static_cast<size_t>(delivered); client_ >= 0 && left > 0;) {
        const size_t taken = Receive(left);
        if (taken == 0) break;
        left -= taken;
    }
    uint8_t peek = 0;
    if (client_ >= 0 && recv(client_, &peek, 1, MSG_PEEK | MSG_DONTWAIT) == 0) Disconnect();
    if (printer_.Unplugged() || client_ >= 0) {
        close(client);
        return;
    }
    client_ = client;
    printer_.NewConnection(NowMs());
}

// Hands up to `most` bytes the connection delivered to the printer: how many, 0 when nothing is
// there now or the connection has ended.
size_t TcpEndpoint::Receive(size_t most) {
    uint8_t buffer[512];
    const ssize_t n = read(client_, buffer, std::min(most, sizeof buffer));
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
    if (n <= 0) {
        Disconnect();
        return 0;
    }
    for (ssize_t i = 0; i < n; ++i) printer_.Receive(buffer[i], NowMs());
    return static_cast<size_t>(n);
}

void TcpEndpoint::Flush() {
    while (printer_.HasOutput()) {
        const uint8_t byte = printer_.TakeOutput();
        // The library reads an answer right after writing its command; a host that leaves its
        // answers unread until the socket is full is dropped, it does not hold the printer.
        if (client_ >= 0 && send(client_, &byte, 1, MSG_NOSIGNAL) != 1) Disconnect();
    }
}

void TcpEndpoint::Disconnect() {
    close(client_);
    client_ = -1;
}

void TcpEndpoint::WithPrinter(const std::function<void(VirtualPrinter&)>& action) {
    std::lock_guard<std::mutex> lock(mutex_);
    action(printer_);
}

void TcpEndpoint::Serve(const std::atomic<bool>& stop) {
    while (!stop.load()) {
        const int64_t now = NowMs();
        const int64_t next = printer_.NextDeadline();
        Turn(next <= now ? 0 : (next - now < 100 ? next - now : 100));
    }
    // What reached the printer before the stop is taken: a command's body follows its
    // acknowledge, and the host may have sent it and gone before the printer read it.
    for (int turn = 0; turn < kTurnsAfterStop && Turn(0); ++turn) {
    }
}

bool TcpEndpoint::Turn(int64_t waitMs) {
    pollfd fds[2] = {{listener_, POLLIN, 0}, {client_, POLLIN, 0}};
    const int ready = poll(fds, client_ >= 0 ? 2 : 1, static_cast<int>(waitMs));
    std::lock_guard<std::mutex> lock(mutex_);
    size_t received = 0;
    if (ready > 0 && client_ >= 0 && (fds[1].revents & (POLLIN | POLLHUP)) != 0)
        received = Receive(SIZE_MAX);
    const bool accepting = ready > 0 && (fds[0].revents & POLLIN) != 0;
    if (accepting) Accept();
    if (client_ >= 0 && printer_.Unplugged()) Disconnect();
    printer_.Tick(NowMs());
    Flush();
    if (onTurn_) onTurn_(printer_);
    return received > 0 || accepting;
}

}  // namespace tarn::sim
