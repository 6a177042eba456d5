// tarn-call-bench: what the library itself spends per exchange, in microseconds. The printer is
// the virtual one in-process on its virtual clock, so no time goes to the line or to waiting.
#include <benchmark/benchmark.h>

#include "api/library.h"
#include "api/log.h"
#include "link/shared_commands.h"
#include "receipt/receipt_commands.h"
#include "tarn/tarn.h"
#include "virtual_session.h"

namespace tarn::bench {

namespace {

constexpr int kType = 8;
constexpr int kLinesPerReceipt = 100;

// Encoding a sale line into its 50-byte body.
void EncodeSaleLine(benchmark::State& state) {
    for (auto _ : state) {
        CRequestItemLine line("Chleb pszenny", 'B', "szt", 450, 2000, 0, CRequestItemLine::kSale);
        benchmark::DoNotOptimize(line.Body());
    }
}

// A status query through the link: encode, frame, exchange with the printer, parse.
void StatusQuery(benchmark::State& state) {
    VirtualSession session(kType, CLogger::kFailures);
    if (!session.Started()) state.SkipWithError("no session");
    int status = 0;
    for (auto _ : state) {
        CRequestStatus query(2, &status);
        benchmark::DoNotOptimize(Lib().link->Execute(query));
    }
}

// mfLineTicket: the sale line and the receipt check after it (two exchanges), logged at the
// level given. A receipt is ended and another begun every kLinesPerReceipt lines, off the clock.
void LineTicket(benchmark::State& state) {
    VirtualSession session(kType, static_cast<int>(state.range(0)));
    if (!session.Started() || mfBeginTicket(-1) != MF_OK) state.SkipWithError("no receipt");
    int lines = 0;
    for (auto _ : state) {
        if (++lines % kLinesPerReceipt == 0) {
            state.PauseTiming();
            mfEndTicket(0, 0, 0, 100000, "Gotowka", 0, "", 0, "", 0, "", 0, "", "", "");
            mfBeginTicket(-1);
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(mfLineTicket(0, "Chleb pszenny", 'B', "szt", 450, 1000, 0));
    }
}

// One log line at level 3: formatted, written and committed to the disk.
void LogLine(benchmark::State& state) {
    VirtualSession session(kType, CLogger::kEverything);
    int i = 0;
    for (auto _ : state) LogInfoF("In mfLineTicket, price: %d, quantity: %d", ++i, 1000);
}

BENCHMARK(EncodeSaleLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(StatusQuery)->Unit(benchmark::kMicrosecond);
BENCHMARK(LineTicket)
    ->ArgName("log_level")
    ->Arg(CLogger::kFailures)
    ->Arg(CLogger::kEverything)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(LogLine)->Unit(benchmark::kMicrosecond);

}  // namespace

}  // namespace tarn::bench

BENCHMARK_MAIN();
