#include "service_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace tarn::bench {

namespace {

constexpr auto kStartBound = std::chrono::seconds(20);
constexpr const char* kListening = "listening on http://127.0.0.1:";

}  // namespace

bool ServiceProcess::Start(const std::string& tarn, const std::vector<std::string>& printers,
                           const std::string& dir, std::string* error) {
    std::vector<std::string> args{tarn,          "serve",     "--listen",
                                  "127.0.0.1:0", "--journal", dir + "/journal.db"};
    for (const std::string& printer : printers) args.insert(args.end(), {"--printer", printer});
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) {
        *error = "cannot make a pipe";
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (dir + "/serve.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int spawned = posix_spawn(&pid_, tarn.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) pid_ = -1;
    const bool started = spawned == 0 && ReadPort(out[0], error);
    close(out[0]);
    if (spawned != 0) *error = "cannot start " + tarn;
    if (!started) Stop();
    return started;
}

// The service says where it listens on its first line.
bool ServiceProcess::ReadPort(int fd, std::string* error) {
    std::string said;
    const auto deadline = std::chrono::steady_clock::now() + kStartBound;
    char chunk[256];
    while (said.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 100) <= 0) continue;
        const ssize_t got = read(fd, chunk, sizeof chunk);
        if (got <= 0) break;
        said.append(chunk, static_cast<size_t>(got));
    }
    const size_t at = said.find(kListening);
    port_ = at == std::string::npos ? 0 : std::atoi(said.c_str() + at + strlen(kListening));
    if (port_ <= 0) *error = "tarn serve did not say where it listens: " + said;
    return port_ > 0;
}

void ServiceProcess::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace tarn::bench
