#include "pty_endpoint.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace tarn::sim {

namespace {

constexpr int64_t kNsPerMs = 1000000;
constexpr int64_t kNsPerSecond = 1000000000;
// The serving loop looks at its stop flag at least this often.
constexpr int64_t kLongestWaitNs = 100 * kNsPerMs;

int64_t MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * kNsPerSecond + ts.tv_nsec;
}

// Writes what the terminal takes now and drops the rest, as a serial line carries its bytes
// whether anyone reads them or not: a host that never reads its answers cannot hold the printer.
void WriteOrDrop(int fd, const uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t w = write(fd, bytes + done, count - done);
        if (w > 0) {
            done += static_cast<size_t>(w);
        } else if (w == 0 || errno != EINTR) {
            return;
        }
    }
}

bool MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

PtyEndpoint::PtyEndpoint(VirtualPrinter& printer, bool paced)
    : printer_(printer), paced_(paced), startNs_(MonotonicNs()) {}

PtyEndpoint::~PtyEndpoint() {
    if (!link_.empty()) unlink(link_.c_str());
    if (heldSlave_ >= 0) close(heldSlave_);
    if (master_ >= 0) close(master_);
}

int64_t PtyEndpoint::NowMs() const {
    return NowNs() / kNsPerMs;
}

int64_t PtyEndpoint::NowNs() const {
    return MonotonicNs() - startNs_;
}

bool PtyEndpoint::Open(std::string* error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const char* name = ptsname(master_);
    if (name == nullptr) {
        *error = "cannot name the pseudo-terminal";
        return false;
    }
    path_ = name;
    // Holding the terminal open keeps it alive between the host's exchanges, and raw mode
    // keeps the line discipline from echoing the printer's answers back to it.
    heldSlave_ = open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (heldSlave_ < 0 || !MakeRaw(heldSlave_) || !MakeRaw(master_) ||
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK) != 0) {
        *error = std::string("cannot set up ") + path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool PtyEndpoint::Link(const std::string& linkPath, std::string* error) {
    unlink(linkPath.c_str());
    if (symlink(path_.c_str(), linkPath.c_str()) != 0) {
        *error = "cannot link " + linkPath + ": " + std::strerror(errno);
        return false;
    }
    link_ = linkPath;
    return true;
}

// A pseudo-terminal carries no parity bit. The C library reports a host's even-parity setting
// as refused whenever CLOCAL is already set on the terminal (which the host's own first setting
// does); a serial port takes it every time. Clearing CLOCAL whenever the host has written, and
// before each answer, keeps every open of the port working as it does on a serial line (Wine's
// SetCommState included).
void PtyEndpoint::KeepLineSettable() {
    termios tio{};
    if (tcgetattr(heldSlave_, &tio) != 0 || (tio.c_cflag & CLOCAL) == 0) return;
    tio.c_cflag &= ~CLOCAL;
    tcsetattr(heldSlave_, TCSANOW, &tio);
}

void PtyEndpoint::Flush() {
    uint8_t buffer[256];
    while (printer_.HasOutput()) {
        size_t n = 0;
        while (n < sizeof buffer && printer_.HasOutput()) buffer[n++] = printer_.TakeOutput();
        WriteOrDrop(master_, buffer, n);
    }
}

void PtyEndpoint::WithPrinter(const std::function<void(VirtualPrinter&)>& action) {
    std::lock_guard<std::mutex> lock(mutex_);
    action(printer_);
}

void PtyEndpoint::Serve(const std::atomic<bool>& stop) {
    if (paced_) {
        ServePaced(stop);
    } else {
        ServeAtOnce(stop);
    }
}

void PtyEndpoint::ServeAtOnce(const std::atomic<bool>& stop) {
    while (!stop.load()) {
        const int64_t now = NowMs();
        const int64_t next = printer_.NextDeadline();
        TurnAtOnce(next <= now ? 0 : (next - now < 100 ? next - now : 100));
    }
    // What reached the printer before the stop is taken: a command's body follows its
    // acknowledge, and the host may have written it and gone before the printer read it.
    for (int turn = 0; turn < kTurnsAfterStop && TurnAtOnce(0); ++turn) {
    }
}

bool PtyEndpoint::TurnAtOnce(int64_t waitMs) {
    uint8_t buffer[512];
    pollfd pfd{master_, POLLIN, 0};
    const int ready = poll(&pfd, 1, static_cast<int>(waitMs));
    const ssize_t n =
        ready > 0 && (pfd.revents & POLLIN) != 0 ? read(master_, buffer, sizeof buffer) : 0;
    std::lock_guard<std::mutex> lock(mutex_);
    for (ssize_t i = 0; i < n; ++i) printer_.Receive(buffer[i], NowMs());
    printer_.Tick(NowMs());
    if (n > 0 || printer_.HasOutput()) KeepLineSettable();
    Flush();
    if (onTurn_) onTurn_(printer_);
    return n > 0;
}

// Every byte is stamped with the time the line would have carried it: the printer takes it
// then, and what the printer says in return is written to the terminal byte by byte, each when
// it would be wholly received. The loop wakes for whichever comes first.
void PtyEndpoint::ServePaced(const std::atomic<bool>& stop) {
    while (!stop.load()) {
        WaitForHost(NextDueNs());
        std::lock_guard<std::mutex> lock(mutex_);
        const int64_t now = NowNs();
        DeliverDue(now);
        printer_.Tick(now / kNsPerMs);
        QueueAnswers(now);
        SendDue(now);
        if (onTurn_) onTurn_(printer_);
    }
}

int64_t PtyEndpoint::NextDueNs() const {
    int64_t due = NowNs() + kLongestWaitNs;
    if (!arriving_.empty()) due = std::min(due, arriving_.front().dueNs);
    if (!leaving_.empty()) due = std::min(due, leaving_.front().dueNs);
    const int64_t deadlineMs = printer_.NextDeadline();
    if (deadlineMs < due / kNsPerMs) due = deadlineMs * kNsPerMs;
    return due;
}

void PtyEndpoint::WaitForHost(int64_t untilNs) {
    const int64_t left = std::max<int64_t>(untilNs - NowNs(), 0);
    const timespec timeout{static_cast<time_t>(left / kNsPerSecond),
                           static_cast<long>(left % kNsPerSecond)};
    pollfd pfd{master_, POLLIN, 0};
    if (ppoll(&pfd, 1, &timeout, nullptr) > 0 && (pfd.revents & POLLIN) != 0) TakeFromHost();
}

void PtyEndpoint::TakeFromHost() {
    uint8_t buffer[512];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    const int64_t now = NowNs();
    for (ssize_t i = 0; i < n; ++i) arriving_.push_back({buffer[i], toPrinter_.Carry(now)});
    if (n > 0) KeepLineSettable();
}

void PtyEndpoint::DeliverDue(int64_t nowNs) {
    while (!arriving_.empty() && arriving_.front().dueNs <= nowNs) {
        const TimedByte in = arriving_.front();
        arriving_.pop_front();
        printer_.Receive(in.byte, in.dueNs / kNsPerMs);
        QueueAnswers(in.dueNs);
    }
}

void PtyEndpoint::QueueAnswers(int64_t emittedNs) {
    while (printer_.HasOutput()) {
        leaving_.push_back({printer_.TakeOutput(), toHost_.Carry(emittedNs)});
    }
}

void PtyEndpoint::SendDue(int64_t nowNs) {
    uint8_t buffer[256];
    size_t n = 0;
    while (n < sizeof buffer && !leaving_.empty() && leaving_.front().dueNs <= nowNs) {
        buffer[n++] = leaving_.front().byte;
        leaving_.pop_front();
    }
    if (n == 0) return;
    KeepLineSettable();
    WriteOrDrop(master_, buffer, n);
}

}  // namespace tarn::sim
