// A printer exposed raw over TCP (as ser2net does): "tcp:HOST:PORT" in place of a device path.
// The connection is held for the whole session, as a serial server lets one client at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tarn {

// A connected, non-blocking socket, closed with its last owner.
class TcpConnection {
public:
    explicit TcpConnection(int socket) : socket_(socket) {}
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;
    int Socket() const { return socket_; }

private:
    int socket_;
};

// The connection to HOST:PORT: the one this process holds already (the printer is the
// process's: a raw command goes through the session's connection), or a new one, or null with
// *error set. The connection attempt gives up after `timeoutMs`.
std::shared_ptr<TcpConnection> ConnectTcp(const std::string& hostAndPort, int timeoutMs,
                                          uint32_t* error);

// Reads and drops what waits on the connected non-blocking `socket`; false when the other end
// has closed the connection or it failed.
bool DropWaitingBytes(int socket);

}  // namespace tarn
