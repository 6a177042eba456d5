#include "sim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace tarn::bench {

namespace {

constexpr int kReadyChecks = 500;
constexpr auto kReadyCheckEvery = std::chrono::milliseconds(10);

}  // namespace

bool SimProcess::Start(const std::string& binary, std::vector<std::string> args,
                       const std::string& linkPath, std::string* error) {
    args.insert(args.begin(), binary);
    args.push_back("--link");
    args.push_back(linkPath);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        *error = "cannot start " + binary;
        return false;
    }
    for (int i = 0; i < kReadyChecks; ++i) {
        if (access(linkPath.c_str(), F_OK) == 0) return true;
        std::this_thread::sleep_for(kReadyCheckEvery);
    }
    *error = binary + " made no terminal at " + linkPath;
    Stop();
    return false;
}

void SimProcess::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace tarn::bench
