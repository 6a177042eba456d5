#include "web_panel.h"

#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>

#include "printer_view.h"

namespace tarn::web {

extern const char kPage[];

namespace {

using Clock = std::chrono::steady_clock;
using sim::VirtualPrinter;

// Enough workers for the open tabs' event streams and the requests beside them; a stream
// beyond kMaxStreams is turned away so that the buttons always find a worker.
constexpr size_t kWorkers = 16;
constexpr size_t kMaxStreams = 8;
// No request the panel takes has a body worth more.
constexpr size_t kLargestBody = 1024;
// A stream looks at the printer at least this often: its busy time, its restart after a power
// loss and the cashier closing the drawer change with time alone.
constexpr auto kStreamWake = std::chrono::milliseconds(1000);
// After a change a stream waits this long, so that a burst of bytes makes one event.
constexpr auto kSettle = std::chrono::milliseconds(25);
// A stream with nothing to say for this many wakes writes a comment: a closed tab then shows
// as a failed write within a few seconds, and its worker is free again.
constexpr int kQuietWakes = 2;

int64_t MonotonicMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
        .count();
}

// The local time to the millisecond, as the trace shows it.
std::string ClockNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(now.tv_nsec / 1000000));
    return text;
}

// Wakes the event streams when the printer may have changed, and keeps the wire trace. The
// serving loop calls Wire() while it holds the printer; nothing here takes the printer's lock.
class ChangeHub {
public:
    void Changed() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++version_;
        }
        wake_.notify_all();
    }
    void Wire(bool toPrinter, uint8_t byte) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            trace_.Add(toPrinter, byte, MonotonicMs(), ClockNow);
            ++version_;
            ++traceVersion_;
        }
        wake_.notify_all();
    }
    // Returns when the version is no longer `seen`, after `timeout`, or when the hub stops.
    void Wait(uint64_t seen, Clock::duration timeout) {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait_for(lock, timeout, [&] { return stopping_ || version_ != seen; });
    }
    // Waits `pause`; false when the hub stops first.
    bool Pause(Clock::duration pause) {
        std::unique_lock<std::mutex> lock(mutex_);
        return !wake_.wait_for(lock, pause, [&] { return stopping_; });
    }
    uint64_t Version() {
        std::lock_guard<std::mutex> lock(mutex_);
        return version_;
    }
    bool Stopping() {
        std::lock_guard<std::mutex> lock(mutex_);
        return stopping_;
    }
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
    }
    // The trace as JSON when it changed since *seen (which then moves on), else empty.
    std::string TraceSince(uint64_t* seen) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (*seen == traceVersion_) return "";
        *seen = traceVersion_;
        return trace_.Json();
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    uint64_t version_ = 0;
    uint64_t traceVersion_ = 0;
    bool stopping_ = false;
    WireTrace trace_;
};

// What one open page has been sent: all its state, held by its stream alone.
struct EventStream {
    static constexpr uint64_t kNothingSent = ~uint64_t{0};
    uint64_t seen = kNothingSent;
    uint64_t traceSeen = kNothingSent;
    size_t lines = 0;
    std::string members;
    int quietWakes = 0;
};

using Action = std::function<void(VirtualPrinter&, int64_t nowMs)>;
// Reads a fault's parameters: the action, or an empty one with *error set.
using FaultReader = Action (*)(const httplib::Request&, std::string* error);

// "seconds" from `least` to `most`; `fallback` when it is absent (0: it must be there).
bool ReadSeconds(const httplib::Request& req, int least, int most, int fallback, int64_t* ms,
                 std::string* error) {
    if (!req.has_param("seconds") && fallback > 0) {
        *ms = fallback * int64_t{1000};
        return true;
    }
    const std::string text = req.get_param_value("seconds");
    char* end = nullptr;
    errno = 0;
    const long seconds = text.empty() ? 0 : std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || end == nullptr || *end != '\0' || seconds < least ||
        seconds > most) {
        *error = "seconds must be a whole number from " + std::to_string(least) + " to " +
                 std::to_string(most);
        return false;
    }
    *ms = seconds * int64_t{1000};
    return true;
}

// Four status bytes as eight hexadecimal digits, which spaces, commas, colons or dashes may
// separate: "0B 08 00 00".
bool ReadStatusBytes(const std::string& text, std::array<uint8_t, 4>* bytes) {
    std::string digits;
    for (const char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else if (c != ' ' && c != ',' && c != ':' && c != '-') {
            return false;
        }
    }
    if (digits.size() != 8) return false;
    for (size_t i = 0; i < 4; ++i) {
        (*bytes)[i] =
            static_cast<uint8_t>(std::strtoul(digits.substr(i * 2, 2).c_str(), nullptr, 16));
    }
    return true;
}

Action Busy(const httplib::Request& req, std::string* error) {
    int64_t ms = 0;
    if (!ReadSeconds(req, 1, 3600, 0, &ms, error)) return nullptr;
    return [ms](VirtualPrinter& p, int64_t now) { p.StayBusyUntil(now + ms); };
}

// The printer is off for the given seconds (3 when none are given) and then starts again.
Action PowerLoss(const httplib::Request& req, std::string* error) {
    int64_t ms = 0;
    if (!ReadSeconds(req, 1, 60, 3, &ms, error)) return nullptr;
    return [ms](VirtualPrinter& p, int64_t now) { p.LosePower(now, ms); };
}

Action RefuseNext(const httplib::Request& req, std::string* error) {
    std::array<uint8_t, 4> bytes{};
    if (!ReadStatusBytes(req.get_param_value("status"), &bytes)) {
        *error = "status must be four status bytes in hexadecimal, such as 0B 08 00 00";
        return nullptr;
    }
    return [bytes](VirtualPrinter& p, int64_t) { p.RefuseNext(bytes); };
}

template <void (VirtualPrinter::*Set)(bool), bool kValue>
Action Switch(const httplib::Request&, std::string*) {
    return [](VirtualPrinter& p, int64_t) { (p.*Set)(kValue); };
}

Action LoseAck(const httplib::Request&, std::string*) {
    return [](VirtualPrinter& p, int64_t) { p.LoseNextAcknowledge(); };
}

struct Fault {
    const char* name;
    FaultReader read;
};

const Fault kFaults[] = {
    {"paper-out", Switch<&VirtualPrinter::SetPaperOut, true>},
    {"paper-in", Switch<&VirtualPrinter::SetPaperOut, false>},
    {"unplug", Switch<&VirtualPrinter::SetUnplugged, true>},
    {"plug", Switch<&VirtualPrinter::SetUnplugged, false>},
    {"power-loss", PowerLoss},
    {"busy", Busy},
    {"refuse-next", RefuseNext},
    {"lose-ack", LoseAck},
};

const Fault* FindFault(const std::string& name) {
    for (const Fault& fault : kFaults) {
        if (name == fault.name) return &fault;
    }
    return nullptr;
}

// The method a path takes ("GET" also answers HEAD); null for a path the panel does not serve.
const char* MethodOf(const std::string& path) {
    if (path == "/" || path == "/events" || path == "/state") return "GET";
    const std::string faults = "/faults/";
    if (path.compare(0, faults.size(), faults) == 0 && FindFault(path.substr(faults.size())))
        return "POST";
    return nullptr;
}

const char* Reason(int status) {
    switch (status) {
        case 400: return "bad request";
        case 404: return "not found";
        case 405: return "method not allowed";
        case 413: return "request too large";
        case 414: return "address too long";
        case 503: return "too many open pages";
        default: return "error";
    }
}

}  // namespace

struct WebPanel::Impl {
    explicit Impl(PrinterAccess a) : access(std::move(a)) {}

    void Route();
    void Serve(const httplib::Request& req, httplib::Response& res);
    void ServeState(httplib::Response& res);
    void ServeEvents(httplib::Response& res);
    void ServeFault(const httplib::Request& req, httplib::Response& res);
    bool Pump(EventStream& stream, httplib::DataSink& sink);
    std::string Event(EventStream& stream);

    PrinterAccess access;
    ChangeHub hub;
    httplib::Server server;
    std::thread thread;
    std::atomic<size_t> streams{0};
    int port = 0;
};

void WebPanel::Impl::Route() {
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server.set_payload_max_length(kLargestBody);
    // One request a connection: no worker waits on an idle connection, so stopping is prompt.
    server.set_keep_alive_max_count(1);
    server.set_keep_alive_timeout(1);
    server.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        const char* method = MethodOf(req.path);
        if (method == nullptr) {
            res.status = 404;
            return httplib::Server::HandlerResponse::Handled;
        }
        const bool allowed =
            req.method == method || (req.method == "HEAD" && std::strcmp(method, "GET") == 0);
        if (allowed) return httplib::Server::HandlerResponse::Unhandled;
        res.status = 405;
        res.set_header("Allow", std::strcmp(method, "GET") == 0 ? "GET, HEAD" : "POST");
        return httplib::Server::HandlerResponse::Handled;
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            res.set_content(std::to_string(res.status) + " " + Reason(res.status) + "\n",
                            "text/plain");
        }
    });
    server.Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_header("Cache-Control", "no-store");
        res.set_content(kPage, "text/html; charset=utf-8");
    });
    server.Get("/state",
               [this](const httplib::Request&, httplib::Response& res) { ServeState(res); });
    server.Get("/events",
               [this](const httplib::Request&, httplib::Response& res) { ServeEvents(res); });
    server.Post("/faults/([a-z-]+)", [this](const httplib::Request& req, httplib::Response& res) {
        ServeFault(req, res);
    });
}

void WebPanel::Impl::ServeState(httplib::Response& res) {
    std::string roll;
    std::string members;
    access.with([&](VirtualPrinter& p) {
        roll = RollJson(p, 0);
        members = StateMembersJson(p, access.nowMs());
    });
    uint64_t seen = EventStream::kNothingSent;
    res.set_header("Cache-Control", "no-store");
    res.set_content(
        "{\"roll\":" + roll + "," + members + ",\"trace\":" + hub.TraceSince(&seen) + "}\n",
        "application/json");
}

void WebPanel::Impl::ServeEvents(httplib::Response& res) {
    if (streams.fetch_add(1) >= kMaxStreams) {
        --streams;
        res.status = 503;
        return;
    }
    auto stream = std::make_shared<EventStream>();
    res.set_header("Cache-Control", "no-store");
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, stream](size_t, httplib::DataSink& sink) { return Pump(*stream, sink); },
        [this](bool) { --streams; });
}

// One turn of a page's event stream: wait for a change (never holding the printer), then send
// what changed. False ends the stream: the page went away, or the panel is stopping.
bool WebPanel::Impl::Pump(EventStream& stream, httplib::DataSink& sink) {
    const bool first = stream.seen == EventStream::kNothingSent;
    if (first) {
        static const char kRetry[] = "retry: 1000\n\n";
        if (!sink.write(kRetry, sizeof kRetry - 1)) return false;
    } else {
        hub.Wait(stream.seen, kStreamWake);
        if (hub.Stopping()) return false;
        if (hub.Version() != stream.seen && !hub.Pause(kSettle)) return false;
    }
    stream.seen = hub.Version();
    const std::string event = Event(stream);
    if (!event.empty()) {
        stream.quietWakes = 0;
        return sink.write(event.data(), event.size());
    }
    if (++stream.quietWakes < kQuietWakes) return true;
    stream.quietWakes = 0;
    return sink.write(":\n\n", 3);
}

// The roll's new lines, the rest of the state when it changed, the trace when it changed; empty
// when nothing did.
std::string WebPanel::Impl::Event(EventStream& stream) {
    std::string roll;
    std::string members;
    size_t lines = 0;
    access.with([&](VirtualPrinter& p) {
        lines = p.Roll().Lines().size();
        roll = RollJson(p, stream.lines);
        members = StateMembersJson(p, access.nowMs());
    });
    const std::string trace = hub.TraceSince(&stream.traceSeen);
    if (lines == stream.lines && members == stream.members && trace.empty()) return "";
    std::string json =
        "{\"rollFrom\":" + std::to_string(stream.lines) + ",\"roll\":" + roll + "," + members;
    if (!trace.empty()) json += ",\"trace\":" + trace;
    stream.lines = lines;
    stream.members = members;
    return "data: " + json + "}\n\n";
}

void WebPanel::Impl::ServeFault(const httplib::Request& req, httplib::Response& res) {
    const std::string name = req.matches[1];
    const Fault* fault = FindFault(name);
    if (fault == nullptr) {
        res.status = 404;
        return;
    }
    std::string error;
    const Action action = fault->read(req, &error);
    if (!action) {
        res.status = 400;
        res.set_content(error + "\n", "text/plain");
        return;
    }
    access.with([&](VirtualPrinter& p) { action(p, access.nowMs()); });
    hub.Changed();
    res.set_content("{\"fault\":" + JsonString(name) + "}\n", "application/json");
}

WebPanel::WebPanel(PrinterAccess access) : impl_(std::make_unique<Impl>(std::move(access))) {}

WebPanel::~WebPanel() {
    Stop();
}

int WebPanel::Port() const {
    return impl_->port;
}

bool WebPanel::Start(int port, std::string* error) {
    Impl& impl = *impl_;
    impl.Route();
    errno = 0;
    impl.port = port == 0 ? impl.server.bind_to_any_port("127.0.0.1")
                          : (impl.server.bind_to_port("127.0.0.1", port) ? port : -1);
    if (impl.port <= 0) {
        *error = "cannot listen on 127.0.0.1:" + std::to_string(port) +
                 (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
        return false;
    }
    ChangeHub* hub = &impl.hub;
    impl.access.with([hub](VirtualPrinter& p) {
        p.OnWire([hub](bool toPrinter, uint8_t byte) { hub->Wire(toPrinter, byte); });
    });
    // The server's threads leave SIGINT and SIGTERM to the program's own thread.
    sigset_t all;
    sigset_t before;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &before);
    impl.thread = std::thread([&impl] { impl.server.listen_after_bind(); });
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    // Stopping a server that has not begun to listen would not stop it.
    for (int i = 0; i < 2000 && !impl.server.is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void WebPanel::Stop() {
    Impl& impl = *impl_;
    if (!impl.thread.joinable()) return;
    impl.access.with([](VirtualPrinter& p) { p.OnWire(nullptr); });
    impl.hub.Stop();
    impl.server.stop();
    impl.thread.join();
}

}  // namespace tarn::web
