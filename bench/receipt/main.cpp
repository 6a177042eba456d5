// tarn-receipt-bench: the standard sale through libtarn.so over tarn-sim --paced, on printer
// types 8 and 3, against its floor; and the same sale through a build whose waits spin.
//
//   tarn-receipt-bench [--sim PATH] [--library PATH] [--spinning PATH] [--print-ms N]
//                      [--type N]... [--keep]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "client.h"
#include "floor.h"
#include "serial_line.h"
#include "sim_process.h"
#include "wire_trace.h"

namespace {

using tarn::bench::ClientRun;
using tarn::bench::Floor;

struct Options {
    std::string sim = TARN_BENCH_SIM;
    std::string library = TARN_BENCH_LIBRARY;
    std::string spinning = TARN_BENCH_SPINNING_LIBRARY;
    int printMs = 1000;
    std::vector<int> types;
    bool keep = false;  // keep each run's directory: the wire trace and the library's log
};

struct Row {
    int type = 0;
    bool spinning = false;  // through the build whose waits spin
    ClientRun run;
    Floor floor;

    const char* Waits() const { return spinning ? "spinning" : "sleeping"; }
};

constexpr double kRatioTarget = 1.02;
constexpr double kCpuShareTarget = 0.01;

bool ReadOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--sim" && hasValue) {
            options->sim = argv[++i];
        } else if (arg == "--library" && hasValue) {
            options->library = argv[++i];
        } else if (arg == "--spinning" && hasValue) {
            options->spinning = argv[++i];
        } else if (arg == "--print-ms" && hasValue) {
            options->printMs = std::atoi(argv[++i]);
        } else if (arg == "--type" && hasValue) {
            options->types.push_back(std::atoi(argv[++i]));
        } else if (arg == "--keep") {
            options->keep = true;
        } else {
            return false;
        }
    }
    if (options->types.empty()) options->types = {8, 3};
    // The client works in a directory of its own.
    for (std::string* path : {&options->sim, &options->library, &options->spinning}) {
        *path = std::filesystem::absolute(*path).string();
    }
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool FloorOf(const std::string& tracePath, int type, int printMs, Floor* floor,
             std::string* error) {
    std::vector<tarn::bench::TracedCall> calls;
    if (!tarn::bench::ReadTrace(ReadFile(tracePath), &calls, error)) return false;
    *floor = tarn::bench::IdealFloor(calls, {type, printMs});
    return true;
}

// The sale on a fresh virtual printer, with the client working in `dir`.
bool SellOnFreshPrinter(const Options& options, const std::string& library, const std::string& dir,
                        Row* row, std::string* error) {
    tarn::bench::SimProcess sim;
    const std::vector<std::string> args{"--type",     std::to_string(row->type),       "--paced",
                                        "--print-ms", std::to_string(options.printMs), "--quiet"};
    if (!sim.Start(options.sim, args, dir + "/printer", error)) return false;
    row->run = tarn::bench::RunClient(library, dir + "/printer", row->type, dir, dir + "/wire.txt");
    if (!row->run.ok) *error = row->run.error;
    return row->run.ok;
}

bool Measure(const Options& options, const std::string& library, Row* row, std::string* error) {
    char dir[] = "/tmp/tarn-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        *error = "cannot make a work directory";
        return false;
    }
    const bool ok =
        SellOnFreshPrinter(options, library, dir, row, error) &&
        FloorOf(std::string(dir) + "/wire.txt", row->type, options.printMs, &row->floor, error);
    if (options.keep) {
        std::printf("kept %s\n", dir);
    } else {
        std::filesystem::remove_all(dir);
    }
    return ok;
}

double Ms(int64_t ns) {
    return static_cast<double>(ns) / 1e6;
}

void PrintHeader(const Options& options) {
    std::printf(
        "Standard sale from mfStart to mfStop: 10 lines, a void, a discount (type 8: on the\n"
        "last line; type 3: 5 %% off the receipt), two payments, transaction, cashier and free\n"
        "foot lines. tarn-sim --paced: 9600 baud,\n"
        "%d bits a byte (%.3f ms); --print-ms %d. %ld CPUs online.\n\n",
        tarn::sim::SerialLine::kBitsPerByte,
        static_cast<double>(tarn::sim::SerialLine::ByteNs()) / 1e6, options.printMs,
        sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%-4s  %-8s  %9s  %9s  %11s  %10s  %13s  %8s\n", "type", "waits", "wall ms",
                "floor ms", "overhead ms", "wall/floor", "client CPU ms", "CPU/wall");
}

void PrintRow(const Row& row) {
    const double wall = Ms(row.run.wallNs);
    const double floor = row.floor.totalMs;
    std::printf("%4d  %-8s  %9.1f  %9.1f  %11.1f  %10.4f  %13.1f  %7.2f%%\n", row.type, row.Waits(),
                wall, floor, wall - floor, wall / floor, Ms(row.run.cpuNs),
                100.0 * Ms(row.run.cpuNs) / wall);
}

void PrintFloor(const Row& row) {
    const Floor& f = row.floor;
    std::printf(
        "type %d floor: %d exchanges, %d bytes to the printer and %d from it (%.1f ms on "
        "the line), %.1f ms of scheduled waits and poll steps\n",
        row.type, f.exchanges, f.bytesToPrinter, f.bytesFromPrinter, f.lineMs, f.waitsMs);
}

void PrintTargets(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        if (row.spinning) continue;
        const double wall = Ms(row.run.wallNs);
        const bool ratio = wall / row.floor.totalMs <= kRatioTarget;
        const bool cpu = Ms(row.run.cpuNs) / wall <= kCpuShareTarget;
        std::printf("type %d: wall/floor <= %.2f %s; client CPU <= %.0f%% of wall %s\n", row.type,
                    kRatioTarget, ratio ? "met" : "MISSED", 100 * kCpuShareTarget,
                    cpu ? "met" : "MISSED");
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ReadOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: tarn-receipt-bench [--sim PATH] [--library PATH] [--spinning PATH]\n"
                     "                          [--print-ms N] [--type N]... [--keep]\n");
        return 2;
    }
    PrintHeader(options);
    std::fflush(stdout);
    std::vector<Row> rows;
    for (const int type : options.types) {
        for (const bool spinning : {false, true}) {
            Row row;
            row.type = type;
            row.spinning = spinning;
            std::string error;
            if (!Measure(options, spinning ? options.spinning : options.library, &row, &error)) {
                std::fprintf(stderr, "type %d, %s waits: %s\n", type, row.Waits(), error.c_str());
                return 1;
            }
            PrintRow(row);
            std::fflush(stdout);
            rows.push_back(row);
        }
    }
    std::printf("\n");
    for (const Row& row : rows) {
        if (!row.spinning) PrintFloor(row);
    }
    PrintTargets(rows);
    return 0;
}
