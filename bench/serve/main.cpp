// tarn-serve-bench: the standard sale through tarn serve against the same receipt through
// libtarn.so called directly, both on tarn-sim --paced; then four printers served at once
// against one alone. Each round starts fresh virtual printers and a fresh service.
//
//   tarn-serve-bench [--sim PATH] [--tarn PATH] [--library PATH] [--type N] [--print-ms N]
//                    [--runs N] [--keep]
#include <httplib.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "client.h"
#include "sale.h"
#include "service_process.h"
#include "sim_process.h"

namespace {

using Json = nlohmann::json;
using tarn::bench::ServiceProcess;
using tarn::bench::SimProcess;

constexpr int kServed = 4;
constexpr double kServiceTarget = 1.01;
constexpr double kFourTarget = 1.05;
constexpr auto kSessionBound = std::chrono::seconds(120);
constexpr auto kStatusWait = std::chrono::milliseconds(2900);

struct Options {
    std::string sim = TARN_BENCH_SIM;
    std::string tarn = TARN_BENCH_TARN;
    std::string library = TARN_BENCH_LIBRARY;
    int type = 8;
    int printMs = 1000;
    int runs = 3;
    bool keep = false;
};

// One round's wall times, in ms.
struct Round {
    double direct = 0;       // the receipt through the library, its session held
    double directWhole = 0;  // the same from mfStart to mfStop
    double alone = 0;        // the receipt through the service, its only printer
    std::vector<double> four;
};

bool ReadOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--sim" && hasValue) {
            options->sim = argv[++i];
        } else if (arg == "--tarn" && hasValue) {
            options->tarn = argv[++i];
        } else if (arg == "--library" && hasValue) {
            options->library = argv[++i];
        } else if (arg == "--type" && hasValue) {
            options->type = std::atoi(argv[++i]);
        } else if (arg == "--print-ms" && hasValue) {
            options->printMs = std::atoi(argv[++i]);
        } else if (arg == "--runs" && hasValue) {
            options->runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--keep") {
            options->keep = true;
        } else {
            return false;
        }
    }
    for (std::string* path : {&options->sim, &options->tarn, &options->library})
        *path = std::filesystem::absolute(*path).string();
    return true;
}

// The standard sale as the service takes it: the same lines, void, discount, payments, cashier
// and foot lines as the library's sale makes.
Json StandardReceipt(int printerType) {
    using namespace tarn::bench;
    Json lines = Json::array();
    int total = 0;
    for (const Item& item : kItems) {
        char quantity[16];
        std::snprintf(quantity, sizeof quantity, "%d.%03d", item.quantity / 1000,
                      item.quantity % 1000);
        lines.push_back({{"name", item.name},
                         {"tax", std::string(1, item.ptu)},
                         {"quantity", quantity},
                         {"unit_price", item.price}});
        total += ValueOf(item);
    }
    total -= ValueOf(kItems[kVoidedItem]);
    Json receipt = {{"lines", lines}, {"voids", {{{"line", kVoidedItem}}}}};
    if (printerType >= 8) {
        lines.back()["discount"] = kLineDiscount;
        receipt["lines"] = lines;
        total -= kLineDiscount;
    } else {
        receipt["percent_discount"] = kReceiptDiscountPercent;
        total -= (kReceiptDiscountPercent * total + 50) / 100;
    }
    receipt["payments"] = {{{"type", "cash"}, {"amount", kCashPayment}, {"name", "Gotowka"}},
                           {{"type", "card"}, {"amount", total - kCashPayment}}};
    receipt["cashier"] = {{"pos", kCashierPos}, {"number", kCashierNumber}, {"name", kCashierName}};
    receipt["transaction"] = kTransactionNo;
    receipt["footer_line"] = kFooterLine;
    return receipt;
}

std::string WorkDir() {
    char dir[] = "/tmp/tarn-serve-bench-XXXXXX";
    return mkdtemp(dir) == nullptr ? "" : dir;
}

void Discard(const Options& options, const std::string& dir) {
    if (options.keep) {
        std::printf("kept %s\n", dir.c_str());
    } else {
        std::filesystem::remove_all(dir);
    }
}

std::vector<std::string> PacedPrinter(const Options& options) {
    return {"--type",     std::to_string(options.type),    "--paced",
            "--print-ms", std::to_string(options.printMs), "--quiet"};
}

bool MeasureDirect(const Options& options, Round* round, std::string* error) {
    const std::string dir = WorkDir();
    SimProcess sim;
    bool ok = sim.Start(options.sim, PacedPrinter(options), dir + "/printer", error);
    if (ok) {
        const tarn::bench::ClientRun run =
            tarn::bench::RunClient(options.library, dir + "/printer", options.type, dir, "");
        ok = run.ok;
        if (!ok) *error = run.error;
        round->direct = static_cast<double>(run.receiptWallNs) / 1e6;
        round->directWhole = static_cast<double>(run.wallNs) / 1e6;
    }
    sim.Stop();
    Discard(options, dir);
    return ok;
}

// Waits until the printer's worker holds its session and is idle, as a till finds it between
// sales. A request for the printer asks for its status and waits up to 3 s for it; answered
// sooner, the status it asked for is read and no other is under way.
bool Started(httplib::Client& client, const std::string& printer) {
    const auto deadline = std::chrono::steady_clock::now() + kSessionBound;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto asked = std::chrono::steady_clock::now();
        const httplib::Result answer = client.Get("/printers/" + printer);
        const bool fresh = std::chrono::steady_clock::now() - asked < kStatusWait;
        if (fresh && answer && answer->status == 200 &&
            Json::parse(answer->body, nullptr, false).value("session", false))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

// The receipt's wall time from the request to its printed answer, in ms; -1 when it failed.
double Sell(int port, const std::string& printer, const std::string& body, std::string* said) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(std::chrono::seconds(150));
    const httplib::Headers key{{"Idempotency-Key", "bench-" + printer}};
    const auto began = std::chrono::steady_clock::now();
    const httplib::Result answer = client.Post("/printers/" + printer + "/receipts?wait=120000",
                                               key, body, "application/json");
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - began;
    const bool printed =
        answer && answer->status == 200 &&
        Json::parse(answer->body, nullptr, false).value("outcome", "") == "printed";
    if (!printed) *said = answer ? answer->body : "no answer from the service";
    return printed ? took.count() : -1;
}

// `count` printers served at once, each selling the standard receipt: their wall times.
bool MeasureServed(const Options& options, int count, std::vector<double>* times,
                   std::string* error) {
    const std::string dir = WorkDir();
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::vector<std::string> printers;
    bool ok = true;
    for (int i = 0; ok && i < count; ++i) {
        sims.push_back(std::make_unique<SimProcess>());
        const std::string link = dir + "/printer" + std::to_string(i);
        ok = sims.back()->Start(options.sim, PacedPrinter(options), link, error);
        printers.push_back("p" + std::to_string(i) + "=" + link);
    }
    ServiceProcess service;
    ok = ok && service.Start(options.tarn, printers, dir, error);
    httplib::Client client("127.0.0.1", service.Port());
    for (int i = 0; ok && i < count; ++i) {
        ok = Started(client, "p" + std::to_string(i));
        if (!ok) *error = "printer p" + std::to_string(i) + " has no session";
    }
    const std::string body = StandardReceipt(options.type).dump();
    std::vector<std::string> said(static_cast<size_t>(count));
    times->assign(static_cast<size_t>(count), -1);
    std::vector<std::thread> tills;
    for (int i = 0; ok && i < count; ++i) {
        tills.emplace_back([&, i] {
            const size_t at = static_cast<size_t>(i);
            (*times)[at] = Sell(service.Port(), "p" + std::to_string(i), body, &said[at]);
        });
    }
    for (std::thread& till : tills) till.join();
    for (size_t i = 0; ok && i < times->size(); ++i) {
        ok = (*times)[i] >= 0;
        if (!ok) *error = "printer p" + std::to_string(i) + ": " + said[i];
    }
    service.Stop();
    Discard(options, dir);
    return ok;
}

bool MeasureRound(const Options& options, Round* round, std::string* error) {
    std::vector<double> alone;
    if (!MeasureDirect(options, round, error) || !MeasureServed(options, 1, &alone, error) ||
        !MeasureServed(options, kServed, &round->four, error))
        return false;
    round->alone = alone[0];
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintSpread(const char* what, const std::vector<double>& values) {
    std::printf("%-44s  %9.1f  %9.1f  %9.1f\n", what, Median(values),
                *std::min_element(values.begin(), values.end()),
                *std::max_element(values.begin(), values.end()));
}

void PrintRound(int number, const Round& round) {
    std::printf("%5d  %10.1f  %10.1f  %10.1f ", number, round.directWhole, round.direct,
                round.alone);
    for (const double each : round.four) std::printf(" %8.1f", each);
    std::printf("\n");
    std::fflush(stdout);
}

void PrintSummary(const std::vector<Round>& rounds) {
    std::vector<double> whole, direct, alone, four, slowest, added, spread;
    for (const Round& round : rounds) {
        whole.push_back(round.directWhole);
        direct.push_back(round.direct);
        alone.push_back(round.alone);
        four.insert(four.end(), round.four.begin(), round.four.end());
        slowest.push_back(*std::max_element(round.four.begin(), round.four.end()));
        added.push_back(round.alone - round.direct);
        spread.push_back(slowest.back() / round.alone);
    }
    std::printf("\n%-44s  %9s  %9s  %9s\n", "ms", "median", "min", "max");
    PrintSpread("library, mfStart to mfStop", whole);
    PrintSpread("library, the receipt (session held)", direct);
    PrintSpread("tarn serve, one printer", alone);
    PrintSpread("tarn serve, four printers at once (each)", four);
    PrintSpread("tarn serve, the slowest of the four", slowest);
    PrintSpread("added by the service (per round)", added);
    const double service = Median(alone) / Median(direct);
    const double served = Median(slowest) / Median(alone);
    std::printf(
        "\nservice / library: %.4f (<= %.2f %s); slowest of four / one alone: %.4f "
        "(<= %.2f %s)\n",
        service, kServiceTarget, service <= kServiceTarget ? "met" : "MISSED", served, kFourTarget,
        served <= kFourTarget ? "met" : "MISSED");
}

int Run(const Options& options) {
    std::printf(
        "The standard sale on tarn-sim --paced --type %d --print-ms %d; %ld CPUs online.\n"
        "Wall ms of the library (mfStart to mfStop, the receipt alone) and of the service "
        "(request to answer, one printer, four at once).\n\n",
        options.type, options.printMs, sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%5s  %10s  %10s  %10s  %s\n", "round", "library", "receipt", "served",
                "four served at once");
    std::vector<Round> rounds;
    for (int i = 1; i <= options.runs; ++i) {
        Round round;
        std::string error;
        if (!MeasureRound(options, &round, &error)) {
            std::fprintf(stderr, "round %d: %s\n", i, error.c_str());
            return 1;
        }
        PrintRound(i, round);
        rounds.push_back(round);
    }
    PrintSummary(rounds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ReadOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: tarn-serve-bench [--sim PATH] [--tarn PATH] [--library PATH]\n"
                     "                        [--type N] [--print-ms N] [--runs N] [--keep]\n");
        return 2;
    }
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarn-serve-bench: %s\n", e.what());
        return 1;
    }
}
