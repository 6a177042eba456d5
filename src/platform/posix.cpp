// POSIX platform: termios serial devices, CLOCK_MONOTONIC, nanosleep, localtime_r.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "platform/port_name.h"
#include "platform/posix_tcp.h"

namespace tarn {

namespace {

constexpr int kMostAttemptsBeside = 100;

// Port n is the device named by TARN_COM<n> when that is set, else /dev/ttyS<n-1>.
std::string DevicePath(int port) {
    if (const char* path = std::getenv(PortVariableName(port).c_str());
        path != nullptr && *path != '\0') {
        return path;
    }
    char device[32];
    std::snprintf(device, sizeof device, "/dev/ttyS%d", port - 1);
    return device;
}

bool BaudConstant(int baudRate, speed_t* speed) {
    struct Entry {
        int rate;
        speed_t constant;
    };
    static const Entry kRates[] = {{1200, B1200},   {2400, B2400},    {4800, B4800},
                                   {9600, B9600},   {19200, B19200},  {38400, B38400},
                                   {57600, B57600}, {115200, B115200}};
    for (const Entry& entry : kRates) {
        if (entry.rate == baudRate) {
            *speed = entry.constant;
            return true;
        }
    }
    return false;
}

tcflag_t DataBitsFlag(uint8_t dataBits) {
    switch (dataBits) {
        case 5: return CS5;
        case 6: return CS6;
        case 7: return CS7;
        default: return CS8;
    }
}

// A pseudo-terminal carries no parity bit: it takes every setting but PARENB, and the C
// library then reports the whole setting as refused.
bool TookAllButParity(int fd, const termios& wanted) {
    termios now{};
    if (errno != EINVAL || tcgetattr(fd, &now) != 0) return false;
    const tcflag_t ignored = PARENB | PARODD;
    return (now.c_cflag & ~ignored) == (wanted.c_cflag & ~ignored) &&
           now.c_iflag == wanted.c_iflag && now.c_lflag == wanted.c_lflag &&
           cfgetospeed(&now) == cfgetospeed(&wanted);
}

// Raw 8-bit line: the given speed, data bits, parity (1 odd, 2 even, else none), stop bits
// (0 one, else two); modem lines ignored; reads are driven by poll().
bool ApplyLine(int fd, const LineSettings& settings) {
    termios tio{};
    speed_t speed = B9600;
    if (tcgetattr(fd, &tio) != 0) return false;
    if (!BaudConstant(settings.baudRate, &speed)) {
        errno = EINVAL;
        return false;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= DataBitsFlag(settings.dataBits) | CLOCAL | CREAD;
    if (settings.parity == 1 || settings.parity == 2) tio.c_cflag |= PARENB;
    if (settings.parity == 1) tio.c_cflag |= PARODD;
    if (settings.stopBits != 0) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &tio) != 0 && !TookAllButParity(fd, tio)) return false;
    // DTR and RTS are cleared where the device has modem lines; a pseudo-terminal has none.
    int lines = 0;
    if (settings.dtrControl == 0) lines |= TIOCM_DTR;
    if (settings.rtsControl == 0) lines |= TIOCM_RTS;
    if (lines != 0) ioctl(fd, TIOCMBIC, &lines);
    return true;
}

int64_t MonotonicNow() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// Waits until fd is ready for `events` or the deadline passes. 1 ready, 0 timed out, -1 error.
int PollUntil(int fd, short events, int64_t deadline) {
    for (;;) {
        const int64_t left = deadline - MonotonicNow();
        pollfd pfd{fd, events, 0};
        const int n = poll(&pfd, 1, left > 0 ? static_cast<int>(left) : 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) return 0;
        if ((pfd.revents & events) != 0) return 1;
        errno = EIO;
        return -1;
    }
}

// A terminal device or, for a printer behind a TCP port, a connected socket.
class PosixSerialDevice final : public SerialDevice {
public:
    PosixSerialDevice(int fd, int timeoutMs) : fd_(fd), timeoutMs_(timeoutMs), socket_(false) {}
    PosixSerialDevice(std::shared_ptr<TcpConnection> connection, int timeoutMs)
        : fd_(connection->Socket()),
          timeoutMs_(timeoutMs),
          socket_(true),
          connection_(std::move(connection)) {}
    ~PosixSerialDevice() override {
        if (fd_ >= 0 && !socket_) ::close(fd_);
    }

    int Write(const uint8_t* bytes, int count, uint32_t* error) override {
        const int64_t deadline = MonotonicNow() + (timeoutMs_ >= 0 ? timeoutMs_ : 30000);
        int written = 0;
        while (written < count) {
            const size_t left = static_cast<size_t>(count - written);
            // A socket whose peer has gone must fail the write, not raise SIGPIPE.
            const ssize_t n = socket_ ? ::send(fd_, bytes + written, left, MSG_NOSIGNAL)
                                      : ::write(fd_, bytes + written, left);
            if (n > 0) {
                written += static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN) return Fail(error);
            const int ready = PollUntil(fd_, POLLOUT, deadline);
            if (ready < 0) return Fail(error);
            if (ready == 0) break;
        }
        return written;
    }

    // A negative time-out means the driver's own, which on this platform is "no waiting".
    ReadResult ReadByte(uint8_t* byte, int limitMs, uint32_t* error) override {
        const int64_t deadline =
            MonotonicNow() + std::min(timeoutMs_ > 0 ? timeoutMs_ : 0, limitMs);
        for (;;) {
            const int ready = PollUntil(fd_, POLLIN, deadline);
            if (ready == 0) return ReadResult::TimedOut;
            if (ready < 0) {
                *error = static_cast<uint32_t>(errno);
                return ReadResult::Failed;
            }
            const ssize_t n = ::read(fd_, byte, 1);
            if (n == 1) return ReadResult::Byte;
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            *error = static_cast<uint32_t>(n == 0 ? EIO : errno);
            return ReadResult::Failed;
        }
    }

    bool Close(uint32_t* error) override {
        const int fd = fd_;
        fd_ = -1;
        if (socket_) {
            connection_.reset();  // closed with its last owner
            return true;
        }
        if (::close(fd) != 0 && errno != EINTR) {
            *error = static_cast<uint32_t>(errno);
            return false;
        }
        return true;
    }

    bool HeldForSession() const override { return socket_; }
    bool DropLateInput() override { return !socket_ || DropWaitingBytes(fd_); }

private:
    int Fail(uint32_t* error) {
        *error = static_cast<uint32_t>(errno);
        return -1;
    }

    int fd_;
    int timeoutMs_;
    bool socket_;
    std::shared_ptr<TcpConnection> connection_;
};

class PosixPlatform final : public Platform {
public:
    std::unique_ptr<SerialDevice> OpenSerial(int port, const LineSettings& settings,
                                             uint32_t* error) override {
        const std::string path = DevicePath(port);
        if (std::string hostAndPort; IsTcpDevice(path, &hostAndPort)) {
            std::shared_ptr<TcpConnection> connection =
                ConnectTcp(hostAndPort, settings.timeoutMs, error);
            if (!connection) return nullptr;
            return std::make_unique<PosixSerialDevice>(std::move(connection), settings.timeoutMs);
        }
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            *error = static_cast<uint32_t>(errno);
            return nullptr;
        }
        if ((settings.baudRate >= 0 && !ApplyLine(fd, settings)) || tcflush(fd, TCIFLUSH) != 0) {
            *error = static_cast<uint32_t>(errno);
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixSerialDevice>(fd, settings.timeoutMs);
    }

    int64_t MonotonicMs() override { return MonotonicNow(); }

    void SleepMs(int ms) override {
        if (ms <= 0) return;
        timespec ts{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
        while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
        }
    }

    LocalTime Now() override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        tm local{};
        localtime_r(&now.tv_sec, &local);
        return {local.tm_year + 1900,
                local.tm_mon + 1,
                local.tm_mday,
                local.tm_hour,
                local.tm_min,
                local.tm_sec,
                static_cast<int>(now.tv_nsec / 1000000)};
    }
};

std::recursive_mutex& LibraryMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

}  // namespace

Platform& RealPlatform() {
    static PosixPlatform platform;
    return platform;
}

void CommitFile(std::FILE* file) {
    std::fflush(file);
    fsync(fileno(file));
}

bool MoveFileReplacing(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}

// O_NONBLOCK keeps open() from waiting for the other end of a FIFO; on a regular file it
// changes nothing.
std::FILE* OpenRegularFile(const char* path, FileUse use) {
    const int flags = use == FileUse::Append ? O_WRONLY | O_APPEND | O_CREAT : O_RDONLY;
    const int fd = open(path, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat info {};
    std::FILE* file = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        file = fdopen(fd, use == FileUse::Append ? "a" : "rb");
    if (file == nullptr) close(fd);
    return file;
}

// O_CREAT | O_EXCL: an existing name, a link among them, is never opened.
std::FILE* CreateFileBeside(const std::string& path, std::string* name) {
    static uint32_t counter = 0;
    for (int attempt = 0; attempt < kMostAttemptsBeside; ++attempt) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const auto seed = static_cast<uint32_t>(getpid()) * 2654435761u ^
                          static_cast<uint32_t>(now.tv_nsec) ^ counter++ * 40503u;
        const std::string candidate = NameBeside(path, seed);
        if (candidate.empty()) return nullptr;
        const int fd =
            open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return nullptr;
        }
        std::FILE* file = fdopen(fd, "w");
        if (file == nullptr) {
            close(fd);
            unlink(candidate.c_str());
            return nullptr;
        }
        *name = candidate;
        return file;
    }
    return nullptr;
}

void LockLibrary() {
    LibraryMutex().lock();
}

void UnlockLibrary() {
    LibraryMutex().unlock();
}

}  // namespace tarn
