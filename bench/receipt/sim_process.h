// tarn-sim as a process of its own, on a pseudo-terminal reachable through a link.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tarn::bench {

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts `binary` with `args` and `--link linkPath`, and waits until the link is there.
    bool Start(const std::string& binary, std::vector<std::string> args,
               const std::string& linkPath, std::string* error);
    void Stop();

private:
    pid_t pid_ = -1;
};

}  // namespace tarn::bench
