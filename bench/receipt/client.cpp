#include "client.h"

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "sale.h"

namespace tarn::bench {

namespace {

constexpr int kPort = 1;

// What the child sends back through its pipe.
struct Report {
    int ok;
    int64_t wallNs;
    int64_t cpuNs;
    int64_t receiptWallNs;
    char error[160];
};

int64_t WallNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int64_t Ns(const timeval& tv) {
    return static_cast<int64_t>(tv.tv_sec) * 1000000000 + static_cast<int64_t>(tv.tv_usec) * 1000;
}

int64_t CpuNs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return Ns(usage.ru_utime) + Ns(usage.ru_stime);
}

// Loads the library at `path` for good: the process is the benchmark's client.
bool LoadLibrary(const std::string& path, TarnApi* api, std::string* error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        *error = dlerror();
        return false;
    }
    return LoadApi([library](const char* name) { return dlsym(library, name); }, api, error);
}

Report Sell(const std::string& library, const std::string& device, int printerType,
            const std::string& workDir, const std::string& tracePath) {
    Report report{};
    std::string error;
    TarnApi api;
    const bool traced = !tracePath.empty();
    if (chdir(workDir.c_str()) != 0 || setenv("TARN_COM1", device.c_str(), 1) != 0 ||
        (traced ? setenv("TARN_TRACE", tracePath.c_str(), 1) : unsetenv("TARN_TRACE")) != 0) {
        error = "cannot prepare the client";
    } else if (LoadLibrary(library, &api, &error)) {
        const int64_t wall = WallNs();
        const int64_t cpu = CpuNs();
        report.ok =
            RunSale(api, printerType, kPort, tracePath, &error, &report.receiptWallNs) ? 1 : 0;
        report.cpuNs = CpuNs() - cpu;
        report.wallNs = WallNs() - wall;
    }
    std::snprintf(report.error, sizeof report.error, "%s", error.c_str());
    return report;
}

}  // namespace

ClientRun RunClient(const std::string& library, const std::string& device, int printerType,
                    const std::string& workDir, const std::string& tracePath) {
    ClientRun run;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        run.error = "cannot make a pipe";
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const Report report = Sell(library, device, printerType, workDir, tracePath);
        const bool sent = write(pipeEnds[1], &report, sizeof report) == sizeof report;
        _exit(sent ? 0 : 1);
    }
    close(pipeEnds[1]);
    Report report{};
    const bool got = child > 0 && read(pipeEnds[0], &report, sizeof report) == sizeof report;
    close(pipeEnds[0]);
    if (child > 0) waitpid(child, nullptr, 0);
    run.ok = got && report.ok != 0;
    run.error = got ? report.error : "the client did not report";
    run.wallNs = report.wallNs;
    run.cpuNs = report.cpuNs;
    run.receiptWallNs = report.receiptWallNs;
    return run;
}

}  // namespace tarn::bench
