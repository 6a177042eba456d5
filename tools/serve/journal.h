// The journal: every job in one SQLite file (WAL, every commit synced), written before the job's
// first byte goes to the printer and again with its outcome, so that no job's fate is lost to a
// crash or a restart.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tarn::serve {

struct JobRow {
    std::string id, printer, kind, body;
    std::string state = "queued";  // queued, running, done
    std::optional<int> before;     // the printer's receipt count before the job began
    std::string outcome;           // printed, not_printed, refused (done only)
    std::string result = "{}";     // the outcome's details, JSON
    int64_t createdMs = 0, finishedMs = 0;
};

struct JobFilter {
    std::string id, printer;
    int64_t sinceMs = 0, untilMs = INT64_MAX;
    int limit = 100;
};

class Journal {
public:
    enum class Created { New, Same, Conflict };

    Journal() = default;
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Opens or creates the file; false (with `error`) when it cannot.
    bool Open(const std::string& path, std::string* error);
    // Adds `job` unless its id is taken: then `existing` is the first job with that id, and the
    // answer says whether it was the same request (printer, kind and body).
    Created Create(const JobRow& job, JobRow* existing);
    void MarkRunning(const std::string& id);
    void SetBefore(const std::string& id, int count);
    void Finish(const std::string& id, const std::string& outcome, const std::string& result);
    std::optional<JobRow> Get(const std::string& id);
    std::optional<JobRow> Last(const std::string& printer);
    std::vector<JobRow> InState(const std::string& printer, const std::string& state);
    std::vector<JobRow> List(const JobFilter& filter);
    // Every ended job's printer, outcome and time from its creation to its end.
    struct Ended {
        std::string printer, outcome;
        int64_t ms;
    };
    std::vector<Ended> AllEnded();
    // Forgets jobs that ended before `beforeMs`; how many.
    int Purge(int64_t beforeMs);

private:
    class Statement;
    bool Run(const char* sql);
    std::vector<JobRow> Rows(Statement& statement);

    std::mutex mutex_;
    sqlite3* db_ = nullptr;
};

}  // namespace tarn::serve
