#include "service.h"

#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <random>
#include <utility>

namespace tarn::serve {

namespace {

// The longest a request may wait for its job: well within any client's patience, and within
// the longest receipt a printer may take.
constexpr int kLongestWaitMs = 120000;

void Reply(httplib::Response& response, int status, const Json& body) {
    response.status = status;
    response.set_content(body.dump(2) + "\n", "application/json");
}

void Error(httplib::Response& response, int status, const std::string& message,
           const std::string& field = "") {
    Json body = {{"error", message}};
    if (!field.empty()) body["field"] = field;
    Reply(response, status, body);
}

std::string TimeText(int64_t ms) {
    if (ms <= 0) return "";
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    const size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(ms % 1000));
    return text;
}

Json Present(const JobRow& job) {
    Json shown = {{"id", job.id},           {"url", "/jobs/" + job.id},
                  {"printer", job.printer}, {"kind", job.kind},
                  {"state", job.state},     {"created", TimeText(job.createdMs)}};
    if (job.state != "done") return shown;
    shown["outcome"] = job.outcome;
    shown["finished"] = TimeText(job.finishedMs);
    const Json result = Json::parse(job.result, nullptr, false);
    for (const auto& item : result.items()) shown[item.key()] = item.value();
    return shown;
}

// A key the client chose: letters, digits and . _ : - only, so that it stands in a URL as it is.
bool IsKey(const std::string& key) {
    return !key.empty() && key.size() <= 100 &&
           key.find_first_not_of(
               "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
               "0123456789._:-") == std::string::npos;
}

std::string NewKey() {
    static std::mutex mutex;
    static std::random_device device;
    static std::mt19937_64 random(device());
    std::lock_guard<std::mutex> lock(mutex);
    char text[40];
    std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(random()),
                  static_cast<unsigned long long>(random()));
    return text;
}

// ?wait=MS, at most kLongestWaitMs; -1 when it is no number.
int WaitOf(const httplib::Request& request) {
    if (!request.has_param("wait")) return 0;
    const std::string text = request.get_param_value("wait");
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::min(std::stoi(text), kLongestWaitMs);
}

}  // namespace

Service::Service(Config config, std::string program)
    : config_(std::move(config)), program_(std::move(program)) {}

bool Service::Start(std::string* error) {
    if (!journal_.Open(config_.journal, error)) return false;
    journal_.Purge(NowMs() - int64_t{config_.keepDays} * 24 * 3600 * 1000);
    for (const PrinterConfig& printer : config_.printers) {
        // Each worker runs in a folder of its own beside the journal, where its log is kept.
        const std::string directory = config_.journal + ".printers/" + printer.name;
        mkdir((config_.journal + ".printers").c_str(), 0755);
        mkdir(directory.c_str(), 0755);
        auto runner = std::make_unique<PrinterRunner>(printer, &journal_, program_, directory);
        runner->Start();
        printers_[printer.name] = std::move(runner);
    }
    return true;
}

void Service::Stop() {
    for (auto& printer : printers_) printer.second->Stop();
}

void Service::Route(httplib::Server* server) {
    const auto handle = [this](void (Service::*method)(const Request&, Response&)) {
        return httplib::Server::Handler([this, method](const Request& request, Response& response) {
            (this->*method)(request, response);
        });
    };
    std::string paths;
    for (const Document& document : Documents())
        paths += std::string(paths.empty() ? "" : "|") + document.path;
    server->Post("/printers/([^/]+)/(" + paths + ")", handle(&Service::PostJob));
    server->Get(R"(/jobs/([^/]+))", handle(&Service::GetJob));
    server->Get("/jobs", handle(&Service::ListJobs));
    server->Get("/printers", handle(&Service::ListPrinters));
    server->Get(R"(/printers/([^/]+))", handle(&Service::GetPrinter));
    server->Get(R"(/printers/([^/]+)/last-job)", handle(&Service::GetLastJob));
    server->Get("/metrics", handle(&Service::GetMetrics));
    server->Get("/openapi.json",
                [](const Request&, Response& response) { Reply(response, 200, OpenApi()); });
}

PrinterRunner* Service::Printer(const Request& request, Response& response) {
    const auto found = printers_.find(request.matches[1]);
    if (found != printers_.end()) return found->second.get();
    Error(response, 404, "no printer of that name");
    return nullptr;
}

// Every document takes this road: checked whole before it becomes a job; the job is in the
// journal before it is queued, and a key seen before runs nothing again. An empty body is an
// empty document (a daily report has nothing to say).
void Service::PostJob(const Request& request, Response& response) {
    PrinterRunner* printer = Printer(request, response);
    if (printer == nullptr) return;
    const Document& document = *FindDocument(request.matches[2]);
    Json body = request.body.empty() ? Json::object() : Json::parse(request.body, nullptr, false);
    const int wait = WaitOf(request);
    if (body.is_discarded() || !body.is_object())
        return Error(response, 400, "the body is not a JSON object");
    if (wait < 0) return Error(response, 400, "wait takes a number of milliseconds", "wait");
    std::string key = request.get_header_value("Idempotency-Key");
    if (body.contains("job_id")) {
        const std::string id = body["job_id"].is_string() ? body["job_id"].get<std::string>() : "";
        if (!IsKey(id) || (!key.empty() && key != id))
            return Error(response, 422, "expected the same key as the Idempotency-Key header",
                         "/job_id");
        key = id;
        body.erase("job_id");
    }
    if (!key.empty() && !IsKey(key))
        return Error(response, 400,
                     "an Idempotency-Key of 1 to 100 letters, digits and . _ : - only");
    JobRow job;
    job.id = key.empty() ? NewKey() : key;
    job.printer = printer->Name();
    job.kind = document.kind;
    job.body = body.dump();
    job.createdMs = NowMs();
    if (std::optional<JobRow> known = journal_.Get(job.id)) {
        if (known->printer != job.printer || known->kind != job.kind || known->body != job.body)
            return Error(response, 409, "this key was used for another document");
        return AnswerJob(request, response, *known);
    }
    Json plan;
    Refusal refusal;
    if (!document.check(body, printer->Abilities(), &plan, &refusal))
        return Error(response, 422, refusal.message, refusal.field);
    JobRow existing;
    const Journal::Created created = journal_.Create(job, &existing);
    if (created == Journal::Created::Conflict)
        return Error(response, 409, "this key was used for another document");
    if (created == Journal::Created::Same) return AnswerJob(request, response, existing);
    printer->Enqueue(job.id);
    AnswerJob(request, response, job);
}

void Service::AnswerJob(const Request& request, Response& response, const JobRow& job) {
    const int wait = std::max(WaitOf(request), 0);
    const auto printer = printers_.find(job.printer);
    if (job.state != "done" && wait > 0 && printer != printers_.end())
        printer->second->WaitFor(job.id, wait);
    const JobRow now = journal_.Get(job.id).value_or(job);
    response.set_header("Location", "/jobs/" + now.id);
    Reply(response, now.state == "done" ? 200 : 202, Present(now));
}

void Service::GetJob(const Request& request, Response& response) {
    const std::optional<JobRow> job = journal_.Get(request.matches[1]);
    if (!job) return Error(response, 404, "no job with that id");
    if (WaitOf(request) < 0) return Error(response, 400, "wait takes a number of milliseconds");
    AnswerJob(request, response, *job);
}

void Service::ListJobs(const Request& request, Response& response) {
    JobFilter filter;
    filter.id = request.get_param_value("key");
    filter.printer = request.get_param_value("printer");
    try {
        if (request.has_param("since"))
            filter.sinceMs = std::stoll(request.get_param_value("since"));
        if (request.has_param("until"))
            filter.untilMs = std::stoll(request.get_param_value("until"));
        if (request.has_param("limit"))
            filter.limit = std::clamp(std::stoi(request.get_param_value("limit")), 1, 1000);
    } catch (const std::exception&) {
        return Error(response, 400, "since and until take milliseconds since 1970, limit a count");
    }
    Json jobs = Json::array();
    for (const JobRow& job : journal_.List(filter)) jobs.push_back(Present(job));
    Reply(response, 200, {{"jobs", jobs}});
}

void Service::ListPrinters(const Request&, Response& response) {
    Json printers = Json::array();
    for (auto& printer : printers_) printers.push_back(printer.second->Describe(0));
    Reply(response, 200, {{"printers", printers}});
}

void Service::GetPrinter(const Request& request, Response& response) {
    PrinterRunner* printer = Printer(request, response);
    if (printer != nullptr) Reply(response, 200, printer->Describe(3000));
}

void Service::GetLastJob(const Request& request, Response& response) {
    PrinterRunner* printer = Printer(request, response);
    if (printer == nullptr) return;
    const std::optional<JobRow> job = journal_.Last(printer->Name());
    if (!job) return Error(response, 404, "this printer has had no job");
    AnswerJob(request, response, *job);
}

// Prometheus' text format: jobs by printer and outcome and their time from request to end (from
// the journal, so they count across restarts), and each printer's state now.
void Service::GetMetrics(const Request&, Response& response) {
    const double kBounds[] = {0.5, 1, 2, 5, 10, 30, 60, 300};
    std::map<std::pair<std::string, std::string>, int64_t> outcomes;
    std::map<std::string, std::vector<int64_t>> buckets;  // per printer: each bound, then +Inf
    std::map<std::string, int64_t> totalMs;
    for (const Journal::Ended& job : journal_.AllEnded()) {
        ++outcomes[{job.printer, job.outcome}];
        std::vector<int64_t>& counts = buckets[job.printer];
        counts.resize(std::size(kBounds) + 1);
        for (size_t i = 0; i < std::size(kBounds); ++i) counts[i] += job.ms <= kBounds[i] * 1000;
        ++counts.back();
        totalMs[job.printer] += job.ms;
    }
    std::string text =
        "# HELP tarn_jobs_total Jobs ended, by printer and outcome.\n"
        "# TYPE tarn_jobs_total counter\n";
    for (const auto& [key, count] : outcomes)
        text += "tarn_jobs_total{printer=\"" + key.first + "\",outcome=\"" + key.second + "\"} " +
                std::to_string(count) + "\n";
    text +=
        "# HELP tarn_job_seconds Time from a job's request to its end.\n"
        "# TYPE tarn_job_seconds histogram\n";
    for (const auto& [printer, counts] : buckets) {
        const std::string label = "tarn_job_seconds_bucket{printer=\"" + printer + "\",le=\"";
        for (size_t i = 0; i < std::size(kBounds); ++i) {
            char bound[16];
            std::snprintf(bound, sizeof bound, "%g", kBounds[i]);
            text += label + bound + "\"} " + std::to_string(counts[i]) + "\n";
        }
        text += label + "+Inf\"} " + std::to_string(counts.back()) + "\n";
        char sum[32];
        std::snprintf(sum, sizeof sum, "%.3f", static_cast<double>(totalMs[printer]) / 1000);
        text += "tarn_job_seconds_sum{printer=\"" + printer + "\"} " + sum + "\n";
        text += "tarn_job_seconds_count{printer=\"" + printer + "\"} " +
                std::to_string(counts.back()) + "\n";
    }
    text +=
        "# HELP tarn_printer_up Whether the printer's session is open.\n"
        "# TYPE tarn_printer_up gauge\n"
        "# HELP tarn_printer_busy Whether the printer is running a job.\n"
        "# TYPE tarn_printer_busy gauge\n"
        "# HELP tarn_printer_jobs_waiting Jobs queued for the printer.\n"
        "# TYPE tarn_printer_jobs_waiting gauge\n";
    for (auto& [name, printer] : printers_) {
        const Json state = printer->Describe(0);
        const std::string label = "{printer=\"" + name + "\"} ";
        text += "tarn_printer_up" + label + (state["session"].get<bool>() ? "1\n" : "0\n");
        text += "tarn_printer_busy" + label + (state["busy"].get<bool>() ? "1\n" : "0\n");
        text += "tarn_printer_jobs_waiting" + label + state["jobs_waiting"].dump() + "\n";
    }
    response.set_content(text, "text/plain; version=0.0.4");
}

}  // namespace tarn::serve
