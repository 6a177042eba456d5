// The serial port and the link over a real pseudo-terminal (real termios) and TCP
// (TARN_COM<n>=tcp:HOST:PORT, real sockets) in real time: the virtual printer served from a
// thread. A sale over TCP is the tool's, in the state-file test.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "pty_endpoint.h"
#include "seam.h"
#include "served_printer_test.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

class PtyTest : public test::ServedPrinterTest<sim::PtyEndpoint, 7> {
protected:
    // Serves a virtual printer on a pseudo-terminal reachable as port 7.
    void ServePrinter() {
        std::string error;
        ASSERT_TRUE(endpoint_.Open(&error)) << error;
        StartServing(endpoint_.Path());
    }
};

// A device that is missing, a port nobody listens on, a host that does not resolve: each ends the
// start with 514, its failure logged once.
TEST_F(PtyTest, AMissingDeviceOrListenerIsACommunicationFailure) {
    for (const std::string& target :
         {dir.File("no-such-tty"), std::string("tcp:127.0.0.1:1"), std::string("tcp:nohostname")}) {
        setenv("TARN_COM7", target.c_str(), 1);
        EXPECT_EQ(mfStart(0, 7), -2) << target;
        EXPECT_EQ(test::seam::DetailCode(), 514) << target;
    }
    const std::string log = test::ReadFile(dir.File("tarnel.txt"));
    size_t logged = 0;
    for (size_t at = 0; (at = log.find(" SerialPort: CAN NOT open port\n", at)) != log.npos; ++at)
        ++logged;
    EXPECT_EQ(logged, 3u) << log;
}

// The printer answers 0x66 with an acknowledge and two bytes. A read of more ends one time-out
// after the last byte; from a silent printer it gives nothing after one time-out.
TEST_F(PtyTest, AReadEndsOneTimeOutAfterTheLastByte) {
    ServePrinter();
    for (const bool silent : {false, true}) {
        endpoint_.WithPrinter([silent](sim::VirtualPrinter& p) { p.SetSilent(silent); });
        Bytes got;
        const auto start = Clock::now();
        EXPECT_EQ(test::seam::WriteThenRead(7, 250, {0x1B, 0x66}, 4, &got), silent ? 0 : 3);
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(250));
        EXPECT_EQ(got, silent ? Bytes{} : Bytes({0x06, 0x00, 0x00}));
    }
}

// A sale and a refusal through the C interface over the terminal, read back from the roll; the
// wire trace's times, "2026.12.06 10:00:00.125", never run backwards.
TEST_F(PtyTest, ASaleAndARefusalOverTheTerminal) {
    ServePrinter();
    setenv("TARN_TRACE", dir.File("trace.txt").c_str(), 1);
    ASSERT_EQ(mfStart(0, 7), 0);
    char serial[12] = {};
    ASSERT_EQ(mfGetSerNo(serial), 0);
    EXPECT_STREQ(serial, "TRN26000001");
    endpoint_.WithPrinter([](sim::VirtualPrinter& p) { p.RefuseNext({0x03, 0x08, 0x00, 0x00}); });
    int count = -1;
    EXPECT_EQ(mfGetLastTicketNo(&count), -2);
    EXPECT_EQ(mfError(), 777);
    ASSERT_EQ(mfBeginTicket(-1), 0);
    ASSERT_EQ(mfLineTicket(0, "Chleb pszenny", 'A', "szt", 450, 2000, 0), 0);
    ASSERT_EQ(mfLineTicket(0, "Woda mineralna", 'B', "szt", 199, 1000, 0), 0);
    ASSERT_EQ(mfEndTicket(0, 0, 0, 1099, "Got\xA2wka", 0, "", 0, "", 0, "", 0, "", "", ""), 0);
    ASSERT_EQ(mfGetLastTicketNo(&count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(mfStop(), 0);
    unsetenv("TARN_TRACE");
    std::istringstream trace(test::ReadFile(dir.File("trace.txt")));
    std::string time, previous;
    int lines = 0;
    for (std::string line; std::getline(trace, line); previous = time, ++lines) {
        time = line.substr(0, 23);
        EXPECT_LE(previous, time) << line;
    }
    EXPECT_GT(lines, 20);
    std::string roll;
    endpoint_.WithPrinter([&roll](sim::VirtualPrinter& p) { roll = p.Roll().AsUtf8(); });
    EXPECT_NE(roll.find("PARAGON FISKALNY"), std::string::npos) << roll;
    EXPECT_NE(roll.find("10,99"), std::string::npos) << roll;
}

}  // namespace
}  // namespace tarn
