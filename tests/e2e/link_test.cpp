// The serial port and the link over a real pseudo-terminal (real termios) and TCP
// (TARN_COM<n>=tcp:HOST:PORT, real sockets) in real time: the virtual printer served from a
// thread. A sale over TCP is the tool's, in the state-file test.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "pty_endpoint.h"
#include "seam.h"
#include "served_printer_test.h"
#include "tarn/tarn.h"
#include "tcp_endpoint.h"

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
// start with 514, its failure logged once, the system's error on the line after it.
TEST_F(PtyTest, AMissingDeviceOrListenerIsACommunicationFailure) {
    const std::string targets[] = {dir.File("no-such-tty"), "tcp:127.0.0.1:1", "tcp:nohostname"};
    const int errors[] = {ENOENT, ECONNREFUSED, EINVAL};  // the last has no port
    for (const std::string& target : targets) {
        setenv("TARN_COM7", target.c_str(), 1);
        EXPECT_EQ(mfStart(0, 7), -2) << target;
        EXPECT_EQ(test::seam::DetailCode(), 514) << target;
    }
    const std::string log = test::ReadFile(dir.File("tarnel.txt"));
    size_t logged = 0;
    for (size_t at = 0; (at = log.find(" SerialPort: CAN NOT open port\n", at)) != log.npos; ++at) {
        const size_t next = log.find('\n', at) + 1;
        const std::string line = log.substr(next, log.find('\n', next) - next);
        const std::string error =
            " SerialPort: system error " + std::to_string(errors[std::min<size_t>(logged, 2)]);
        EXPECT_EQ(line.substr(line.size() - std::min(line.size(), error.size())), error) << log;
        ++logged;
    }
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

// A host that writes query after query and never reads the answers: the printer takes every
// query and drops the answers nobody reads, as a serial line would, instead of waiting for the
// host with the printer in its hands. Afterwards a host that reads gets its answer.
TEST_F(PtyTest, AHostThatNeverReadsDoesNotHoldThePrinter) {
    ServePrinter();
    const int host = open(endpoint_.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(host, 0);
    std::string queries;
    for (int i = 0; i < 40000; ++i) queries += "\x1B\x66";  // 120 000 bytes of answers
    size_t sent = 0;
    while (sent < queries.size()) {
        const ssize_t written = write(host, queries.data() + sent, queries.size() - sent);
        pollfd writable{host, POLLOUT, 0};
        if (written > 0) {
            sent += static_cast<size_t>(written);
        } else if (poll(&writable, 1, 2000) != 1) {
            break;
        }
    }
    EXPECT_EQ(sent, queries.size()) << "the printer stopped taking queries";
    char unread[4096];
    for (pollfd readable{host, POLLIN, 0}; poll(&readable, 1, 100) == 1;) {
        if (read(host, unread, sizeof unread) <= 0) break;
    }
    close(host);
    Bytes got;
    EXPECT_EQ(test::seam::WriteThenRead(7, 1000, {0x1B, 0x66}, 3, &got), 3);
    EXPECT_EQ(got, Bytes({0x06, 0x00, 0x00}));
}

// A command's body follows its acknowledge: the host may have written it and gone before the
// printer read it. Stopped then, the printer still takes what reached it (here the point-of-sale
// and cashier numbers 05 and 06).
const Bytes kPosNumbers = {0x1B, 0x43, '0', '5', '0', '6'};

TEST_F(PtyTest, AStoppedPrinterTakesWhatReachedIt) {
    std::string error;
    ASSERT_TRUE(endpoint_.Open(&error)) << error;
    const int host = open(endpoint_.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(host, 0);
    termios raw{};
    ASSERT_EQ(tcgetattr(host, &raw), 0);
    cfmakeraw(&raw);
    ASSERT_EQ(tcsetattr(host, TCSANOW, &raw), 0);
    ASSERT_EQ(write(host, kPosNumbers.data(), kPosNumbers.size()),
              static_cast<ssize_t>(kPosNumbers.size()));
    stop_ = true;
    endpoint_.Serve(stop_);
    close(host);
    EXPECT_EQ(printer_.State().posNumber, 5);
}

class TcpTest : public test::ServedPrinterTest<sim::TcpEndpoint, 8> {
protected:
    // A host connected to the printer's port: the socket, or -1.
    int Connect() {
        const int host = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(endpoint_.Port()));
        if (connect(host, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return host;
        close(host);
        return -1;
    }
};

TEST_F(TcpTest, AStoppedPrinterTakesWhatReachedIt) {
    std::string error;
    ASSERT_TRUE(endpoint_.Listen(0, &error)) << error;
    const int host = Connect();
    ASSERT_GE(host, 0);
    ASSERT_EQ(send(host, kPosNumbers.data(), kPosNumbers.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(kPosNumbers.size()));
    close(host);
    stop_ = true;
    endpoint_.Serve(stop_);
    EXPECT_EQ(printer_.State().posNumber, 5);
}

// A host that goes on sending while another connects: the printer belongs to the first, so the
// other is refused at once (a second process), without the serving loop reading the first for as
// long as it sends; once the first has gone, the next is served.
TEST_F(TcpTest, AHostThatGoesOnSendingHoldsThePrinterButNotItsLoop) {
    std::string error;
    ASSERT_TRUE(endpoint_.Listen(0, &error)) << error;
    StartServing("tcp:127.0.0.1:" + std::to_string(endpoint_.Port()));
    const int first = Connect();
    ASSERT_GE(first, 0);
    std::atomic<bool> sending{true};
    std::thread flood([first, &sending] {
        const std::string noise(4096, '\0');  // bytes outside any command: nothing answered
        while (sending && send(first, noise.data(), noise.size(), MSG_NOSIGNAL) > 0) {
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the printer takes it
    Bytes got;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(test::seam::WriteThenRead(8, 3000, {0x1B, 0x66}, 3, &got), 3);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    sending = false;
    flood.join();
    close(first);
    // The printer takes what the first had sent before it sees it gone (seconds under the
    // sanitizers).
    const auto gone = std::chrono::steady_clock::now();
    while (test::seam::WriteThenRead(8, 1000, {0x1B, 0x66}, 3, &got) != 3 &&
           std::chrono::steady_clock::now() - gone < std::chrono::seconds(20)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    EXPECT_EQ(got, Bytes({0x06, 0x00, 0x00}));
}

}  // namespace
}  // namespace tarn
