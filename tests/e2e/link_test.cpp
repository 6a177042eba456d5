// The serial port and the link over a real pseudo-terminal (real termios) and TCP
// (TARN_COM<n>=tcp:HOST:PORT, real sockets) in real time: the virtual printer served from a
// thread. A sale over TCP is the tool's, in the state-file test.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
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

// Sends back every byte that comes in on `fd` until `stop` is set: a pseudo-terminal's master,
// or a listening socket whose connections it takes one at a time.
void Echo(int fd, bool listening, const std::atomic<bool>& stop) {
    int line = listening ? -1 : fd;
    while (!stop) {
        pollfd ready{line < 0 ? fd : line, POLLIN, 0};
        if (poll(&ready, 1, 20) <= 0) continue;
        if (line < 0) {
            line = accept(fd, nullptr, nullptr);
            continue;
        }
        uint8_t bytes[256];
        const ssize_t got = read(line, bytes, sizeof bytes);
        if (got > 0 && write(line, bytes, static_cast<size_t>(got)) == got) continue;
        if (listening) {
            close(line);  // the library hung up: wait for its next connection
            line = -1;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // no one on the slave
        }
    }
    if (listening && line >= 0) close(line);
}

// An echoing line's end as the library reaches it, and its descriptor for Echo.
std::string OpenEchoingLine(bool tcp, int* fd) {
    if (tcp) {
        *fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        auto* any = reinterpret_cast<sockaddr*>(&address);
        if (bind(*fd, any, size) != 0 || listen(*fd, 1) != 0 || getsockname(*fd, any, &size) != 0)
            return "";
        return "tcp:127.0.0.1:" + std::to_string(ntohs(address.sin_port));
    }
    *fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (*fd < 0 || grantpt(*fd) != 0 || unlockpt(*fd) != 0 || tcgetattr(*fd, &raw) != 0) return "";
    cfmakeraw(&raw);  // no echo of its own: only Echo sends bytes back
    if (tcsetattr(*fd, TCSANOW, &raw) != 0) return "";
    return ptsname(*fd);
}

// A line that sends back what it is sent (a loopback plug, a modem with echo on) is no printer:
// the ESC coming back as the acknowledge fails the start with 514 at once, not after a time-out.
TEST_F(PtyTest, AnEchoingLineIsNoPrinter) {
    for (const bool tcp : {false, true}) {
        SCOPED_TRACE(tcp ? "TCP" : "pseudo-terminal");
        int fd = -1;
        const std::string target = OpenEchoingLine(tcp, &fd);
        ASSERT_FALSE(target.empty());
        std::atomic<bool> stop{false};
        std::thread echo(Echo, fd, tcp, std::cref(stop));
        setenv("TARN_COM7", target.c_str(), 1);
        const auto start = Clock::now();
        EXPECT_EQ(mfStart(0, 7), -2);
        EXPECT_EQ(test::seam::DetailCode(), 514);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
        stop = true;
        echo.join();
        close(fd);
    }
}

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
