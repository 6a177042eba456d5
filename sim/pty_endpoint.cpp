#include "pty_endpoint.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace tarn::sim {

namespace {

int64_t Monotonic() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

bool MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

PtyEndpoint::PtyEndpoint(VirtualPrinter& printer) : printer_(printer), startMs_(Monotonic()) {}

PtyEndpoint::~PtyEndpoint() {
    if (!link_.empty()) unlink(link_.c_str());
    if (heldSlave_ >= 0) close(heldSlave_);
    if (master_ >= 0) close(master_);
}

int64_t PtyEndpoint::NowMs() const {
    return Monotonic() - startMs_;
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
    if (heldSlave_ < 0 || !MakeRaw(heldSlave_) || !MakeRaw(master_)) {
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
        size_t done = 0;
        while (done < n) {
            const ssize_t w = write(master_, buffer + done, n - done);
            if (w > 0) {
                done += static_cast<size_t>(w);
            } else if (w < 0 && errno != EINTR && errno != EAGAIN) {
                return;
            }
        }
    }
}

void PtyEndpoint::WithPrinter(const std::function<void(VirtualPrinter&)>& action) {
    std::lock_guard<std::mutex> lock(mutex_);
    action(printer_);
}

void PtyEndpoint::Serve(const std::atomic<bool>& stop) {
    uint8_t buffer[512];
    while (!stop.load()) {
        const int64_t now = NowMs();
        const int64_t next = printer_.NextDeadline();
        const int64_t wait = next <= now ? 0 : (next - now < 100 ? next - now : 100);
        pollfd pfd{master_, POLLIN, 0};
        const int ready = poll(&pfd, 1, static_cast<int>(wait));
        const ssize_t n =
            ready > 0 && (pfd.revents & POLLIN) != 0 ? read(master_, buffer, sizeof buffer) : 0;
        std::lock_guard<std::mutex> lock(mutex_);
        for (ssize_t i = 0; i < n; ++i) printer_.Receive(buffer[i], NowMs());
        printer_.Tick(NowMs());
        if (n > 0 || printer_.HasOutput()) KeepLineSettable();
        Flush();
    }
}

}  // namespace tarn::sim
