#include "sim_program.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "test_dir.h"

extern char** environ;

namespace tarn::test {

bool SimProgram::Start(const std::vector<std::string>& args, const std::string& outputPath,
                       const std::string& readyPath) {
    outputPath_ = outputPath;
    std::vector<std::string> all{TARN_SIM_BINARY};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(all.size() + 1);
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int spawned =
        posix_spawn(&pid_, TARN_SIM_BINARY, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    for (int i = 0; i < 200; ++i) {
        // The link is made before tarn-sim says so: its lines are on the roll's file only then.
        if (!readyPath.empty() && access(readyPath.c_str(), F_OK) == 0 &&
            ReadFile(outputPath).find("tarn-sim: linked ") != std::string::npos)
            return true;
        if (readyPath.empty() && TcpPort() > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void SimProgram::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

int SimProgram::TcpPort() const {
    const std::string output = ReadFile(outputPath_);
    const size_t at = output.find("tcp:127.0.0.1:");
    return at == std::string::npos ? -1 : std::atoi(output.c_str() + at + 14);
}

CommandResult RunCommand(const std::string& command) {
    CommandResult result{"", -1};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) result.output += buffer;
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace tarn::test
