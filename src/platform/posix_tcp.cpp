#include "platform/posix_tcp.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "platform/port_name.h"

namespace tarn {

namespace {

// Waits for a non-blocking connect to finish; true when it succeeded.
bool FinishConnect(int fd, int timeoutMs, uint32_t* error) {
    pollfd pfd{fd, POLLOUT, 0};
    int ready = 0;
    do {
        ready = poll(&pfd, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        *error = static_cast<uint32_t>(ready == 0 ? ETIMEDOUT : errno);
        return false;
    }
    int failure = 0;
    socklen_t length = sizeof failure;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &failure, &length) != 0 || failure != 0) {
        *error = static_cast<uint32_t>(failure != 0 ? failure : errno);
        return false;
    }
    return true;
}

int TryAddress(const addrinfo* address, int timeoutMs, uint32_t* error) {
    const int fd = socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                          address->ai_protocol);
    if (fd < 0) {
        *error = static_cast<uint32_t>(errno);
        return -1;
    }
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const bool connected = connect(fd, address->ai_addr, address->ai_addrlen) == 0 ||
                           (errno == EINPROGRESS && FinishConnect(fd, timeoutMs, error));
    if (!connected) {
        if (*error == 0) *error = static_cast<uint32_t>(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

int Connect(const std::string& hostAndPort, int timeoutMs, uint32_t* error) {
    std::string host;
    std::string service;
    if (!SplitHostPort(hostAndPort, &host, &service)) {
        *error = static_cast<uint32_t>(EINVAL);
        return -1;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || found == nullptr) {
        *error = static_cast<uint32_t>(EHOSTUNREACH);
        return -1;
    }
    int fd = -1;
    for (const addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        *error = 0;
        fd = TryAddress(a, timeoutMs > 0 ? timeoutMs : 5000, error);
    }
    freeaddrinfo(found);
    return fd;
}

}  // namespace

TcpConnection::~TcpConnection() {
    ::close(socket_);
}

// Used under the library lock, as every port is.
std::shared_ptr<TcpConnection> ConnectTcp(const std::string& hostAndPort, int timeoutMs,
                                          uint32_t* error) {
    static std::map<std::string, std::weak_ptr<TcpConnection>> held;
    if (std::shared_ptr<TcpConnection> connection = held[hostAndPort].lock()) return connection;
    const int fd = Connect(hostAndPort, timeoutMs, error);
    if (fd < 0) return nullptr;
    auto connection = std::make_shared<TcpConnection>(fd);
    held[hostAndPort] = connection;
    return connection;
}

bool DropWaitingBytes(int socket) {
    for (;;) {
        char bytes[256];
        const ssize_t got = recv(socket, bytes, sizeof bytes, MSG_DONTWAIT);
        if (got > 0) continue;
        if (got < 0 && errno == EINTR) continue;
        return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

}  // namespace tarn
