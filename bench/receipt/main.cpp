// tarn-receipt-bench: the standard sale through libtarn.so over tarn-sim --paced, on printer
// types 8 and 3, against its floor; the same sale through a build whose waits spin; and, when
// the 64-bit TARN.dll is built and Wine is there, through the DLL in a Windows process.
//
//   tarn-receipt-bench [--sim PATH] [--library PATH] [--spinning PATH] [--print-ms N]
//                      [--type N]... [--keep] [--windows-build DIR] [--wine LOADER SERVER]
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
#include "wine_client.h"
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
    tarn::bench::WineSetup wine{TARN_BENCH_WINE64_LOADER, TARN_BENCH_WINE64_SERVER,
                                TARN_BENCH_WINDOWS64_BUILD, TARN_BENCH_WINE_COM1_SCRIPT};

    bool WithWine() const {
        return access(wine.loader.c_str(), X_OK) == 0 &&
               access((wine.windowsBuild + "/tarn_bench_client.exe").c_str(), R_OK) == 0;
    }
};

// The library a row's client loads.
enum class Build { Sleeping, Spinning, Wine64 };

struct Row {
    int type = 0;
    Build build = Build::Sleeping;
    ClientRun run;
    Floor floor;

    const char* Name() const {
        switch (build) {
            case Build::Spinning: return "libtarn, spinning";
            case Build::Wine64: return "TARN.dll x64, Wine";
            default: return "libtarn.so";
        }
    }
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
        } else if (arg == "--windows-build" && hasValue) {
            options->wine.windowsBuild = argv[++i];
        } else if (arg == "--wine" && i + 2 < argc) {
            options->wine.loader = argv[++i];
            options->wine.server = argv[++i];
        } else {
            return false;
        }
    }
    if (options->types.empty()) options->types = {8, 3};
    // The client works in a directory of its own.
    for (std::string* path :
         {&options->sim, &options->library, &options->spinning, &options->wine.windowsBuild}) {
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
bool SellOnFreshPrinter(const Options& options, const std::string& dir, Row* row,
                        std::string* error) {
    tarn::bench::SimProcess sim;
    const std::vector<std::string> args{"--type",     std::to_string(row->type),       "--paced",
                                        "--print-ms", std::to_string(options.printMs), "--quiet"};
    if (!sim.Start(options.sim, args, dir + "/printer", error)) return false;
    const std::string printer = dir + "/printer", trace = dir + "/wire.txt";
    if (row->build == Build::Wine64) {
        row->run = tarn::bench::RunWineClient(options.wine, printer, row->type, dir, trace);
    } else {
        const bool spinning = row->build == Build::Spinning;
        row->run = tarn::bench::RunClient(spinning ? options.spinning : options.library, printer,
                                          row->type, dir, trace);
    }
    if (!row->run.ok) *error = row->run.error;
    return row->run.ok;
}

bool Measure(const Options& options, Row* row, std::string* error) {
    char dir[] = "/tmp/tarn-bench-XXXXXX";
    if (mkdtemp(dir) == nullptr) {
        *error = "cannot make a work directory";
        return false;
    }
    const bool ok =
        SellOnFreshPrinter(options, dir, row, error) &&
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
    std::printf("%-4s  %-18s  %9s  %9s  %11s  %10s  %13s  %8s\n", "type", "library", "wall ms",
                "floor ms", "overhead ms", "wall/floor", "client CPU ms", "CPU/wall");
}

void PrintRow(const Row& row) {
    const double wall = Ms(row.run.wallNs);
    const double floor = row.floor.totalMs;
    std::printf("%4d  %-18s  %9.1f  %9.1f  %11.1f  %10.4f  %13.1f  %7.2f%%\n", row.type, row.Name(),
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
        if (row.build == Build::Spinning) continue;
        const double wall = Ms(row.run.wallNs);
        const bool ratio = wall / row.floor.totalMs <= kRatioTarget;
        const bool cpu = Ms(row.run.cpuNs) / wall <= kCpuShareTarget;
        std::printf("type %d, %s: wall/floor <= %.2f %s; client CPU <= %.0f%% of wall %s\n",
                    row.type, row.Name(), kRatioTarget, ratio ? "met" : "MISSED",
                    100 * kCpuShareTarget, cpu ? "met" : "MISSED");
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ReadOptions(argc, argv, &options)) {
        std::fprintf(stderr,
                     "usage: tarn-receipt-bench [--sim PATH] [--library PATH] [--spinning PATH]\n"
                     "                          [--print-ms N] [--type N]... [--keep]\n"
                     "                          [--windows-build DIR] [--wine LOADER SERVER]\n");
        return 2;
    }
    PrintHeader(options);
    std::vector<Build> builds{Build::Sleeping, Build::Spinning};
    if (options.WithWine()) {
        builds.push_back(Build::Wine64);
    } else {
        std::printf("(no 64-bit TARN.dll in %s or no Wine at %s: the DLL's rows are left out)\n\n",
                    options.wine.windowsBuild.c_str(), options.wine.loader.c_str());
    }
    std::fflush(stdout);
    std::vector<Row> rows;
    for (const int type : options.types) {
        for (const Build build : builds) {
            Row row;
            row.type = type;
            row.build = build;
            std::string error;
            if (!Measure(options, &row, &error)) {
                std::fprintf(stderr, "type %d, %s: %s\n", type, row.Name(), error.c_str());
                return 1;
            }
            PrintRow(row);
            std::fflush(stdout);
            rows.push_back(row);
        }
    }
    std::printf("\n");
    for (const Row& row : rows) {
        if (row.build == Build::Sleeping) PrintFloor(row);
    }
    PrintTargets(rows);
    return 0;
}
