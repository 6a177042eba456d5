#include "journal.h"

#include "serve.h"

#include <cstring>
#include <utility>

namespace tarn::serve {

// A prepared statement whose parameters are bound in order, finalised when it goes.
class Journal::Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(const std::string& text) {
        sqlite3_bind_text(statement_, ++bound_, text.c_str(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(int64_t number) {
        sqlite3_bind_int64(statement_, ++bound_, number);
        return *this;
    }
    // SQLITE_ROW while there are rows, SQLITE_DONE after the last, an error code else.
    int Step() { return statement_ == nullptr ? SQLITE_ERROR : sqlite3_step(statement_); }
    std::string Text(int column) {
        const unsigned char* text = sqlite3_column_text(statement_, column);
        return text == nullptr ? "" : reinterpret_cast<const char*>(text);
    }
    int64_t Number(int column) { return sqlite3_column_int64(statement_, column); }
    bool IsNull(int column) { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

private:
    sqlite3_stmt* statement_ = nullptr;
    int bound_ = 0;
};

namespace {

const char* const kColumns =
    "SELECT id, printer, kind, body, state, receipts_before, outcome, result, created_ms, "
    "finished_ms FROM jobs ";

}  // namespace

Journal::~Journal() {
    sqlite3_close(db_);
}

bool Journal::Run(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Journal::Open(const std::string& path, std::string* error) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOFOLLOW;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK ||
        !Run("PRAGMA journal_mode=WAL") || !Run("PRAGMA synchronous=FULL") ||
        !Run("CREATE TABLE IF NOT EXISTS jobs (id TEXT PRIMARY KEY, printer TEXT NOT NULL, "
             "kind TEXT NOT NULL, body TEXT NOT NULL, state TEXT NOT NULL, receipts_before "
             "INTEGER, outcome TEXT NOT NULL DEFAULT '', result TEXT NOT NULL DEFAULT '{}', "
             "created_ms INTEGER NOT NULL, finished_ms INTEGER NOT NULL DEFAULT 0)") ||
        !Run("CREATE INDEX IF NOT EXISTS jobs_by_printer ON jobs (printer, created_ms)") ||
        !Run("CREATE INDEX IF NOT EXISTS jobs_by_time ON jobs (created_ms)")) {
        *error = db_ == nullptr ? "out of memory" : sqlite3_errmsg(db_);
        return false;
    }
    sqlite3_busy_timeout(db_, 5000);
    return true;
}

Journal::Created Journal::Create(const JobRow& job, JobRow* existing) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement insert(db_,
                     "INSERT OR IGNORE INTO jobs (id, printer, kind, body, state, created_ms) "
                     "VALUES (?, ?, ?, ?, 'queued', ?)");
    insert.Bind(job.id).Bind(job.printer).Bind(job.kind).Bind(job.body).Bind(job.createdMs);
    insert.Step();
    if (sqlite3_changes(db_) == 1) return Created::New;
    Statement select(db_, (std::string(kColumns) + "WHERE id = ?").c_str());
    select.Bind(job.id);
    const std::vector<JobRow> rows = Rows(select);
    if (rows.empty()) return Created::Conflict;
    *existing = rows[0];
    const bool same = existing->printer == job.printer && existing->kind == job.kind &&
                      existing->body == job.body;
    return same ? Created::Same : Created::Conflict;
}

void Journal::MarkRunning(const std::string& id) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement(db_, "UPDATE jobs SET state = 'running' WHERE id = ?").Bind(id).Step();
}

void Journal::SetBefore(const std::string& id, int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement(db_, "UPDATE jobs SET receipts_before = ? WHERE id = ?").Bind(count).Bind(id).Step();
}

void Journal::Finish(const std::string& id, const std::string& outcome, const std::string& result) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement(db_,
              "UPDATE jobs SET state = 'done', outcome = ?, result = ?, "
              "finished_ms = ? WHERE id = ?")
        .Bind(outcome)
        .Bind(result)
        .Bind(NowMs())
        .Bind(id)
        .Step();
}

std::optional<JobRow> Journal::Get(const std::string& id) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement select(db_, (std::string(kColumns) + "WHERE id = ?").c_str());
    std::vector<JobRow> rows = Rows(select.Bind(id));
    if (rows.empty()) return std::nullopt;
    return std::move(rows[0]);
}

std::optional<JobRow> Journal::Last(const std::string& printer) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement select(
        db_, (std::string(kColumns) + "WHERE printer = ? ORDER BY created_ms DESC, rowid DESC "
                                      "LIMIT 1")
                 .c_str());
    std::vector<JobRow> rows = Rows(select.Bind(printer));
    if (rows.empty()) return std::nullopt;
    return std::move(rows[0]);
}

std::vector<JobRow> Journal::InState(const std::string& printer, const std::string& state) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement select(
        db_, (std::string(kColumns) + "WHERE printer = ? AND state = ? ORDER BY rowid").c_str());
    return Rows(select.Bind(printer).Bind(state));
}

std::vector<JobRow> Journal::List(const JobFilter& filter) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement select(db_, (std::string(kColumns) +
                           "WHERE (?1 = '' OR id = ?1) AND (?2 = '' OR printer = ?2) AND "
                           "created_ms >= ?3 AND created_ms < ?4 ORDER BY created_ms DESC, "
                           "rowid DESC LIMIT ?5")
                              .c_str());
    select.Bind(filter.id).Bind(filter.printer).Bind(filter.sinceMs).Bind(filter.untilMs);
    return Rows(select.Bind(static_cast<int64_t>(filter.limit)));
}

std::vector<Journal::Ended> Journal::AllEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement select(db_,
                     "SELECT printer, outcome, finished_ms - created_ms FROM jobs WHERE state = "
                     "'done'");
    std::vector<Ended> ended;
    while (select.Step() == SQLITE_ROW)
        ended.push_back({select.Text(0), select.Text(1), select.Number(2)});
    return ended;
}

int Journal::Purge(int64_t beforeMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement(db_, "DELETE FROM jobs WHERE state = 'done' AND finished_ms < ?")
        .Bind(beforeMs)
        .Step();
    return sqlite3_changes(db_);
}

std::vector<JobRow> Journal::Rows(Statement& statement) {
    std::vector<JobRow> rows;
    while (statement.Step() == SQLITE_ROW) {
        JobRow row;
        row.id = statement.Text(0);
        row.printer = statement.Text(1);
        row.kind = statement.Text(2);
        row.body = statement.Text(3);
        row.state = statement.Text(4);
        if (!statement.IsNull(5)) row.before = static_cast<int>(statement.Number(5));
        row.outcome = statement.Text(6);
        row.result = statement.Text(7);
        row.createdMs = statement.Number(8);
        row.finishedMs = statement.Number(9);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace tarn::serve
