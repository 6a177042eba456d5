// tarn serve as a till reaches it: a real HTTP client against the service, the service against
// tarn-sim programs over TCP, and the service killed, restarted and its printers stopped.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "sim_program.h"
#include "test_dir.h"

extern char** environ;

namespace tarn {
namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

const char* const kSale =
    R"({"lines": [{"name": "Chleb żytni", "tax": "B", "quantity": 1, "unit_price": "5.49"},
                  {"name": "Pomidory", "tax": "B", "quantity": "1.25", "unit_price": 1290,
                   "unit": "kg"}],
        "payments": [{"type": "cash", "amount": "30.00"}], "transaction": 77})";

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class ServeTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (test::SimProgram& sim : sims_) kill(sim.Pid(), SIGCONT);
        StopService(SIGTERM);
    }

    // A virtual printer on a TCP port; its roll in NAME.roll.
    std::string AddPrinter(const std::string& name, std::vector<std::string> args = {}) {
        sims_.emplace_back();
        std::string roll = dir.File(name + ".roll");
        args.insert(args.end(), {"--tcp", "0"});
        EXPECT_TRUE(sims_.back().Start(args, roll, ""));
        printers_.push_back(name + "=tcp:127.0.0.1:" + std::to_string(sims_.back().TcpPort()));
        return roll;
    }

    void StartService() {
        std::vector<std::string> all = {TARN_CLI_BINARY, "serve",     "--listen",
                                        "127.0.0.1:0",   "--journal", dir.File("journal.db")};
        for (const std::string& p : printers_) all.insert(all.end(), {"--printer", p});
        all.insert(all.end(), options_.begin(), options_.end());
        std::vector<char*> argv;
        argv.reserve(all.size() + 1);
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string out = dir.File("serve.out");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        ASSERT_EQ(posix_spawn(&service_, TARN_CLI_BINARY, &actions, nullptr, argv.data(), environ),
                  0);
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 500 && port_ <= 0; ++i) {
            const std::string shown = test::ReadFile(out);
            const size_t at = shown.find("http://127.0.0.1:");
            if (at != std::string::npos) port_ = std::atoi(shown.c_str() + at + 17);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_GT(port_, 0) << test::ReadFile(out);
    }
    void StopService(int signal) {
        if (service_ <= 0) return;
        kill(service_, signal);
        waitpid(service_, nullptr, 0);
        service_ = -1;
        port_ = 0;
    }
    // The service's worker processes.
    std::vector<pid_t> Workers() const {
        std::vector<pid_t> workers;
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            const std::string stat = test::ReadFile(entry.path().string() + "/stat");
            const size_t end = stat.rfind(')');
            if (end != std::string::npos &&
                std::atoi(stat.c_str() + stat.find(' ', end + 2) + 1) == service_)
                workers.push_back(std::atoi(entry.path().filename().c_str()));
        }
        return workers;
    }
    httplib::Result Post(const std::string& path, const std::string& body,
                         const std::string& key = "") {
        httplib::Client client("127.0.0.1", port_);
        client.set_read_timeout(60, 0);
        httplib::Headers headers;
        if (!key.empty()) headers.emplace("Idempotency-Key", key);
        return client.Post(path, headers, body, "application/json");
    }
    Json Get(const std::string& path, int* status = nullptr) {
        httplib::Client client("127.0.0.1", port_);
        client.set_read_timeout(60, 0);
        const httplib::Result r = client.Get(path);
        if (status != nullptr) *status = r ? r->status : -1;
        return r ? Json::parse(r->body, nullptr, false) : Json();
    }

    test::TestDir dir;
    std::deque<test::SimProgram> sims_;  // SimProgram cannot move
    std::vector<std::string> printers_;
    std::vector<std::string> options_;
    pid_t service_ = -1;
    int port_ = 0;
};

// A sale; the same key again answers the first outcome and prints nothing; the same key with
// another body is refused; the job is found by its id, as the printer's last job, and in the
// list.
TEST_F(ServeTest, ASaleRunsOncePerKey) {
    const std::string roll = AddPrinter("till");
    StartService();
    const httplib::Result sale = Post("/printers/till/receipts?wait=20000", kSale, "sale-1");
    ASSERT_TRUE(sale);
    EXPECT_EQ(sale->status, 200) << sale->body;
    const Json job = Json::parse(sale->body);
    EXPECT_EQ(job["outcome"], "printed") << sale->body;
    EXPECT_EQ(job["receipt_number"], 1);
    const httplib::Result again = Post("/printers/till/receipts?wait=20000", kSale, "sale-1");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_EQ(Json::parse(again->body)["receipt_number"], 1);
    const std::string other = R"({"lines": [{"name": "Mleko", "tax": "B", "quantity": 1,
        "unit_price": 299}], "payments": [{"type": "card", "amount": 299}]})";
    EXPECT_EQ(Post("/printers/till/receipts", other, "sale-1")->status, 409);
    EXPECT_EQ(Count(test::ReadFile(roll), "PARAGON FISKALNY"), 1u) << test::ReadFile(roll);
    EXPECT_EQ(Count(test::ReadFile(roll), "TRANSAKCJI: 77"), 1u) << test::ReadFile(roll);
    EXPECT_EQ(Get("/jobs/sale-1")["outcome"], "printed");
    EXPECT_EQ(Get("/printers/till/last-job")["id"], "sale-1");
    EXPECT_EQ(Get("/jobs?printer=till")["jobs"].size(), 1u);
    const Json printer = Get("/printers/till");
    EXPECT_EQ(printer["identity"]["serial"], "TRN26000001") << printer.dump();
    EXPECT_EQ(printer["status"]["receipt_count"], 1) << printer.dump();
    // The API's own example sells.
    const Json example =
        Get("/openapi.json")["paths"]["/printers/{name}/receipts"]["post"]["requestBody"]["content"]
                            ["application/json"]["example"];
    const httplib::Result sold = Post("/printers/till/receipts?wait=20000", example.dump(), "ex");
    EXPECT_EQ(Json::parse(sold->body)["receipt_number"], 2) << sold->body;
}

// Each document is refused whole, naming the field, and nothing reaches the paper.
TEST_F(ServeTest, ABadDocumentIsRefusedNamingTheField) {
    const std::string roll = AddPrinter("till");
    AddPrinter("blind", {"--display", "0"});
    StartService();
    const std::string line = R"({"name": "Chleb", "tax": "B", "quantity": 1, "unit_price": 549})";
    const std::string cash = R"([{"type": "cash", "amount": 549}])";
    const auto receipt = [&](const std::string& lines, const std::string& rest = "") {
        return R"({"lines": [)" + lines + R"(], "payments": )" + cash + rest + "}";
    };
    // clang-format off
    const struct { std::string body; const char* field; } rows[] = {
        {R"({"payments": [{"type": "cash", "amount": 1}]})", "/lines"},
        {receipt(R"({"name": "Chleb", "tax": "H", "quantity": 1, "unit_price": 549})"), "/lines/0/tax"},
        {receipt(R"({"name": "Chleb", "tax": "B", "quantity": 1, "unit_price": 5.49})"), "/lines/0/unit_price"},
        {receipt(R"({"name": "Chleb", "tax": "B", "quantity": 1, "unit_price": "5.499"})"), "/lines/0/unit_price"},
        {receipt(R"({"name": "Chleb", "tax": "B", "quantity": 0, "unit_price": 549})"), "/lines/0/quantity"},
        {receipt(R"({"name": "", "tax": "B", "quantity": 1, "unit_price": 549})"), "/lines/0/name"},
        {receipt(R"({"name": "A name longer than twenty-eight", "tax": "B", "quantity": 1, "unit_price": 549})"), "/lines/0/name"},
        {receipt(R"({"name": "Chleb ☃", "tax": "B", "quantity": 1, "unit_price": 549})"), "/lines/0/name"},
        {receipt(R"({"name": "Chleb", "tax": "B", "quantity": 1, "unit_price": 549, "price": 1})"), "/lines/0/price"},
        {receipt(line + "," + line, R"(, "voids": [{"line": 2}])"), "/voids/0/line"},
        {receipt(line, R"(, "voids": [{"line": 0}])"), "/voids"},
        {receipt(line, R"(, "percent_discount": 100)"), "/percent_discount"},
        {receipt(line, R"(, "footer_line": "a footer line longer than thirty-one")"), "/footer_line"},
        {receipt(line, R"(, "cashier": {"pos": 1, "number": 100, "name": "Ewa"})"), "/cashier/number"},
        {R"({"lines": [)" + line + R"(], "payments": [{"type": "cash", "amount": 548}]})", "/payments"},
        {R"({"lines": [)" + line + R"(], "payments": [{"type": "cheque", "amount": 549}]})", "/payments/0/type"},
        {R"({"lines": [)" + line + R"(], "payments": [{"type": "currency", "amount": 549, "currency": "EUR", "rate": "4,3210"}]})", "/payments/0/rate"},
        {receipt(line, R"(, "job_id": "a b")"), "/job_id"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const httplib::Result r = Post("/printers/till/receipts?wait=5000", row.body);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 422) << row.body << "\n" << r->body;
        EXPECT_EQ(Json::parse(r->body, nullptr, false)["field"], row.field) << row.body;
    }
    // What a printer cannot do, learned when its worker starts, is refused the same way.
    for (int i = 0; i < 200 && !Get("/printers/blind").value("session", false); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const httplib::Result blind = Post("/printers/blind/display", R"({"line1": "Dzień dobry"})");
    ASSERT_TRUE(blind);
    EXPECT_EQ(blind->status, 422) << blind->body;
    EXPECT_EQ(Json::parse(blind->body, nullptr, false)["field"], "/") << blind->body;
    EXPECT_EQ(Get("/jobs")["jobs"].size(), 0u);
    EXPECT_EQ(test::ReadFile(roll).find("PARAGON"), std::string::npos) << test::ReadFile(roll);
}

// Every other document, as the API's own example: printed once, also when its key comes again;
// a bad one is refused naming the field, and nothing reaches the paper. The metrics count them.
TEST_F(ServeTest, EachDocumentRunsOncePerKeyAndIsCheckedWhole) {
    const std::string roll = AddPrinter("till");
    StartService();
    ASSERT_EQ(Post("/printers/till/receipts?wait=20000", kSale, "sale")->status, 200);
    const Json paths = Get("/openapi.json")["paths"];
    // A periodic report needs a daily report in its range: today's, once the day is closed.
    const std::string today = Get("/printers/till")["status"].value("clock", "").substr(0, 10);
    const std::string byDate = R"({"from": ")" + today + R"(", "to": ")" + today + R"("})";
    // clang-format off
    const struct { const char* path; const char* printed; const char* bad; const char* field; std::string body; } rows[] = {
        {"pay-ins", "POKWITOWANIE WPŁATY", R"({"amount": 2.5})", "/amount", ""},
        {"pay-outs", "POKWITOWANIE WYPŁATY", R"({"amount": 100, "title": "Zwrot"})", "/title", ""},
        {"card-slips", "PŁATNOŚĆ KARTĄ", R"({"status": "accepted", "type": "refund", "amount": 100, "cashback": 50})", "/cashback", ""},
        {"display", "[display] Dzień dobry | Zapraszamy", R"({"line1": "a line over twenty chars"})", "/line1", ""},
        {"drawer", "", R"({"drawer": 4})", "/drawer", ""},
        {"daily-reports", "RAPORT DOBOWY FISKALNY", R"({"date": "2026-12-07"})", "/date", ""},
        {"periodic-reports", "RAPORT OKRESOWY", R"({"from": "2026-02-29", "to": "2026-03-01"})", "/from", byDate},
        {"periodic-reports", "RAPORT OKRESOWY WG NUMERÓW", R"({"from_report": 3, "to_report": 2})", "/to_report", R"({"from_report": 1, "to_report": 1})"},
    };
    // clang-format on
    int printed = 1;
    for (const auto& row : rows) {
        const std::string path = std::string("/printers/till/") + row.path + "?wait=20000";
        const size_t before = test::ReadFile(roll).size();
        const httplib::Result bad = Post(path, row.bad);
        ASSERT_TRUE(bad);
        EXPECT_EQ(bad->status, 422) << row.path << " " << bad->body;
        EXPECT_EQ(Json::parse(bad->body, nullptr, false)["field"], row.field) << row.path;
        EXPECT_EQ(test::ReadFile(roll).size(), before) << row.path;
        const std::string example =
            !row.body.empty() ? row.body
                              : paths["/printers/{name}/" + std::string(row.path)]["post"]
                                     ["requestBody"]["content"]["application/json"]["example"]
                                         .dump();
        const std::string key = "doc-" + std::to_string(printed);
        for (int attempt = 0; attempt < 2; ++attempt) {
            const httplib::Result job = Post(path, example, key);
            ASSERT_TRUE(job);
            EXPECT_EQ(job->status, 200) << row.path << " " << job->body;
            EXPECT_EQ(Json::parse(job->body)["outcome"], "printed") << row.path << job->body;
        }
        ++printed;
        const std::string shown = test::ReadFile(roll);
        EXPECT_EQ(*row.printed == 0 ? 1u : Count(shown, row.printed), 1u) << row.path << shown;
    }
    EXPECT_EQ(Count(test::ReadFile(roll), "PARAGON FISKALNY"), 1u);
    const std::string metrics = httplib::Client("127.0.0.1", port_).Get("/metrics")->body;
    EXPECT_NE(metrics.find("outcome=\"printed\"} " + std::to_string(printed)), std::string::npos)
        << metrics;
}

// A client whose connection is cut while its receipt prints sends it again with the same key:
// the receipt is printed once and the retry gets its outcome.
TEST_F(ServeTest, ARetryAfterACutConnectionPrintsOnce) {
    const std::string roll = AddPrinter("till", {"--print-ms", "300"});
    StartService();
    {
        httplib::Client impatient("127.0.0.1", port_);
        impatient.set_read_timeout(0, 200000);
        const httplib::Result cut =
            impatient.Post("/printers/till/receipts?wait=20000", {{"Idempotency-Key", "k1"}}, kSale,
                           "application/json");
        EXPECT_FALSE(cut);
    }
    const httplib::Result retry = Post("/printers/till/receipts?wait=20000", kSale, "k1");
    ASSERT_TRUE(retry);
    EXPECT_EQ(Json::parse(retry->body)["outcome"], "printed") << retry->body;
    EXPECT_EQ(Count(test::ReadFile(roll), "PARAGON FISKALNY"), 1u) << test::ReadFile(roll);
}

// The service killed while a slow printer prints a receipt: after the restart the job is
// resolved by asking the printer, and its outcome is what the roll shows; the journal still
// holds the job finished before.
TEST_F(ServeTest, AJobCutByAKillIsResolvedAsTheRollShows) {
    const std::string roll = AddPrinter("till", {"--print-ms", "250"});
    StartService();
    ASSERT_EQ(Post("/printers/till/receipts?wait=20000", kSale, "first")->status, 200);
    std::string lines = R"({"name": "Chleb", "tax": "B", "quantity": 1, "unit_price": 100})";
    for (int i = 0; i < 5; ++i) lines += "," + lines.substr(0, lines.find('}') + 1);
    const std::string big =
        R"({"lines": [)" + lines + R"(], "payments": [{"type": "cash", "amount": 600}]})";
    ASSERT_EQ(Post("/printers/till/receipts", big, "cut")->status, 202);
    const Clock::time_point until = Clock::now() + std::chrono::seconds(10);
    while (Count(test::ReadFile(roll), "Chleb.....") < 2 && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    StopService(SIGKILL);
    StartService();
    const Json job = Get("/jobs/cut?wait=20000");
    // Read once the job is resolved: a command the killed worker sent may still be printing.
    const bool ended = test::ReadFile(roll).find("Paragon nr 2") != std::string::npos;
    EXPECT_EQ(job["state"], "done") << job.dump();
    EXPECT_EQ(job["outcome"], ended ? "printed" : "not_printed") << job.dump();
    EXPECT_NE(job.value("resolution", "").find("receipt count"), std::string::npos) << job.dump();
    EXPECT_EQ(Count(test::ReadFile(roll), "PARAGON ANULOWANY"), ended ? 0u : 1u)
        << test::ReadFile(roll);
    EXPECT_EQ(Get("/jobs/first")["outcome"], "printed");
    const Json next = Json::parse(Post("/printers/till/receipts?wait=20000", kSale, "next")->body);
    EXPECT_EQ(next["outcome"], "printed") << next.dump();
}

// A journal left by a service killed in the middle of a job of each kind: after the restart
// each job is settled by what its printer can tell, never guessed. Printer "fresh" sold nothing
// (its receipt count is 0, as after a daily report); "sold" sold one receipt.
TEST_F(ServeTest, AnInterruptedJobOfEachKindIsSettledByWhatThePrinterTells) {
    AddPrinter("fresh");
    AddPrinter("sold");
    StartService();
    ASSERT_EQ(Post("/printers/sold/receipts?wait=20000", kSale, "sale")->status, 200);
    StopService(SIGKILL);
    constexpr int kNotSent = -1;  // cut off before its first byte went to the printer
    // clang-format off
    const struct { const char* printer; const char* kind; int before; const char* outcome; } rows[] = {
        {"sold", "receipt", 0, "printed"},
        {"sold", "receipt", 1, "not_printed"},
        {"fresh", "daily_report", 2, "printed"},
        {"sold", "daily_report", 1, "not_printed"},
        {"fresh", "daily_report", 0, "not_printed"},
        {"sold", "pay_in", 1, "uncertain"},
        {"sold", "pay_out", 1, "uncertain"},
        {"sold", "card_slip", 1, "uncertain"},
        {"sold", "periodic_report", 1, "uncertain"},
        {"sold", "drawer", 1, "uncertain"},
        {"sold", "display", 1, "uncertain"},
        {"sold", "pay_in", kNotSent, "not_printed"},
    };
    // clang-format on
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    sqlite3* journal = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("journal.db").c_str(), &journal), SQLITE_OK);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const std::string before =
            rows[i].before == kNotSent ? "NULL" : std::to_string(rows[i].before);
        const std::string insert =
            "INSERT INTO jobs (id, printer, kind, body, state, receipts_before, created_ms) "
            "VALUES ('cut-" +
            std::to_string(i) + "', '" + rows[i].printer + "', '" + rows[i].kind +
            "', '{}', 'running', " + before + ", " + std::to_string(now) + ")";
        EXPECT_EQ(sqlite3_exec(journal, insert.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    }
    sqlite3_close(journal);
    StartService();
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Json job = Get("/jobs/cut-" + std::to_string(i) + "?wait=20000");
        EXPECT_EQ(job["outcome"], rows[i].outcome) << rows[i].kind << " " << job.dump();
        EXPECT_EQ(job.contains("next_step"), job["outcome"] == "uncertain") << job.dump();
    }
    EXPECT_EQ(Get("/jobs/cut-0").value("receipt_number", 0), 1);
}

// A printer that cannot be reached ends the job not printed, saying why (a failed start leaves no
// session to read a detail code from).
TEST_F(ServeTest, APrinterOutOfReachEndsTheJobSayingWhy) {
    printers_.push_back("gone=tcp:127.0.0.1:1");
    StartService();
    const Json job = Json::parse(Post("/printers/gone/receipts?wait=60000", kSale, "g")->body);
    EXPECT_EQ(job["outcome"], "not_printed") << job.dump();
    EXPECT_EQ(job["error"]["call"], "mfStart") << job.dump();
    EXPECT_NE(job["error"].value("english", "").find("could not be opened"), std::string::npos);
    EXPECT_EQ(Get("/printers/gone")["last_error"]["call"], "mfStart");
}

// A worker killed between jobs is started anew for the next; one killed in the middle of a
// receipt leaves its job to be resolved as the roll shows. The service goes on.
TEST_F(ServeTest, AKilledWorkerIsReplaced) {
    const std::string roll = AddPrinter("till", {"--print-ms", "250"});
    StartService();
    ASSERT_EQ(Post("/printers/till/receipts?wait=20000", kSale, "first")->status, 200);
    for (const pid_t worker : Workers()) kill(worker, SIGKILL);
    const Json second = Json::parse(Post("/printers/till/receipts?wait=20000", kSale, "2")->body);
    EXPECT_EQ(second.value("receipt_number", 0), 2) << second.dump();
    ASSERT_EQ(Post("/printers/till/receipts", kSale, "cut")->status, 202);
    const Clock::time_point until = Clock::now() + std::chrono::seconds(10);
    while (Count(test::ReadFile(roll), "Chleb żytni") < 3 && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (const pid_t worker : Workers()) kill(worker, SIGKILL);
    const Json cut = Get("/jobs/cut?wait=20000");
    const bool ended = test::ReadFile(roll).find("Paragon nr 3") != std::string::npos;
    EXPECT_EQ(cut["outcome"], ended ? "printed" : "not_printed") << cut.dump();
    EXPECT_NE(cut.value("resolution", "").find("receipt count"), std::string::npos) << cut.dump();
}

// A worker killed while the printer prints a form: the form is on the roll, but the printer
// keeps no count of its forms, so the job ends uncertain and sends the till to the roll.
TEST_F(ServeTest, AFormCutByAKilledWorkerEndsUncertain) {
    const std::string roll = AddPrinter("till", {"--print-ms", "3000"});
    StartService();
    const struct {
        const char* path;
        const char* body;
        const char* printed;
    } rows[] = {
        {"pay-ins", R"({"amount": "200.00", "payer": "Anna Nowak"})", "POKWITOWANIE WPŁATY"},
        {"card-slips", R"({"status": "accepted", "type": "sale", "amount": 3799})",
         "PŁATNOŚĆ KARTĄ"},
    };
    for (const auto& row : rows) {
        ASSERT_EQ(Post(std::string("/printers/till/") + row.path, row.body, row.path)->status, 202);
        const Clock::time_point until = Clock::now() + std::chrono::seconds(10);
        while (Count(test::ReadFile(roll), row.printed) == 0 && Clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        for (const pid_t worker : Workers()) kill(worker, SIGKILL);
        const Json job = Get(std::string("/jobs/") + row.path + "?wait=20000");
        EXPECT_EQ(job["outcome"], "uncertain") << job.dump();
        EXPECT_NE(job.value("next_step", "").find("roll"), std::string::npos) << job.dump();
    }
}

// One printer stopped dead: the other goes on serving at its own pace.
TEST_F(ServeTest, AStoppedPrinterDoesNotHoldUpAnother) {
    AddPrinter("stuck");
    const std::string roll = AddPrinter("free");
    StartService();
    ASSERT_EQ(Post("/printers/stuck/receipts?wait=20000", kSale, "warm")->status, 200);
    kill(sims_[0].Pid(), SIGSTOP);
    EXPECT_EQ(Post("/printers/stuck/receipts", kSale, "held")->status, 202);
    const Clock::time_point start = Clock::now();
    const httplib::Result free = Post("/printers/free/receipts?wait=20000", kSale, "free");
    ASSERT_TRUE(free);
    EXPECT_EQ(Json::parse(free->body)["outcome"], "printed") << free->body;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_NE(Get("/jobs/held")["state"], "done");
    StopService(SIGKILL);
}

// A browser page of another site, a host name that is not this service's (DNS rebinding) and a
// client without the token are refused before anything runs; a configured origin is let through;
// the metrics count what ran.
TEST_F(ServeTest, RequestsFromElsewhereAreRefused) {
    const std::string roll = AddPrinter("till");
    std::ofstream(dir.File("token")) << "0123456789abcdef0123\n";
    options_ = {"--allow-origin", "http://till.local", "--token-file", dir.File("token")};
    StartService();
    const std::string host = "127.0.0.1:" + std::to_string(port_);
    const std::string token = "Bearer 0123456789abcdef0123";
    // clang-format off
    const struct { const char* method; httplib::Headers headers; int status; } rows[] = {
        {"POST", {{"Authorization", token}, {"Origin", "http://shop.example"}}, 403},
        {"POST", {{"Authorization", token}, {"Sec-Fetch-Site", "cross-site"}}, 403},
        {"POST", {{"Authorization", token}, {"Host", "rebound.example:" + std::to_string(port_)}}, 421},
        {"POST", {{"Authorization", "Bearer 0123456789abcdef012"}}, 401},
        {"POST", {}, 401},
        {"OPTIONS", {{"Origin", "http://till.local"}}, 204},
        {"POST", {{"Authorization", token}, {"Origin", "http://till.local"}}, 200},
    };
    // clang-format on
    for (const auto& row : rows) {
        httplib::Client client("127.0.0.1", port_);
        client.set_read_timeout(60, 0);
        httplib::Request request;
        request.method = row.method;
        request.path = "/printers/till/receipts?wait=20000";
        request.headers = row.headers;
        if (request.headers.find("Host") == request.headers.end())
            request.headers.emplace("Host", host);
        request.body = kSale;
        request.set_header("Content-Type", "application/json");
        const httplib::Result r = client.send(request);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, row.status) << row.method << " " << r->body;
        if (row.headers.count("Origin") != 0 && row.status != 403) {
            EXPECT_EQ(r->get_header_value("Access-Control-Allow-Origin"), "http://till.local");
        }
    }
    EXPECT_EQ(Count(test::ReadFile(roll), "PARAGON FISKALNY"), 1u) << test::ReadFile(roll);
    httplib::Client client("127.0.0.1", port_);
    const httplib::Result metrics = client.Get("/metrics", {{"Authorization", token}});
    ASSERT_TRUE(metrics);
    EXPECT_NE(metrics->body.find("tarn_jobs_total{printer=\"till\",outcome=\"printed\"} 1"),
              std::string::npos)
        << metrics->body;
    const test::CommandResult open =
        test::RunCommand(std::string(TARN_CLI_BINARY) + " serve --listen 0.0.0.0:0 --journal " +
                         dir.File("other.db") + " --printer till=9");
    EXPECT_EQ(open.status, 2);
    EXPECT_NE(open.output.find("needs --token-file"), std::string::npos) << open.output;
}

}  // namespace
}  // namespace tarn
