// Two application threads on one printer: every exchange reaches the printer whole, whichever
// thread made it, and each thread's calls keep their results.
#include <atomic>
#include <thread>

#include "library_test.h"

namespace tarn::test {
namespace {

class ThreadsTest : public StartedLibraryTest {};

constexpr int kReceipts = 20;
constexpr int kQueries = 400;

TEST_F(ThreadsTest, ReceiptsAndQueriesFromTwoThreadsKeepEveryExchangeWhole) {
    printer->ClearFrames();
    std::atomic<int> failures{0};
    std::atomic<bool> go{false};
    auto waitForGo = [&go] {
        while (!go.load()) std::this_thread::yield();
    };
    auto sell = [&] {
        waitForGo();
        for (int i = 0; i < kReceipts; ++i) {
            if (mfBeginTicket(-1) != 0) ++failures;
            if (mfLineTicket(0, "Chleb pszenny", 'A', "szt", 350, 2000, 0) != 0) ++failures;
            if (mfLineTicket(0, "Mleko 2%", 'B', "szt", 299, 1000, 0) != 0) ++failures;
            if (mfEndTicket(0, 0, 0, 999, "Karta", 0, "", 0, "", 0, "", 0, "", "", "") != 0)
                ++failures;
        }
    };
    auto ask = [&] {
        waitForGo();
        for (int i = 0; i < kQueries; ++i) {
            char serial[12];
            int number = 0;
            if (mfGetSerNo(serial) != 0) ++failures;
            if (mfGetLastTicketNo(&number) != 0) ++failures;
        }
    };
    std::thread seller(sell);
    std::thread asker(ask);
    go = true;
    seller.join();
    asker.join();

    EXPECT_EQ(failures.load(), 0);
    for (const sim::Frame& frame : printer->Frames()) {
        EXPECT_TRUE(frame.kind == sim::FrameKind::Command || frame.kind == sim::FrameKind::RawBlock)
            << "frame " << static_cast<int>(frame.kind) << " at " << frame.atMs;
    }
    EXPECT_EQ(printer->Day().sales.gross, kReceipts * 999);
    EXPECT_EQ(printer->Day().cancelled, 0);
    EXPECT_FALSE(printer->ReceiptOpen());
}

}  // namespace
}  // namespace tarn::test
