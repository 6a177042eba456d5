// Two application threads on one printer: every exchange reaches the printer whole, whichever
// thread made it, and each thread's calls keep their results.
#include <atomic>
#include <thread>

#include "library_test.h"

namespace tarn::test {
namespace {

class ThreadsTest : public StartedLibraryTest {};

TEST_F(ThreadsTest, ReceiptsAndQueriesFromTwoThreadsKeepEveryExchangeWhole) {
    constexpr int kReceipts = 20;
    std::atomic<int> failures{0};
    std::atomic<bool> go{false};
    auto sell = [&] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < kReceipts; ++i) {
            failures += mfBeginTicket(-1) != 0;
            failures += mfLineTicket(0, "Chleb pszenny", 'A', "szt", 350, 2000, 0) != 0;
            failures += mfLineTicket(0, "Mleko 2%", 'B', "szt", 299, 1000, 0) != 0;
            failures += mfEndTicket(0, 0, 0, 999, "Karta", 0, "", 0, "", 0, "", 0, "", "", "") != 0;
        }
    };
    auto ask = [&] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < 400; ++i) {
            char serial[12];
            failures += mfGetSerNo(serial) != 0;
            failures += mfGetLastTicketNo(nullptr) != 0;
        }
    };
    std::thread seller(sell), asker(ask);
    go = true;
    seller.join();
    asker.join();
    EXPECT_EQ(failures.load(), 0);
    for (const sim::Frame& frame : printer->Frames())  // none cut short or run together
        EXPECT_TRUE(frame.kind == sim::FrameKind::Command || frame.kind == sim::FrameKind::RawBlock)
            << "frame " << static_cast<int>(frame.kind) << " at " << frame.atMs;
    EXPECT_EQ(printer->Day().sales.gross, kReceipts * 999);
}

}  // namespace
}  // namespace tarn::test
