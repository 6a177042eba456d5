// The serial port and the link over a real pseudo-terminal, with real termios and real time:
// the virtual printer served from a thread, and the tarn-sim program itself.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "api/library.h"
#include "link/printer_link.h"
#include "link/serial_port.h"
#include "link/shared_commands.h"
#include "pty_endpoint.h"
#include "served_printer_test.h"
#include "tarn/tarn.h"
#include "test_dir.h"

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;

int64_t MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class PtyTest : public test::ServedPrinterTest<sim::PtyEndpoint, 7> {
protected:
    // Serves a virtual printer on a pseudo-terminal reachable as port 7.
    void ServePrinter() {
        std::string error;
        ASSERT_TRUE(endpoint_.Open(&error)) << error;
        StartServing(endpoint_.Path());
    }
};

SerialPort PortSeven(int timeoutMs) {
    return SerialPort(7, false, 0, 0, timeoutMs, 9600, 8, 0, 2);
}

TEST_F(PtyTest, AMissingDeviceCannotBeOpened) {
    setenv("TARN_COM7", dir.File("no-such-tty").c_str(), 1);
    SerialPort port = PortSeven(300);
    const uint8_t bytes[] = {0x1B, 0x66};
    EXPECT_EQ(port.Write(bytes, 2), -1);
    uint8_t buffer[2];
    EXPECT_EQ(port.Read(buffer, 2), -1);
    const std::string log = test::ReadFile(dir.File("tarnel.txt"));
    EXPECT_NE(log.find(" SerialPort: CAN NOT open port\n"), std::string::npos);
    EXPECT_EQ(log.find("CAN NOT open port", log.find("CAN NOT open port") + 1), std::string::npos);
}

TEST_F(PtyTest, APartialAnswerEndsAfterOneTimeOut) {
    ServePrinter();
    SerialPort port = PortSeven(300);
    const uint8_t query[] = {0x1B, 0x66};  // acknowledge and two bytes: three of the four asked
    ASSERT_EQ(port.Write(query, 2), 2);
    uint8_t buffer[4] = {};
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 4), 3);
    EXPECT_GE(MsSince(start), 300);
    EXPECT_EQ(buffer[0], 0x06);
    EXPECT_TRUE(port.Close());
}

TEST_F(PtyTest, ASilentPrinterGivesNothingAfterTheTimeOut) {
    ServePrinter();
    endpoint_.WithPrinter([](sim::VirtualPrinter& p) { p.SetSilent(true); });
    SerialPort port = PortSeven(250);
    const uint8_t query[] = {0x1B, 0x66};
    ASSERT_EQ(port.Write(query, 2), 2);
    uint8_t buffer[1];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 1), 0);
    EXPECT_GE(MsSince(start), 250);
    EXPECT_TRUE(port.Close());
}

TEST_F(PtyTest, ExchangesAndRefusalsOverTheTerminal) {
    ServePrinter();
    ASSERT_EQ(mfStart(0, 7), 0);
    char serial[12] = {};
    ASSERT_EQ(mfGetSerNo(serial), 0);
    EXPECT_STREQ(serial, "TRN26000001");
    endpoint_.WithPrinter([](sim::VirtualPrinter& p) { p.RefuseNext({0x03, 0x08, 0x00, 0x00}); });
    int count = -1;
    EXPECT_EQ(mfGetLastTicketNo(&count), -2);
    EXPECT_EQ(mfError(), 777);
    EXPECT_EQ(count, -1);
    ASSERT_EQ(mfGetLastTicketNo(&count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(mfStop(), 0);
}

// A whole sale through the C API over the pseudo-terminal, read back from the roll.
TEST_F(PtyTest, AWholeSaleOverTheTerminal) {
    ServePrinter();
    ASSERT_EQ(mfStart(0, 7), 0);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(mfLineTicket(0, "Chleb pszenny", 'A', "szt", 450, 2000, 0), 0);
    ASSERT_EQ(mfLineTicket(0, "Woda mineralna", 'B', "szt", 199, 1000, 0), 0);
    ASSERT_EQ(mfEndTicket(0, 0, 0, 1099, "Got\xA2wka", 0, "", 0, "", 0, "", 0, "", "", ""), 0);
    int number = 0;
    ASSERT_EQ(mfGetLastTicketNo(&number), 0);
    EXPECT_EQ(number, 1);
    mfStop();
    std::string roll;
    endpoint_.WithPrinter([&roll](sim::VirtualPrinter& p) { roll = p.Roll().AsUtf8(); });
    EXPECT_NE(roll.find("PARAGON FISKALNY"), std::string::npos) << roll;
    EXPECT_NE(roll.find("10,99"), std::string::npos) << roll;
}

}  // namespace
}  // namespace tarn
