// An HTTP server that takes a request only when it comes whole, small and in time, and that
// stops at once whatever its clients do. cpp-httplib alone reads a request's head on one of its
// workers without bound (any number of header lines, a line of any length, each byte awaited
// anew for seconds): a flood of headers exhausts memory, and a few clients that send a byte now
// and then hold every worker and keep the server from stopping. Here one thread gathers the
// heads of all connections, a worker takes a request only when its head has come whole, and the
// request, head and body, must come within its deadline.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarn::web {

class GuardedServer : public httplib::Server {
public:
    using Clock = std::chrono::steady_clock;

    explicit GuardedServer(size_t workers);
    ~GuardedServer() override;
    GuardedServer(const GuardedServer&) = delete;
    GuardedServer& operator=(const GuardedServer&) = delete;

    // After bind_to_port: serves from threads of its own (the workers, the gathering of heads,
    // the listening), which leave SIGINT and SIGTERM to the program's own threads. False when
    // they cannot be had.
    bool ListenInBackground();
    // Ends every connection at once (a head being gathered, a request being read or answered,
    // an event stream) and stops listening; returns when every thread has ended.
    void Shutdown();

private:
    struct Waiting;

    bool process_and_close_socket(socket_t sock) override;
    void GatherHeads();
    void TakeArrivals(std::vector<Waiting>* waiting);
    void HandOn(Waiting&& waiting);
    void ServeRequest(socket_t sock, const std::string& head, Clock::time_point deadline);

    size_t workerCount_;
    std::atomic<httplib::TaskQueue*> workers_{nullptr};
    std::mutex mutex_;
    std::vector<Waiting> arrived_;  // connections accepted, not yet gathered
    bool stopping_ = false;
    int wake_[2] = {-1, -1};  // a byte written: connections arrived
    int stop_[2] = {-1, -1};  // the writing end closed: the server stops
    std::thread gatherer_;
    std::thread listener_;
};

}  // namespace tarn::web
