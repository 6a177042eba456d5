#include "guarded_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace tarn::web {

namespace {

using Clock = GuardedServer::Clock;

// No request the panel serves has a head (request line and header lines) near this size.
constexpr size_t kLargestHead = 16 * 1024;
// From the connection to the last byte of the request's body.
constexpr auto kRequestTime = std::chrono::seconds(5);
// A client that takes nothing of an answer for this long is left.
constexpr auto kWriteTime = std::chrono::seconds(5);
// After its answer, a client's unsent rest is read for at most this long: closing with unread
// bytes would reset the connection, and the answer with it.
constexpr auto kLinger = std::chrono::seconds(1);
// Heads being gathered at once; beyond, the oldest connection is dropped.
constexpr size_t kMostWaiting = 64;

int MsUntil(Clock::time_point until) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, 60000));
}

// Whether `sock` became ready for `events` before `until`; false too once `stop` is readable
// (the server stops).
bool WaitFor(int sock, short events, int stop, Clock::time_point until) {
    for (;;) {
        pollfd fds[2] = {{sock, events, 0}, {stop, POLLIN, 0}};
        const int ready = poll(fds, 2, MsUntil(until));
        if (ready < 0 && errno == EINTR) continue;
        return ready > 0 && fds[1].revents == 0 && fds[0].revents != 0;
    }
}

// Ends a connection without losing what was written to it last.
void CloseGently(int sock, int stop) {
    shutdown(sock, SHUT_WR);
    const Clock::time_point until = Clock::now() + kLinger;
    char unread[4096];
    while (WaitFor(sock, POLLIN, stop, until) && recv(sock, unread, sizeof unread, 0) > 0) {
    }
    close(sock);
}

// A request refused before cpp-httplib saw it: the status line, and the same as the body.
void RefuseWith(int sock, const std::string& status) {
    const std::string answer = "HTTP/1.1 " + status +
                               "\r\nContent-Type: text/plain\r\nConnection: close\r\n"
                               "Content-Length: " +
                               std::to_string(status.size() + 1) + "\r\n\r\n" + status + "\n";
    send(sock, answer.data(), answer.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
}

void Address(int sock, bool peer, std::string& ip, int& port) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    auto* any = reinterpret_cast<sockaddr*>(&address);
    if ((peer ? getpeername(sock, any, &length) : getsockname(sock, any, &length)) != 0) return;
    char text[INET_ADDRSTRLEN] = "";
    if (inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) != nullptr) ip = text;
    port = ntohs(address.sin_port);
}

// One connection as cpp-httplib reads a request from it and answers: first the head gathered
// for it, then the socket. Reading ends at the request's deadline, writing when the client
// takes nothing for kWriteTime, and both at once when the server stops.
class Connection final : public httplib::Stream {
public:
    Connection(int sock, const std::string& head, Clock::time_point deadline, int stop)
        : sock_(sock), head_(head), deadline_(deadline), stop_(stop) {}

    bool is_readable() const override {
        return taken_ < head_.size() || WaitFor(sock_, POLLIN, stop_, deadline_);
    }
    bool is_writable() const override {
        return WaitFor(sock_, POLLOUT, stop_, Clock::now() + kWriteTime);
    }
    ssize_t read(char* ptr, size_t size) override {
        if (taken_ < head_.size()) {
            const size_t count = std::min(size, head_.size() - taken_);
            std::memcpy(ptr, head_.data() + taken_, count);
            taken_ += count;
            return static_cast<ssize_t>(count);
        }
        for (;;) {
            if (!WaitFor(sock_, POLLIN, stop_, deadline_)) return -1;
            const ssize_t count = recv(sock_, ptr, size, MSG_DONTWAIT);
            if (count >= 0 || (errno != EAGAIN && errno != EINTR)) return count;
        }
    }
    ssize_t write(const char* ptr, size_t size) override {
        const Clock::time_point until = Clock::now() + kWriteTime;
        for (;;) {
            if (!WaitFor(sock_, POLLOUT, stop_, until)) return -1;
            const ssize_t count = send(sock_, ptr, size, MSG_DONTWAIT | MSG_NOSIGNAL);
            if (count >= 0 || (errno != EAGAIN && errno != EINTR)) return count;
        }
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        Address(sock_, true, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        Address(sock_, false, ip, port);
    }
    socket_t socket() const override { return sock_; }

private:
    int sock_;
    const std::string& head_;
    size_t taken_ = 0;
    Clock::time_point deadline_;
    int stop_;
};

}  // namespace

// A connection whose head is being gathered, or (`closing`) one refused whose rest is read
// until it is closed.
struct GuardedServer::Waiting {
    int sock;
    Clock::time_point deadline;
    std::string head;
    size_t searched = 0;  // the head has no end before this
    bool closing = false;

    // Takes what the client sent (up to the largest head); false when it has gone.
    bool Take() {
        char bytes[4096];
        const size_t room = closing ? sizeof bytes : kLargestHead - head.size();
        const ssize_t got = recv(sock, bytes, std::min(room, sizeof bytes), MSG_DONTWAIT);
        if (got < 0) return errno == EAGAIN || errno == EINTR;
        if (!closing) head.append(bytes, static_cast<size_t>(got));
        return got > 0;
    }
    bool HeadEnded() {
        const bool ended = head.find("\r\n\r\n", searched) != std::string::npos;
        searched = head.size() < 3 ? 0 : head.size() - 3;
        return ended;
    }
    void Refuse(const char* status) {
        RefuseWith(sock, status);
        shutdown(sock, SHUT_WR);
        closing = true;
        deadline = Clock::now() + kLinger;
    }
};

GuardedServer::GuardedServer(size_t workers) : workerCount_(workers) {
    new_task_queue = [this] {
        auto* queue = new httplib::ThreadPool(workerCount_);
        workers_ = queue;
        return queue;
    };
}

GuardedServer::~GuardedServer() {
    Shutdown();
    for (const int fd : {wake_[0], wake_[1], stop_[0], stop_[1]}) {
        if (fd >= 0) close(fd);
    }
}

bool GuardedServer::ListenInBackground() {
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0 || pipe2(stop_, O_CLOEXEC) != 0) return false;
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
    gatherer_ = std::thread([this] { GatherHeads(); });
    listener_ = std::thread([this] { listen_after_bind(); });
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    // Stopping a server that has not begun to listen would not stop it.
    for (int i = 0; i < 2000 && !is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void GuardedServer::Shutdown() {
    if (!listener_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    close(stop_[1]);
    stop_[1] = -1;
    gatherer_.join();  // it hands nothing more to the workers
    workers_ = nullptr;
    stop();
    listener_.join();
}

// The accepting thread hands each connection here: it is gathered apart, no worker waits on it.
bool GuardedServer::process_and_close_socket(socket_t sock) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) {
        close(sock);
        return false;
    }
    arrived_.push_back({sock, Clock::now() + kRequestTime, {}});
    const char wake = 1;
    // A full pipe has woken the gatherer already.
    return ::write(wake_[1], &wake, 1) == 1 || errno == EAGAIN;
}

void GuardedServer::TakeArrivals(std::vector<Waiting>* waiting) {
    char drained[64];
    while (::read(wake_[0], drained, sizeof drained) > 0) {
    }
    std::lock_guard<std::mutex> lock(mutex_);
    for (Waiting& arrived : arrived_) waiting->push_back(std::move(arrived));
    arrived_.clear();
    while (waiting->size() > kMostWaiting) {
        Waiting& oldest = waiting->front();
        if (!oldest.closing) RefuseWith(oldest.sock, "503 Service Unavailable");
        close(oldest.sock);
        waiting->erase(waiting->begin());
    }
}

// One poll for every connection whose head has not ended yet: a whole head goes to a worker, a
// head too large or too late is refused, and what a refused client goes on sending is read for
// a moment, so that the refusal reaches it.
void GuardedServer::GatherHeads() {
    std::vector<Waiting> waiting;
    std::vector<pollfd> fds;
    for (;;) {
        fds.assign({{stop_[0], POLLIN, 0}, {wake_[0], POLLIN, 0}});
        Clock::time_point next = Clock::now() + std::chrono::seconds(60);
        for (const Waiting& w : waiting) {
            fds.push_back({w.sock, POLLIN, 0});
            next = std::min(next, w.deadline);
        }
        if (poll(fds.data(), fds.size(), MsUntil(next)) < 0 && errno != EINTR)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));  // out of memory
        if (fds[0].revents != 0) break;
        std::vector<Waiting> still;
        for (size_t i = 0; i < waiting.size(); ++i) {
            Waiting& w = waiting[i];
            const bool late = Clock::now() >= w.deadline;
            if ((fds[i + 2].revents != 0 && !w.Take()) || (w.closing && late)) {
                close(w.sock);
                continue;
            }
            if (!w.closing && w.HeadEnded()) {
                HandOn(std::move(w));
                continue;
            }
            if (!w.closing && (late || w.head.size() >= kLargestHead))
                w.Refuse(late ? "408 Request Timeout" : "431 Request Header Fields Too Large");
            still.push_back(std::move(w));
        }
        waiting = std::move(still);
        TakeArrivals(&waiting);
    }
    TakeArrivals(&waiting);
    for (const Waiting& w : waiting) close(w.sock);
}

void GuardedServer::HandOn(Waiting&& waiting) {
    httplib::TaskQueue* workers = workers_;
    if (workers == nullptr) {
        close(waiting.sock);
        return;
    }
    workers->enqueue([this, w = std::move(waiting)] { ServeRequest(w.sock, w.head, w.deadline); });
}

void GuardedServer::ServeRequest(socket_t sock, const std::string& head,
                                 Clock::time_point deadline) {
    Connection connection(sock, head, deadline, stop_[0]);
    bool closed = false;
    process_request(connection, true, closed, nullptr);
    CloseGently(sock, stop_[0]);
}

}  // namespace tarn::web
