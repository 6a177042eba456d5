#include "printer_runner.h"

#include <chrono>
#include <cstdio>

namespace tarn::serve {

namespace {

// How often a job left unresolved is asked about again while the printer does not answer.
constexpr auto kResolveRetry = std::chrono::seconds(5);

// A printer's failure in the till's terms: the library's code and Polish text, the reference's
// English text and next step.
Json Explained(Json failure) {
    const FailureText text = DescribeFailure(failure.value("code", 0));
    failure["english"] = text.english;
    failure["next_step"] = text.nextStep;
    return failure;
}

// A start that failed leaves no session to read its detail code from (mfError answers -1).
Json StartFailed(Json failure) {
    if (failure.value("code", -1) >= 0) return Explained(failure);
    return {{"call", "mfStart"},
            {"result", failure["result"]},
            {"english",
             "the printer's session could not be opened: the port cannot be opened, "
             "the printer does not answer, or it refused a start-up command"},
            {"next_step",
             "check the port, cable, power and paper; the session is opened again "
             "for the next job"}};
}

Json NoAnswer(const char* english) {
    return {{"code", 514},
            {"english", english},
            {"next_step",
             "check the printer's cable, power and port; the job's fate is asked "
             "again when the printer answers"}};
}

}  // namespace

PrinterRunner::PrinterRunner(const PrinterConfig& printer, Journal* journal,
                             const std::string& program, const std::string& directory)
    : printer_(printer), journal_(journal), worker_(printer, program, directory) {}

PrinterRunner::~PrinterRunner() {
    Stop();
}

void PrinterRunner::Start() {
    for (const JobRow& row : journal_->InState(printer_.name, "queued")) {
        Finish(row.id, "not_printed",
               {{"resolution", "the service stopped before the job began: nothing was sent"}});
    }
    thread_ = std::thread([this] { Run(); });
}

void PrinterRunner::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void PrinterRunner::Enqueue(const std::string& jobId) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(jobId);
    }
    changed_.notify_all();
}

bool PrinterRunner::WaitFor(const std::string& jobId, int waitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] {
        const std::optional<JobRow> row = journal_->Get(jobId);
        return stopping_ || (row && row->state == "done");
    }) && !stopping_;
}

PrinterAbilities PrinterRunner::Abilities() {
    std::lock_guard<std::mutex> lock(mutex_);
    return abilities_;
}

Json PrinterRunner::Describe(int waitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    const int64_t asked = NowMs();
    statusWanted_ = true;
    changed_.notify_all();
    changed_.wait_for(lock, std::chrono::milliseconds(waitMs),
                      [&] { return stopping_ || statusMs_ >= asked; });
    Json described = {
        {"name", printer_.name}, {"port", printer_.port},         {"session", started_.load()},
        {"busy", busy_},         {"jobs_waiting", queue_.size()}, {"identity", identity_},
        {"status", status_}};
    if (statusMs_ > 0) described["status_age_ms"] = NowMs() - statusMs_;
    if (!lastError_.is_null()) described["last_error"] = lastError_;
    return described;
}

void PrinterRunner::Run() {
    bool unresolved = true;  // jobs an earlier run left running, until asked
    for (;;) {
        std::string jobId;
        bool status = false;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait_for(lock, kResolveRetry,
                              [&] { return stopping_ || !queue_.empty() || statusWanted_; });
            if (stopping_) break;
            if (!queue_.empty()) {
                jobId = queue_.front();
                queue_.pop_front();
            }
            status = statusWanted_ && jobId.empty();
            busy_ = !jobId.empty();
        }
        if (unresolved || !jobId.empty()) unresolved = !ResolvePending();
        const std::optional<JobRow> job = jobId.empty() ? std::nullopt : journal_->Get(jobId);
        if (job) RunJob(*job);
        unresolved = unresolved || !journal_->InState(printer_.name, "running").empty();
        if (status) RefreshStatus();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            busy_ = false;
        }
        changed_.notify_all();
    }
    worker_.Stop();
}

bool PrinterRunner::EnsureStarted() {
    if (started_ && worker_.Alive()) return true;
    Json reply;
    const bool answered = worker_.Ask({{"op", "start"}}, &reply);
    std::lock_guard<std::mutex> lock(mutex_);
    started_ = answered && reply.value("ok", false);
    if (!answered) lastError_ = NoAnswer("the printer's session could not be opened in time");
    if (answered && !started_) lastError_ = StartFailed(reply["error"]);
    if (!started_) return false;
    identity_ = {{"serial", reply["serial"]}, {"version", reply["version"]}};
    abilities_ = {reply["line_discounts"].get<bool>(), reply["number_reports"].get<bool>(),
                  reply["display"].get<bool>()};
    lastError_ = nullptr;
    return true;
}

// Asks the printer what became of each job an interruption left running: a receipt it still
// holds is cancelled, and the receipt count against the count before the job says whether the
// receipt was recorded (for a daily report: whether the day closed). A document the printer keeps
// no record of ends uncertain. False while the printer cannot tell.
bool PrinterRunner::ResolvePending() {
    for (const JobRow& row : journal_->InState(printer_.name, "running")) {
        const Document* document = FindDocument(row.kind);
        if (!row.before) {
            Finish(row.id, "not_printed",
                   {{"resolution", "interrupted before its first byte went to the printer"}});
            continue;
        }
        Json reply;
        std::string how;
        if (document == nullptr || document->settling == Settling::CannotTell) {
            how = "interrupted while the printer had it; the printer keeps no record of it";
            reply = {{"outcome", "uncertain"},
                     {"next_step", document == nullptr ? "" : document->nextStep}};
        } else {
            if (!EnsureStarted()) return false;
            if (!worker_.Ask({{"op", "settle"}, {"kind", row.kind}, {"before", *row.before}},
                             &reply)) {
                started_ = false;
                return false;
            }
            if (reply["outcome"] == "unknown") return false;
            how = "interrupted; asked afterwards, the printer's receipt count was " +
                  std::to_string(*row.before) + " before the job and " +
                  std::to_string(reply["receipt_count"].get<int>()) + " after";
            reply.erase("receipt_count");
        }
        reply["resolution"] = how;
        const std::string outcome = reply["outcome"];
        reply.erase("outcome");
        Finish(row.id, outcome, reply);
        std::fprintf(stderr, "tarn serve: job %s on %s resolved %s: %s\n", row.id.c_str(),
                     printer_.name.c_str(), outcome.c_str(), how.c_str());
    }
    return true;
}

void PrinterRunner::RunJob(const JobRow& job) {
    if (!EnsureStarted()) return Finish(job.id, "not_printed", {{"error", lastError_}});
    if (!journal_->InState(printer_.name, "running").empty())
        return Finish(job.id, "not_printed",
                      {{"error", NoAnswer("an earlier job on this printer is not resolved yet: "
                                          "the printer does not answer")}});
    const Document* document = FindDocument(job.kind);
    Json plan;
    Refusal refusal;
    if (document == nullptr ||
        !document->check(Json::parse(job.body), Abilities(), &plan, &refusal))
        return Finish(job.id, "refused",
                      {{"error", {{"field", refusal.field}, {"message", refusal.message}}}});
    journal_->MarkRunning(job.id);
    Json count;
    if (!worker_.Ask({{"op", "count"}}, &count)) {
        // A worker killed between jobs may not be reaped yet when the job comes (a failed question
        // ends it): the count prints nothing, so a worker started anew is asked once more.
        started_ = false;
        if (!EnsureStarted() || !worker_.Ask({{"op", "count"}}, &count)) count = Json::object();
    }
    if (!count.contains("receipt_count") || count["receipt_count"].get<int>() < 0) {
        started_ = started_ && worker_.Alive();
        return Finish(job.id, "not_printed",
                      {{"error", NoAnswer("the printer did not tell its receipt count")}});
    }
    const int before = count["receipt_count"].get<int>();
    journal_->SetBefore(job.id, before);  // synced before the receipt's first byte is sent
    Json reply;
    if (!worker_.Ask({{"op", "job"}, {"kind", job.kind}, {"plan", plan}, {"before", before}},
                     &reply)) {
        started_ = false;
        std::fprintf(stderr,
                     "tarn serve: the worker of %s ended in a call (killed, or it overran the "
                     "call's bound)\n",
                     printer_.name.c_str());
        ResolvePending();
        return;
    }
    if (reply["outcome"] == "unknown") return;  // stays running: resolved when the printer answers
    const std::string outcome = reply["outcome"];
    reply.erase("outcome");
    reply.erase("receipt_count");
    if (outcome == "uncertain") reply["next_step"] = document->nextStep;
    if (reply.contains("error") && !reply["error"].is_null())
        reply["error"] = Explained(reply["error"]);
    Finish(job.id, outcome, reply);
}

void PrinterRunner::Finish(const std::string& id, const std::string& outcome, const Json& result) {
    journal_->Finish(id, outcome, result.dump());
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (result.contains("error") && outcome != "refused") lastError_ = result["error"];
    }
    changed_.notify_all();
}

void PrinterRunner::RefreshStatus() {
    Json reply;
    const bool answered = EnsureStarted() && worker_.Ask({{"op", "status"}}, &reply);
    std::lock_guard<std::mutex> lock(mutex_);
    statusWanted_ = false;
    statusMs_ = NowMs();
    if (answered) status_ = reply;
    if (!answered && !worker_.Alive()) started_ = false;
}

}  // namespace tarn::serve
