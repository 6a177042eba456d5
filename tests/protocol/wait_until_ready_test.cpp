// Waiting while the printer reports itself busy.
#include <gtest/gtest.h>

#include "link/printer_link.h"
#include "virtual_printer_test.h"

namespace tarn {
namespace {

class WaitUntilReadyTest : public test::VirtualPrinterTest {
protected:
    size_t StatusQueries() const {
        size_t n = 0;
        for (const auto& frame : ReceivedFrames()) n += frame == std::vector<uint8_t>{0x1B, 0x55};
        return n;
    }
};

TEST_F(WaitUntilReadyTest, AReadyPrinterIsAskedOnce) {
    CPrinterLink& link = Link(8);
    Lib().mfErrorL = 123;
    EXPECT_EQ(link.WaitUntilReady(20), 0);
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_EQ(StatusQueries(), 1u);
    EXPECT_EQ(Now(), 200);
    EXPECT_EQ(platform->SleptMs(), 200);  // a sleep, not a spinning wait
}

TEST_F(WaitUntilReadyTest, APrinterThatStaysBusyIsPolled200TimesAndIsNoError) {
    CPrinterLink& link = Link(8);
    printer->StayBusyUntil(1000000);
    EXPECT_EQ(link.WaitUntilReady(20), 0);
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_EQ(StatusQueries(), 201u);
    EXPECT_EQ(Now(), 200 + 200 * 100);
}

TEST_F(WaitUntilReadyTest, PollingEndsWhenThePrinterHasFinishedPrinting) {
    CPrinterLink& link = Link(8);
    printer->StayBusyUntil(1450);
    EXPECT_EQ(link.WaitUntilReady(30), 0);
    // Polls at 200, 200, 300, ... 1400 see busy; the one at 1500 sees it ready.
    EXPECT_EQ(Now(), 1600);
    EXPECT_EQ(StatusQueries(), 15u);
}

TEST_F(WaitUntilReadyTest, AFailedPollEndsTheWaitWithItsCode) {
    CPrinterLink& link = Link(8);
    printer->StayBusyUntil(1000000);
    printer->AnswerShortNext(0);
    EXPECT_EQ(link.WaitUntilReady(20), -2);
    EXPECT_EQ(Lib().mfErrorL, 514);
}

TEST_F(WaitUntilReadyTest, NoSecondsMeansOneLook) {
    CPrinterLink& link = Link(8);
    printer->StayBusyUntil(1000000);
    EXPECT_EQ(link.WaitUntilReady(0), 0);
    EXPECT_EQ(StatusQueries(), 1u);
    EXPECT_EQ(link.WaitUntilReady(-3), 0);
}

}  // namespace
}  // namespace tarn
