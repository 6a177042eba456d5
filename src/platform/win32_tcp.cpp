#include "platform/win32_tcp.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "platform/port_name.h"

namespace tarn {

namespace {

// What a negative time-out means where something must bound the wait, as on POSIX.
constexpr int kDefaultConnectMs = 5000;
constexpr int kDefaultWriteMs = 30000;

uint32_t LastSocketError() {
    return static_cast<uint32_t>(WSAGetLastError());
}

// Winsock is started once for the process, on the first connection (never from DllMain, where
// it must not be), and stays started: WSACleanup is not allowed at unload either.
int StartWinsock() {
    static const int result = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    return result;
}

enum class Awaited { Readable, Writable, Connected };

// Waits until `socket` is as awaited or the deadline on the monotonic clock passes. 1 ready,
// 0 timed out, -1 failed (a connection attempt that failed shows in the exception set).
int WaitUntil(SOCKET socket, Awaited awaited, int64_t deadline) {
    const int64_t left = deadline - RealPlatform().MonotonicMs();
    const int64_t wait = left > 0 ? left : 0;
    timeval timeout{static_cast<long>(wait / 1000), static_cast<long>(wait % 1000 * 1000)};
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(socket, &ready);
    FD_SET(socket, &failed);
    const bool reading = awaited == Awaited::Readable;
    const int n = select(0, reading ? &ready : nullptr, reading ? nullptr : &ready,
                         awaited == Awaited::Connected ? &failed : nullptr, &timeout);
    if (n == SOCKET_ERROR) return -1;
    if (n == 0) return 0;
    return FD_ISSET(socket, &ready) ? 1 : -1;
}

int64_t DeadlineAfter(int ms) {
    return RealPlatform().MonotonicMs() + ms;
}

// A connected socket, closed with its last owner.
class Connection {
public:
    explicit Connection(SOCKET socket) : socket_(socket) {}
    ~Connection() { closesocket(socket_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    SOCKET Socket() const { return socket_; }

private:
    SOCKET socket_;
};

class Win32TcpDevice final : public SerialDevice {
public:
    Win32TcpDevice(std::shared_ptr<Connection> connection, int timeoutMs)
        : socket_(connection->Socket()),
          timeoutMs_(timeoutMs),
          connection_(std::move(connection)) {}

    // Writes what the time-out lets through; the count written tells the caller the rest.
    int Write(const uint8_t* bytes, int count, uint32_t* error) override {
        const int64_t deadline = DeadlineAfter(timeoutMs_ >= 0 ? timeoutMs_ : kDefaultWriteMs);
        int written = 0;
        while (written < count) {
            const int n =
                send(socket_, reinterpret_cast<const char*>(bytes) + written, count - written, 0);
            if (n > 0) {
                written += n;
                continue;
            }
            if (WSAGetLastError() != WSAEWOULDBLOCK) return Fail(error);
            const int ready = WaitUntil(socket_, Awaited::Writable, deadline);
            if (ready < 0) return Fail(error);
            if (ready == 0) break;
        }
        return written;
    }

    // A closed connection is a failure, not a time-out: the printer is gone.
    ReadResult ReadByte(uint8_t* byte, int limitMs, uint32_t* error) override {
        const int64_t deadline =
            DeadlineAfter((std::min)(timeoutMs_ > 0 ? timeoutMs_ : 0, limitMs));
        for (;;) {
            const int ready = WaitUntil(socket_, Awaited::Readable, deadline);
            if (ready == 0) return ReadResult::TimedOut;
            if (ready < 0) {
                *error = LastSocketError();
                return ReadResult::Failed;
            }
            const int n = recv(socket_, reinterpret_cast<char*>(byte), 1, 0);
            if (n == 1) return ReadResult::Byte;
            if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) continue;
            *error = n == 0 ? static_cast<uint32_t>(WSAEDISCON) : LastSocketError();
            return ReadResult::Failed;
        }
    }

    bool Close(uint32_t*) override {
        socket_ = INVALID_SOCKET;
        connection_.reset();  // closed with its last owner
        return true;
    }

    // The connection is the printer's for the session: no other process gets it in between.
    bool HeldForSession() const override { return true; }

    // The socket does not block: an empty one answers WSAEWOULDBLOCK, a closed one 0.
    bool DropLateInput() override {
        for (;;) {
            char bytes[256];
            const int got = recv(socket_, bytes, sizeof bytes, 0);
            if (got > 0) continue;
            return got == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK;
        }
    }

private:
    int Fail(uint32_t* error) {
        *error = LastSocketError();
        return -1;
    }

    SOCKET socket_;
    int timeoutMs_;
    std::shared_ptr<Connection> connection_;
};

// Waits for a non-blocking connect to finish; true when it succeeded.
bool FinishConnect(SOCKET socket, int timeoutMs, uint32_t* error) {
    const int ready = WaitUntil(socket, Awaited::Connected, DeadlineAfter(timeoutMs));
    if (ready == 0) {
        *error = WSAETIMEDOUT;
        return false;
    }
    int failure = 0;
    int length = sizeof failure;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure), &length) != 0) {
        *error = LastSocketError();
        return false;
    }
    if (failure != 0 || ready < 0) {
        *error = static_cast<uint32_t>(failure != 0 ? failure : WSAECONNREFUSED);
        return false;
    }
    return true;
}

// A non-blocking socket connected to `address` without delaying small writes (a command goes
// out whole at once), not inherited by child processes; INVALID_SOCKET with *error set.
SOCKET TryAddress(const addrinfo* address, int timeoutMs, uint32_t* error) {
    const SOCKET s = socket(address->ai_family, address->ai_socktype, address->ai_protocol);
    if (s == INVALID_SOCKET) {
        *error = LastSocketError();
        return INVALID_SOCKET;
    }
    // A socket is a kernel handle.
    SetHandleInformation(reinterpret_cast<HANDLE>(s),  // NOLINT(performance-no-int-to-ptr)
                         HANDLE_FLAG_INHERIT, 0);
    u_long nonBlocking = 1;
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    const bool connected =
        ioctlsocket(s, FIONBIO, &nonBlocking) == 0 &&
        (connect(s, address->ai_addr, static_cast<int>(address->ai_addrlen)) == 0 ||
         (WSAGetLastError() == WSAEWOULDBLOCK && FinishConnect(s, timeoutMs, error)));
    if (!connected) {
        if (*error == 0) *error = LastSocketError();
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

SOCKET Connect(const std::string& hostAndPort, int timeoutMs, uint32_t* error) {
    std::string host;
    std::string service;
    if (!SplitHostPort(hostAndPort, &host, &service)) {
        *error = WSAEINVAL;
        return INVALID_SOCKET;
    }
    if (const int started = StartWinsock(); started != 0) {
        *error = static_cast<uint32_t>(started);
        return INVALID_SOCKET;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (const int failed = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
        failed != 0 || found == nullptr) {
        *error = static_cast<uint32_t>(failed != 0 ? failed : WSAHOST_NOT_FOUND);
        return INVALID_SOCKET;
    }
    SOCKET s = INVALID_SOCKET;
    for (const addrinfo* a = found; a != nullptr && s == INVALID_SOCKET; a = a->ai_next) {
        *error = 0;
        s = TryAddress(a, timeoutMs > 0 ? timeoutMs : kDefaultConnectMs, error);
    }
    freeaddrinfo(found);
    return s;
}

}  // namespace

// The connection this process holds to HOST:PORT already is shared (the printer is the
// process's: a raw command goes through the session's connection). Used under the library
// lock, as every port is.
std::unique_ptr<SerialDevice> OpenTcpDevice(const std::string& hostAndPort, int timeoutMs,
                                            uint32_t* error) {
    static std::map<std::string, std::weak_ptr<Connection>> held;
    std::shared_ptr<Connection> connection = held[hostAndPort].lock();
    if (!connection) {
        const SOCKET s = Connect(hostAndPort, timeoutMs, error);
        if (s == INVALID_SOCKET) return nullptr;
        connection = std::make_shared<Connection>(s);
        held[hostAndPort] = connection;
    }
    return std::make_unique<Win32TcpDevice>(std::move(connection), timeoutMs);
}

}  // namespace tarn
