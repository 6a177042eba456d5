// One printer as the service sees it: its jobs run one after another on a thread of their own,
// through the printer's worker; what the printer last said is kept for GET /printers.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "journal.h"
#include "serve.h"
#include "worker_process.h"

namespace tarn::serve {

class PrinterRunner {
public:
    PrinterRunner(const PrinterConfig& printer, Journal* journal, const std::string& program,
                  const std::string& directory);
    ~PrinterRunner();
    PrinterRunner(const PrinterRunner&) = delete;
    PrinterRunner& operator=(const PrinterRunner&) = delete;

    // Jobs left queued by an earlier run are ended (they never began); jobs left running are
    // resolved by asking the printer, before any new job.
    void Start();
    void Stop();
    void Enqueue(const std::string& jobId);
    // Waits until the job is done or `waitMs` has passed; whether it is done.
    bool WaitFor(const std::string& jobId, int waitMs);
    PrinterAbilities Abilities();
    // What the printer told last, and whether it is at work now; a fresh status when the printer
    // is free within `waitMs`.
    Json Describe(int waitMs);
    const std::string& Name() const { return printer_.name; }

private:
    void Run();
    bool EnsureStarted();
    bool ResolvePending();
    void RunJob(const JobRow& job);
    void Finish(const std::string& id, const std::string& outcome, const Json& result);
    void RefreshStatus();

    PrinterConfig printer_;
    Journal* journal_;
    WorkerProcess worker_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> queue_;
    bool stopping_ = false, busy_ = false, statusWanted_ = false;
    std::atomic<bool> started_{false};              // the worker holds a session
    PrinterAbilities abilities_{true, true, true};  // until the printer tells: its checks decide
    Json identity_ = Json::object(), status_ = Json::object(), lastError_;
    int64_t statusMs_ = 0;
};

}  // namespace tarn::serve
