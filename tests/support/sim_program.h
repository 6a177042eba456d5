// The tarn-sim program run as a person runs it: on a pseudo-terminal linked to a path, or on a
// TCP port, its output (the roll) kept in a file.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace tarn::test {

class SimProgram {
public:
    ~SimProgram() { Stop(); }

    // Starts tarn-sim with `args` (e.g. "--link", path) writing to `outputPath`; waits until
    // `readyPath` exists (the link) or the output names its TCP port. False when it did not start.
    bool Start(const std::vector<std::string>& args, const std::string& outputPath,
               const std::string& readyPath);
    void Stop();
    // The TCP port tarn-sim reported, when it was started with --tcp.
    int TcpPort() const;
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::string outputPath_;
};

struct CommandResult {
    std::string output;
    int status;
};

// Runs a shell command; its output and exit status.
CommandResult RunCommand(const std::string& command);

}  // namespace tarn::test
