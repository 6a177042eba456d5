#include "web_panel.h"

#include <httplib.h>
#include <strings.h>

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

#include "guarded_server.h"
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
// No request the panel takes has a body worth more (the faults use none).
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
        case 403: return "not from the printer's own page";
        case 404: return "not found";
        case 405: return "method not allowed";
        case 411: return "a body must say its length (curl -d '')";
        case 413: return "request too large";
        case 414: return "address too long";
        case 421: return "not a name this page is served as";
        case 503: return "too many open pages";
        default: return "error";
    }
}

// The names the page is served as: the address it listens on and this computer's name for it,
// with the port (which a page on port 80 leaves out). A browser names the host it asked for in
// every request, so a request for another name (one of an attacker's, made to lead here: DNS
// rebinding) is refused, and it names the page that sent it (Origin), which must be this one.
bool IsOwnHost(std::string host, int port) {
    for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string name : {"127.0.0.1", "localhost"}) {
        if (host == name + ":" + std::to_string(port) || (port == 80 && host == name)) return true;
    }
    return false;
}

bool IsOwnOrigin(const std::string& origin, int port) {
    const std::string scheme = "http://";
    return origin.compare(0, scheme.size(), scheme) == 0 &&
           IsOwnHost(origin.substr(scheme.size()), port);
}

}  // namespace

struct WebPanel::Impl {
    explicit Impl(PrinterAccess a) : access(std::move(a)) {}

    void Route();
    int Refusal(const httplib::Request& req, httplib::Response& res) const;
    void ServeState(httplib::Response& res);
    void ServeEvents(httplib::Response& res);
    void ServeFault(const httplib::Request& req, httplib::Response& res);
    bool Pump(EventStream& stream, httplib::DataSink& sink);
    std::string Event(EventStream& stream);

    PrinterAccess access;
    ChangeHub hub;
    GuardedServer server{kWorkers};
    std::atomic<size_t> streams{0};
    int port = 0;
    bool serving = false;
};

void WebPanel::Impl::Route() {
    server.set_payload_max_length(kLargestBody);
    server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        const int refusal = Refusal(req, res);
        if (refusal == 0) return httplib::Server::HandlerResponse::Unhandled;
        res.status = refusal;
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
        // No other page may show this one in a frame, where its buttons could be clicked
        // unseen.
        res.set_header("X-Frame-Options", "DENY");
        res.set_header("Content-Security-Policy", "frame-ancestors 'none'");
        res.set_content(kPage, "text/html; charset=utf-8");
    });
    server.Get("/state",
               [this](const httplib::Request&, httplib::Response& res) { ServeState(res); });
    server.Get("/events",
               [this](const httplib::Request&, httplib::Response& res) { ServeEvents(res); });
    // The body is read whole (kLargestBody at most, also in chunks) before the fault is
    // answered.
    server.Post("/faults/([a-z-]+)", [this](const httplib::Request& req, httplib::Response& res,
                                            const httplib::ContentReader& read) {
        size_t received = 0;
        const bool whole = read([&received](const char*, size_t length) {
            received += length;
            return received <= kLargestBody;
        });
        if (whole) {
            ServeFault(req, res);
        } else if (received > kLargestBody || res.status < 400) {
            res.status = received > kLargestBody ? 413 : 400;
        }
    });
}

// The status a request is refused with before it is served; 0 when it is served. A fault is
// pressed only on this page: a browser tells the site of the page that sends a request
// (Sec-Fetch-Site), and a fault from another one (a form or a fetch that needs no permission)
// is refused. A script (curl) names no site and no page.
int WebPanel::Impl::Refusal(const httplib::Request& req, httplib::Response& res) const {
    if (!req.has_header("Host")) return 400;
    if (!IsOwnHost(req.get_header_value("Host"), port)) return 421;
    if (req.has_header("Origin") && !IsOwnOrigin(req.get_header_value("Origin"), port)) return 403;
    const char* method = MethodOf(req.path);
    if (method == nullptr) return 404;
    const bool get = std::strcmp(method, "GET") == 0;
    if (req.method != method && !(req.method == "HEAD" && get)) {
        res.set_header("Allow", get ? "GET, HEAD" : "POST");
        return 405;
    }
    if (get) return 0;
    const std::string site = req.get_header_value("Sec-Fetch-Site");
    if (!site.empty() && site != "same-origin" && site != "none") return 403;
    if (req.has_header("Content-Length"))
        return req.get_header_value<uint64_t>("Content-Length") > kLargestBody ? 413 : 0;
    const bool chunked =
        strcasecmp(req.get_header_value("Transfer-Encoding").c_str(), "chunked") == 0;
    return chunked ? 0 : 411;
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
    if (!impl.server.ListenInBackground()) {
        *error = std::string("cannot serve the web page: ") + std::strerror(errno);
        return false;
    }
    ChangeHub* hub = &impl.hub;
    impl.access.with([hub](VirtualPrinter& p) {
        p.OnWire([hub](bool toPrinter, uint8_t byte) { hub->Wire(toPrinter, byte); });
    });
    impl.serving = true;
    return true;
}

void WebPanel::Stop() {
    Impl& impl = *impl_;
    if (!impl.serving) return;
    impl.serving = false;
    impl.access.with([](VirtualPrinter& p) { p.OnWire(nullptr); });
    impl.hub.Stop();
    impl.server.Shutdown();
}

}  // namespace tarn::web
