#include "worker_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

extern char** environ;

namespace tarn::serve {

namespace {

// Beyond a call's own bound: the worker's start, scheduling, a loaded machine.
constexpr int kMarginMs = 10000;

bool IsPortNumber(const std::string& port) {
    return !port.empty() && port.size() <= 3 &&
           port.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

WorkerProcess::WorkerProcess(PrinterConfig printer, std::string program, std::string directory)
    : printer_(std::move(printer)),
      program_(std::move(program)),
      directory_(std::move(directory)) {}

WorkerProcess::~WorkerProcess() {
    Stop();
}

// The worker runs in the printer's own directory (its log, tarnel.txt, is the printer's) and
// reaches the printer as port 1, named by TARN_COM1, unless a port number was configured.
bool WorkerProcess::Spawn() {
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return false;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return false;
    }
    const bool numbered = IsPortNumber(printer_.port);
    std::vector<std::string> args = {program_, "--port", numbered ? printer_.port : "1", "serve",
                                     "--worker"};
    if (!printer_.logo.empty()) args.insert(args.end(), {"--logo", printer_.logo});
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("TARN_COM", 0) != 0) environment.emplace_back(*e);
    }
    if (!numbered) environment.push_back("TARN_COM1=" + printer_.port);
    std::vector<char*> argv, envp;
    for (std::string& a : args) argv.push_back(a.data());
    for (std::string& e : environment) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, directory_.c_str());
    posix_spawnattr_t attributes;  // the service blocks and ignores signals; not the worker
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &pipe);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int spawned =
        posix_spawn(&pid_, program_.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    toWorker_ = in[1];
    fromWorker_ = out[0];
    pending_.clear();
    if (spawned != 0) {
        pid_ = -1;
        Kill();
    }
    return spawned == 0;
}

bool WorkerProcess::ReadLine(int waitMs, std::string* line) {
    const int64_t until = NowMs() + waitMs;
    for (;;) {
        const size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            *line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        pollfd fd = {fromWorker_, POLLIN, 0};
        const int64_t left = until - NowMs();
        if (left <= 0) return false;
        const int ready = poll(&fd, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char bytes[4096];
        const ssize_t got = read(fromWorker_, bytes, sizeof bytes);
        if (got <= 0) return false;
        pending_.append(bytes, static_cast<size_t>(got));
    }
}

bool WorkerProcess::Ask(const Json& request, Json* reply) {
    if (pid_ <= 0 && !Spawn()) return false;
    const std::string line = request.dump() + "\n";
    if (write(toWorker_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        Kill();
        return false;
    }
    int waitMs = kMarginMs;
    for (std::string answer; ReadLine(waitMs, &answer);) {
        const Json message = Json::parse(answer, nullptr, false);
        if (message.is_object() && message.contains("reply")) {
            *reply = message["reply"];
            return true;
        }
        if (message.is_object() && message.contains("bound_ms"))
            waitMs = message["bound_ms"].get<int>() + kMarginMs;
    }
    Kill();
    return false;
}

bool WorkerProcess::Alive() {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        Kill();
    }
    return pid_ > 0;
}

void WorkerProcess::Kill() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
    for (int* fd : {&toWorker_, &fromWorker_}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
}

// The worker ends its session when its requests end.
void WorkerProcess::Stop() {
    if (toWorker_ >= 0) close(toWorker_);
    toWorker_ = -1;
    std::string line;
    while (pid_ > 0 && ReadLine(kMarginMs, &line)) {
    }
    Kill();
}

}  // namespace tarn::serve
