// A printer exposed raw over TCP (as ser2net does) for TARN.dll: "tcp:HOST:PORT" in TARN_COM<n>
// in place of a COM port, through Winsock 2. The connection is held for the whole session.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace tarn {

// A device on a connected socket to HOST:PORT, or null with *error set (a Winsock error code).
// The connection attempt and each write and one-byte read give up after `timeoutMs`, as the
// serial port's time-outs do; a negative time-out reads without waiting and writes and
// connects with the driver's defaults.
std::unique_ptr<SerialDevice> OpenTcpDevice(const std::string& hostAndPort, int timeoutMs,
                                            uint32_t* error);

}  // namespace tarn
