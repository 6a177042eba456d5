#include "platform/port_name.h"

namespace tarn {

namespace {
constexpr char kTcpPrefix[] = "tcp:";
}

std::string PortVariableName(int port) {
    return "TARN_COM" + std::to_string(port);
}

bool IsTcpDevice(const std::string& device, std::string* hostAndPort) {
    if (device.rfind(kTcpPrefix, 0) != 0) return false;
    *hostAndPort = device.substr(sizeof kTcpPrefix - 1);
    return true;
}

bool SplitHostPort(const std::string& hostAndPort, std::string* host, std::string* service) {
    const size_t colon = hostAndPort.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == hostAndPort.size()) return false;
    *host = hostAndPort.substr(0, colon);
    *service = hostAndPort.substr(colon + 1);
    return true;
}

}  // namespace tarn
