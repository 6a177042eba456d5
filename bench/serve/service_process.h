// tarn serve as a process of its own, with printers on the virtual printers' terminals.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tarn::bench {

class ServiceProcess {
public:
    ServiceProcess() = default;
    ~ServiceProcess() { Stop(); }
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // Starts `tarn serve` on a free loopback port with `printers` ("NAME=DEVICE") and its
    // journal in `dir`, and waits until it listens.
    bool Start(const std::string& tarn, const std::vector<std::string>& printers,
               const std::string& dir, std::string* error);
    int Port() const { return port_; }
    void Stop();

private:
    bool ReadPort(int fd, std::string* error);

    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace tarn::bench
