// What names serial port n, on every platform: the environment variable TARN_COM<n> when it is
// set, and within it "tcp:HOST:PORT" for a printer exposed raw over TCP (as ser2net does).
#pragma once

#include <string>

namespace tarn {

// "TARN_COM<n>".
std::string PortVariableName(int port);

// True when `device` is "tcp:..."; *hostAndPort is then what follows the prefix.
bool IsTcpDevice(const std::string& device, std::string* hostAndPort);

// Splits "HOST:PORT" at its last colon (so "::1:9100" is host "::1"); false when either part is
// empty or there is no colon.
bool SplitHostPort(const std::string& hostAndPort, std::string* host, std::string* service);

}  // namespace tarn
