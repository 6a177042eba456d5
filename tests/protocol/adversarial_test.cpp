// Attacks from what surrounds the library at the till: special files where the log, the trace
// and the logo are looked for, links at the logo backup's names, devices that are no printer,
// numbers out of range, memory running out, numbers too large for the tools, texts without their
// end (adversarial_texts.cpp); a printer that drips its answer is a fault of the campaign. Each
// attack runs its cases and tells the ones that did not hold; the table of attacks goes into
// docs/RELIABILITY.md. A new attack is a member function and a row in kAttacks.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "adversarial.h"
#include "generated_doc.h"
#include "library_test.h"
#include "seam.h"
#include "sim_program.h"
#include "tcp_endpoint.h"

namespace tarn {
namespace {

using Clock = std::chrono::steady_clock;

// A FIFO whose two ends the test holds, holding `content`: a library that opened it would not
// wait, and what it wrote or read shows.
class HeldFifo {
public:
    HeldFifo(const std::string& path, const std::string& content) : content_(content) {
        if (mkfifo(path.c_str(), 0600) == 0) fd_ = open(path.c_str(), O_RDWR | O_NONBLOCK);
        if (fd_ >= 0 &&
            write(fd_, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
            content_ = "not written";
    }
    ~HeldFifo() {
        if (fd_ >= 0) close(fd_);
    }
    HeldFifo(const HeldFifo&) = delete;
    HeldFifo& operator=(const HeldFifo&) = delete;
    // Whether it still holds its content and nothing else.
    bool Untouched() const {
        std::string held;
        char bytes[4096];
        for (ssize_t got; (got = read(fd_, bytes, sizeof bytes)) > 0;) held.append(bytes, got);
        return fd_ >= 0 && held == content_;
    }

private:
    int fd_ = -1;
    std::string content_;
};

// A header line, then 64 rows of 192 black dots.
std::string BlackLogo() {
    std::string text = "logo of the shop\n";
    for (int row = 0; row < 64; ++row) text += std::string(192, 'X') + "\n";
    return text;
}

// What stands at the end of the line instead of a printer.
enum class Device { Echo, WebServer, Scale, Nuls };

// What `device` sends when `got` bytes came in (none: a turn without input).
std::string AnswerOf(Device device, const uint8_t* got, ssize_t count) {
    switch (device) {
        case Device::Echo: return std::string(reinterpret_cast<const char*>(got), count);
        case Device::WebServer:
            return count > 0 ? "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n" : "";
        case Device::Scale: return "ST,GS,+0001.23kg\r\n";  // streams its weight on its own
        case Device::Nuls: return std::string(16, '\0');
    }
    return "";
}

// Plays `device` on `fd` until `stop` is set: a pseudo-terminal's master, or a listening socket
// whose connections it takes one at a time.
void Play(Device device, int fd, bool listening, const std::atomic<bool>& stop) {
    int line = listening ? -1 : fd;
    while (!stop) {
        pollfd ready{line < 0 ? fd : line, POLLIN, 0};
        const bool input = poll(&ready, 1, 20) > 0;
        if (line < 0) {
            if (input) line = accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            continue;
        }
        uint8_t bytes[256];
        const ssize_t got = input ? read(line, bytes, sizeof bytes) : 0;
        const std::string answer = AnswerOf(device, bytes, got > 0 ? got : 0);
        // Non-blocking: what no one reads is dropped, as on a line.
        const ssize_t sent = answer.empty() ? 0 : write(line, answer.data(), answer.size());
        if (!(input && got <= 0) && (sent >= 0 || errno == EAGAIN)) continue;
        if (listening) {
            close(line);  // the library hung up: wait for its next connection
            line = -1;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // no one on the slave
        }
    }
    if (listening && line >= 0) close(line);
}

// A line's end as the library reaches it, and its descriptor for Play.
std::string OpenLine(bool tcp, int* fd) {
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
    *fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    termios raw{};
    if (*fd < 0 || grantpt(*fd) != 0 || unlockpt(*fd) != 0 || tcgetattr(*fd, &raw) != 0) return "";
    cfmakeraw(&raw);  // no echo of its own: only Play sends bytes back
    if (tcsetattr(*fd, TCSANOW, &raw) != 0) return "";
    return ptsname(*fd);
}

// A program run in `folder` that ended with `status` within `seconds` (10 s at most), its output
// showing `shown`.
bool EndsWithin(const std::string& folder, const std::string& command, int status, int seconds,
                const std::string& shown = "") {
    const auto start = Clock::now();
    const test::CommandResult r = test::RunCommand("cd " + folder + " && timeout 10 " + command);
    return r.status == status && Clock::now() - start < std::chrono::seconds(seconds) &&
           r.output.find(shown) != std::string::npos;
}

}  // namespace

// The log, the trace and the raw commands' log ("tarnlog.txt" in the working folder) at a FIFO
// or a folder: not opened, nothing waits, no call fails.
void AdversarialInputs::SpecialFilesAsLogs(Cases& cases) {
    const std::filesystem::path previous = std::filesystem::current_path();
    for (const std::string use : {"log", "trace", "raw commands' log"}) {
        for (const bool fifo : {true, false}) {
            const std::string name = (fifo ? "a FIFO as the " : "a folder as the ") + use;
            const std::string folder = dir.File(std::to_string(cases.count));
            const std::string path = folder + (use[0] == 'r' ? "/tarnlog.txt" : "/special");
            std::filesystem::create_directory(folder);
            std::filesystem::current_path(folder);
            std::optional<HeldFifo> held;
            if (fifo) {
                held.emplace(path, "");
            } else {
                std::filesystem::create_directory(path);
            }
            Load();
            test::seam::LoadLibrary(use == "log" ? path : dir.File("tarnel.txt"), 3);
            if (use == "trace") setenv("TARN_TRACE", path.c_str(), 1);
            unsigned char query[] = {0x1B, 0x66};
            char serial[12] = {};
            const bool calls = mfAnyCommand(2, query, 4, nullptr, nullptr, 300) == 0 &&
                               mfStart(0, 1) == 0 && mfGetSerNo(serial) == 0 &&
                               mfBeginTicket(-1) == 0 && mfStop() == 0;
            unsetenv("TARN_TRACE");
            cases.Held(name, calls && (fifo ? held->Untouched() : std::filesystem::is_empty(path)));
        }
    }
    std::filesystem::current_path(previous);
}

// A logo file that is a FIFO, a folder, /dev/zero, or a megabyte without a line end before a
// logo: nothing is read from it, nothing uploaded, the start succeeds; nothing is written beside
// what is no regular file.
void AdversarialInputs::SpecialFilesAsLogo(Cases& cases) {
    const char* const names[] = {"a FIFO", "a folder", "/dev/zero", "a megabyte of NULs"};
    for (int kind = 0; kind < 4; ++kind) {
        std::filesystem::remove_all(LogoPath());
        std::filesystem::remove(LogoPath() + ".old");
        LoadWithLogo(LogoPath());
        std::optional<HeldFifo> fifo;
        if (kind == 0) fifo.emplace(LogoPath(), BlackLogo() + "and a line more\n");
        if (kind == 1) std::filesystem::create_directory(LogoPath());
        if (kind == 2) std::filesystem::create_symlink("/dev/zero", LogoPath());
        if (kind == 3) std::ofstream(LogoPath()) << std::string(1 << 20, '\0') + BlackLogo();
        const bool started = mfStart(0, 1) == 0 && LogoKept() && (!fifo || fifo->Untouched());
        cases.Held(names[kind],
                   started && (kind == 3 || !std::filesystem::exists(LogoPath() + ".old")));
    }
}

// A link at the backup's temporary name of old ("<logo>.old.part") or at the backup's own:
// never written through, and no temporary file stays.
void AdversarialInputs::LinksAtTheBackupsNames(Cases& cases) {
    const std::string target = dir.File("precious");
    for (const std::string name : {".old.part", ".old"}) {
        for (const std::string left : {"", ".old", ".old.part"})
            std::filesystem::remove(LogoPath() + left);
        LoadWithLogo(LogoPath());
        std::ofstream(LogoPath()) << BlackLogo();
        std::ofstream(target) << "precious\n";
        std::filesystem::create_symlink(target, LogoPath() + name);
        bool held = mfStart(0, 1) == 0 && test::ReadFile(target) == "precious\n";
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            const std::string left = entry.path().string();
            held &= left.rfind(LogoPath() + ".", 0) != 0 || left == LogoPath() + ".old" ||
                    left == LogoPath() + name;
        }
        cases.Held("a link at " + name, held);
    }
}

// The printer's logo is overwritten only when a whole backup keeps it: with no backup from an
// earlier start, or only an empty one, a backup refused, cut short, or that cannot be written
// (a folder at its name, a name too long) uploads nothing.
void AdversarialInputs::LogoWithoutABackup(Cases& cases) {
    const std::string tooLong = dir.File(std::string(252, 'l'));  // "<logo>.old": 256 bytes
    for (int kind = 0; kind < 5; ++kind) {
        const std::string logo = kind == 3 ? tooLong : LogoPath();
        if (kind != 3) std::filesystem::remove_all(logo + ".old");
        LoadWithLogo(logo);
        std::ofstream(logo) << BlackLogo();
        if (kind == 0 || kind == 4) printer->AcknowledgeNextWith(0x2F, 0x15);
        if (kind == 1) printer->AnswerShortNext(1, true);
        if (kind == 2) std::filesystem::create_directory(logo + ".old");
        if (kind == 4) std::ofstream(logo + ".old").flush();
        const char* const names[] = {"backup refused", "backup cut short", "a folder at its name",
                                     "its name too long", "an empty backup left, backup refused"};
        cases.Held(names[kind], mfStart(0, 1) == 0 && LogoKept());
    }
}

// Something that is no printer at the end of the line: a line that sends back what it is sent
// (a loopback plug, a modem with echo on), a web server on the wrong port, a scale streaming
// its weight, a line of NULs. Only ACK acknowledges: the first byte that is neither ACK nor NAK
// fails the start with 514 at once, not after a time-out. The library runs on the real line
// here, in real time.
void AdversarialInputs::NotAPrinter(Cases& cases) {
    const struct {
        const char* name;
        Device device;
        bool tcp;
    } lines[] = {{"an echoing pseudo-terminal", Device::Echo, false},
                 {"an echoing TCP server", Device::Echo, true},
                 {"a web server", Device::WebServer, true},
                 {"a scale", Device::Scale, false},
                 {"a line of NULs", Device::Nuls, false}};
    for (const auto& l : lines) {
        int fd = -1;
        const std::string target = OpenLine(l.tcp, &fd);
        std::atomic<bool> stop{false};
        std::thread device(Play, l.device, fd, l.tcp, std::cref(stop));
        Load();
        InstallPlatform(nullptr);
        setenv("TARN_COM7", target.c_str(), 1);
        const auto start = Clock::now();
        const bool failed = mfStart(0, 7) == -2 && test::seam::DetailCode() == 514 &&
                            Clock::now() - start < std::chrono::seconds(5);
        mfStop();
        unsetenv("TARN_COM7");
        InstallPlatform(platform.get());
        stop = true;
        device.join();
        close(fd);
        cases.Held(l.name, !target.empty() && failed);
    }
}

// What a second connection to a printer behind TCP `port` hears for ESC 'f' (the receipt count):
// the acknowledge and the count, or nothing when it is closed at once.
std::string SecondConnectionHears(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    std::string heard;
    const uint8_t query[] = {0x1B, 0x66};
    pollfd ready{fd, POLLIN, 0};
    char byte = 0;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        send(fd, query, sizeof query, MSG_NOSIGNAL) == 2) {
        while (heard.size() < 3 && poll(&ready, 1, 2000) > 0 && recv(fd, &byte, 1, 0) == 1)
            heard += byte;
    }
    close(fd);
    return heard;
}

// A printer behind TCP belongs to the session that holds it, from mfStart to mfStop: a second
// process's connection is refused meanwhile, as a serial port held open refuses a second
// program, and the session goes on (a raw command of the same process shares its connection);
// after mfStop the printer answers the next one. In real
// time, the virtual printer served on a TCP port from a thread.
void AdversarialInputs::SecondProcessOverTcp(Cases& cases) {
    sim::VirtualPrinter served;
    sim::TcpEndpoint endpoint(served);
    std::string error;
    std::atomic<bool> stop{false};
    const bool listening = endpoint.Listen(0, &error);
    std::thread server([&] {
        if (listening) endpoint.Serve(stop);
    });
    Load();
    InstallPlatform(nullptr);
    const std::string line = "tcp:127.0.0.1:" + std::to_string(endpoint.Port());
    setenv("TARN_COM7", line.c_str(), 1);
    setenv("TARN_COM1", line.c_str(), 1);  // raw commands go to port 1
    const bool session = listening && mfStart(0, 7) == 0;
    cases.Held("a second connection refused",
               session && SecondConnectionHears(endpoint.Port()).empty());
    char serial[12] = {};
    cases.Held("the session goes on", session && mfGetSerNo(serial) == 0);
    const unsigned char query[] = {0x1B, 0x66};
    unsigned char answer[3] = {};
    int got = 0;
    cases.Held("a raw command goes through the session's connection",
               session && mfAnyCommand(2, query, 3, answer, &got, 2000) == 0 && got == 3 &&
                   mfGetSerNo(serial) == 0);
    mfStop();
    const std::string heard = SecondConnectionHears(endpoint.Port());
    cases.Held("the printer answers after mfStop", heard.size() == 3 && heard[0] == 0x06);
    unsetenv("TARN_COM7");
    unsetenv("TARN_COM1");
    InstallPlatform(platform.get());
    stop = true;
    server.join();
}

// The point of sale and the cashier go out as two digits each: outside 0-99 nothing is sent.
void AdversarialInputs::PointOfSaleOutOfRange(Cases& cases) {
    StartOn(8);
    const std::pair<int, int> outOfRange[] = {{-210, -380}, {100, 5}, {4, 100}, {-1, 0}, {0, 1000}};
    for (const auto& [cashNo, cashierNo] : outOfRange) {
        const bool refused = mfDefPOS(cashNo, cashierNo, "Ewa") == -2 && mfError() == 771;
        cases.Held(std::to_string(cashNo) + ", " + std::to_string(cashierNo),
                   refused && Sent().empty());
    }
}

// Memory running out inside a call: -2 with 769 and a log line, no exception out, the port
// closed.
void AdversarialInputs::MemoryRunsOut(Cases& cases) {
    for (const bool session : {true, false}) {
        session ? StartOn(8) : Load();
        platform->ExhaustMemoryAtNextOpen();
        int hour = 0, minute = 0;
        const int result = session ? mfGetTime(&hour, &minute) : mfStart(0, 1);
        const char* const call = session ? "mfGetTime" : "mfStart";
        cases.Held(call, result == -2 && test::seam::DetailCode() == 769 &&
                             Logged(std::string("In ") + call +
                                    ", an exception left the call: result -2") &&
                             !platform->PortOpen());
    }
}

// Numbers that do not fit an int: the tools refuse them (2), they do not wrap.
void AdversarialInputs::ToolNumbersTooLarge(Cases& cases) {
    std::ofstream(dir.File("percent.txt")) << "item Chleb; B; 5,49; 1\npercent 99999999\n";
    const std::pair<const char*, std::string> commands[] = {
        {"tarn-sim --tcp 4294967296", TARN_SIM_BINARY " --tcp 4294967296"},
        {"tarn demo --web 4294967376", TARN_CLI_BINARY " demo --web 4294967376"},
        {"tarn receipt: percent 99999999", TARN_CLI_BINARY " receipt percent.txt"}};
    for (const auto& [name, command] : commands)  // no printer: they must stop at the number
        cases.Held(name, EndsWithin(dir.Path(), "env TARN_COM1=none " + command, 2, 5));
}

// A program that loads the library with a FIFO nobody reads, or a folder, as "tarnel.txt" in
// its working folder starts and ends as usual.
void AdversarialInputs::SpecialFilesAsLogAtLoad(Cases& cases) {
    for (const bool fifo : {true, false}) {
        const std::string folder = dir.File(fifo ? "fifo" : "folder");
        std::filesystem::create_directory(folder);
        if (fifo) {
            mkfifo((folder + "/tarnel.txt").c_str(), 0600);
        } else {
            std::filesystem::create_directory(folder + "/tarnel.txt");
        }
        cases.Held(fifo ? "a FIFO" : "a folder",
                   EndsWithin(folder, TARN_CLI_BINARY " demo --help", 0, 5));
    }
}

namespace {

// clang-format off
const struct Attack { const char* name; void (AdversarialInputs::*run)(Cases&); } kAttacks[] = {
    {"a FIFO or a folder as the log, the trace or the raw commands' log",
     &AdversarialInputs::SpecialFilesAsLogs},
    {"a FIFO, a folder, /dev/zero or a megabyte without a line end as the logo file",
     &AdversarialInputs::SpecialFilesAsLogo},
    {"a link at the logo backup's names", &AdversarialInputs::LinksAtTheBackupsNames},
    {"the printer's logo with no whole backup to keep it", &AdversarialInputs::LogoWithoutABackup},
    {"something that is no printer: a line that echoes, a web server, a scale, NULs",
     &AdversarialInputs::NotAPrinter},
    {"a second process on a printer behind TCP", &AdversarialInputs::SecondProcessOverTcp},
    {"point-of-sale numbers outside 0-99", &AdversarialInputs::PointOfSaleOutOfRange},
    {"memory running out inside a call", &AdversarialInputs::MemoryRunsOut},
    {"numbers too large for the tools", &AdversarialInputs::ToolNumbersTooLarge},
    {"a FIFO or a folder as tarnel.txt where a program loads the library",
     &AdversarialInputs::SpecialFilesAsLogAtLoad},
    {"a text that fills its width in the reference without its NUL, at the end of readable "
     "memory, on each printer type",
     &AdversarialInputs::TextsWithoutTheirEnd},
};
// clang-format on

TEST_F(AdversarialInputs, EveryAttackHolds) {
    std::ostringstream table;
    table << "| Attack | Cases | Held |\n|---|---|---|\n";
    for (const Attack& attack : kAttacks) {
        Cases cases;
        (this->*attack.run)(cases);
        for (const std::string& failed : cases.failed)
            ADD_FAILURE() << attack.name << ": " << failed << " did not hold";
        table << "| " << attack.name << " | " << cases.count << " | "
              << cases.count - cases.failed.size() << " |\n";
    }
    EXPECT_TRUE(test::DocumentSection(
        TARN_SOURCE_DIR "/docs/RELIABILITY.md",
        "<!-- adversarial: generated by AdversarialInputs.EveryAttackHolds -->\n",
        "<!-- end of adversarial -->\n", table.str()));
}

}  // namespace
}  // namespace tarn
