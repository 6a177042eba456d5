// The benchmark's point-of-sale application on Windows: loads TARN.dll as such an application
// does and runs the standard sale on COM1, timing itself from mfStart to mfStop.
//
//   tarn_bench_client.exe <printer type> <wire trace>
//
// Prints "ok <wall ns> <CPU ns>" or "error <what went wrong>". CPU time is the process's user
// and kernel time; the trace file must be the one TARN_TRACE names.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sale.h"

namespace {

int64_t WallNs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    const int64_t perSecond = frequency.QuadPart;
    return counter.QuadPart / perSecond * 1000000000 +
           counter.QuadPart % perSecond * 1000000000 / perSecond;
}

int64_t Ns(const FILETIME& time) {  // a FILETIME counts 100 ns
    return (static_cast<int64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime) * 100;
}

int64_t CpuNs() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    return Ns(kernel) + Ns(user);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::printf("error usage: tarn_bench_client.exe <printer type> <wire trace>\n");
        return 2;
    }
    HMODULE dll = LoadLibraryA("TARN.dll");
    tarn::bench::TarnApi api;
    std::string error = "cannot load TARN.dll";
    const auto lookup = [dll](const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(dll, name));
    };
    if (dll == nullptr || !tarn::bench::LoadApi(lookup, &api, &error)) {
        std::printf("error %s\n", error.c_str());
        return 1;
    }
    const int64_t wall = WallNs();
    const int64_t cpu = CpuNs();
    const bool sold = tarn::bench::RunSale(api, std::atoi(argv[1]), 1, argv[2], &error);
    const int64_t cpuNs = CpuNs() - cpu;
    const int64_t wallNs = WallNs() - wall;
    if (!sold) {
        std::printf("error %s\n", error.c_str());
        return 1;
    }
    std::printf("ok %lld %lld\n", static_cast<long long>(wallNs), static_cast<long long>(cpuNs));
    return 0;
}
