// A printer exposed raw over TCP (as ser2net does): "tcp:HOST:PORT" in place of a device path.
#pragma once

#include <cstdint>
#include <string>

namespace tarn {

// A connected, non-blocking socket to HOST:PORT, or -1 with *error set. The connection
// attempt gives up after `timeoutMs`.
int ConnectTcp(const std::string& hostAndPort, int timeoutMs, uint32_t* error);

}  // namespace tarn
