// Win32 platform: COM ports through the serial communications API (or a printer behind a TCP
// port, win32_tcp.cpp), the performance counter, Sleep, GetLocalTime.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/port_name.h"
#include "platform/win32_tcp.h"

namespace tarn {

namespace {

uint32_t LastError() {
    return static_cast<uint32_t>(GetLastError());
}

// Fetches the driver's line setting and overwrites only the members we own, so flow
// control and special characters stay as the driver reported them.
bool ApplyLine(HANDLE handle, const LineSettings& settings) {
    DCB dcb;
    ZeroMemory(&dcb, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb)) return false;
    dcb.BaudRate = static_cast<DWORD>(settings.baudRate);
    dcb.ByteSize = settings.dataBits;
    dcb.Parity = settings.parity;
    dcb.StopBits = settings.stopBits;
    dcb.fDtrControl = settings.dtrControl & 3;
    dcb.fRtsControl = settings.rtsControl & 3;
    return SetCommState(handle, &dcb) != 0;
}

// Each one-byte ReadFile returns as soon as a byte arrives or after `readMs` (at least 1: all
// time-outs 0 would mean waiting for ever).
bool ApplyTimeouts(HANDLE handle, int readMs, int writeMs) {
    COMMTIMEOUTS timeouts;
    ZeroMemory(&timeouts, sizeof timeouts);
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>((std::max)(readMs, 1));
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(writeMs);
    return SetCommTimeouts(handle, &timeouts) != 0;
}

class Win32SerialDevice final : public SerialDevice {
public:
    // A negative time-out leaves the driver's time-outs in force.
    Win32SerialDevice(HANDLE handle, int timeoutMs)
        : handle_(handle), timeoutMs_(timeoutMs), readMs_(timeoutMs) {}
    ~Win32SerialDevice() override {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }

    int Write(const uint8_t* bytes, int count, uint32_t* error) override {
        DWORD written = 0;
        if (!WriteFile(handle_, bytes, static_cast<DWORD>(count), &written, nullptr)) {
            *error = LastError();
            return -1;
        }
        return static_cast<int>(written);
    }

    ReadResult ReadByte(uint8_t* byte, int limitMs, uint32_t* error) override {
        const int readMs = timeoutMs_ < 0 ? timeoutMs_ : (std::min)(timeoutMs_, limitMs);
        if (readMs != readMs_) {
            if (!ApplyTimeouts(handle_, readMs, timeoutMs_)) {
                *error = LastError();
                return ReadResult::Failed;
            }
            readMs_ = readMs;
        }
        DWORD got = 0;
        if (!ReadFile(handle_, byte, 1, &got, nullptr)) {
            *error = LastError();
            return ReadResult::Failed;
        }
        return got == 1 ? ReadResult::Byte : ReadResult::TimedOut;
    }

    bool Close(uint32_t* error) override {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!CloseHandle(handle)) {
            *error = LastError();
            return false;
        }
        return true;
    }

private:
    HANDLE handle_;
    int timeoutMs_;
    int readMs_;  // the read time-out in force
};

// Port n is the device named by TARN_COM<n> when that is set (read from the process's
// environment as it is now, so an application may set it before mfStart), else "\\.\COM<n>",
// which opens every port number where plain "COM<n>" stops at COM9.
std::string DeviceName(int port) {
    const std::string variable = PortVariableName(port);
    char value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(variable.c_str(), value, sizeof value);
    if (length > 0 && length < sizeof value) return value;
    return "\\\\.\\COM" + std::to_string(port);
}

class Win32Platform final : public Platform {
public:
    std::unique_ptr<SerialDevice> OpenSerial(int port, const LineSettings& settings,
                                             uint32_t* error) override {
        const std::string name = DeviceName(port);
        if (std::string hostAndPort; IsTcpDevice(name, &hostAndPort))
            return OpenTcpDevice(hostAndPort, settings.timeoutMs, error);
        HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            *error = LastError();
            return nullptr;
        }
        const bool lineOk = settings.baudRate < 0 || ApplyLine(handle, settings);
        const bool timeoutsOk =
            lineOk && (settings.timeoutMs < 0 ||
                       ApplyTimeouts(handle, settings.timeoutMs, settings.timeoutMs));
        if (!timeoutsOk) {
            *error = LastError();
            CloseHandle(handle);
            return nullptr;
        }
        PurgeComm(handle, PURGE_RXCLEAR);
        return std::make_unique<Win32SerialDevice>(handle, settings.timeoutMs);
    }

    // The performance counter, not GetTickCount64: the tick count moves in steps of about 16 ms,
    // and a wait that ends when the clock reaches its deadline would sleep again for up to a
    // step after every wait.
    int64_t MonotonicMs() override {
        static const int64_t perSecond = [] {
            LARGE_INTEGER frequency;
            QueryPerformanceFrequency(&frequency);
            return static_cast<int64_t>(frequency.QuadPart);
        }();
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        const int64_t ticks = counter.QuadPart;
        return ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
    }

    void SleepMs(int ms) override {
        if (ms > 0) Sleep(static_cast<DWORD>(ms));
    }

    LocalTime Now() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
    }
};

CRITICAL_SECTION* LibraryLock() {
    static CRITICAL_SECTION section;
    static const bool initialised = [] {
        InitializeCriticalSection(&section);
        return true;
    }();
    (void)initialised;
    return &section;
}

}  // namespace

Platform& RealPlatform() {
    static Win32Platform platform;
    return platform;
}

void CommitFile(std::FILE* file) {
    std::fflush(file);
    _commit(_fileno(file));
}

bool MoveFileReplacing(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

namespace {

// A stream on `handle`, which it then owns; null (the handle closed) when none can be made.
std::FILE* StreamOnHandle(HANDLE handle, int flags, const char* mode) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, mode);
    if (file == nullptr) _close(fd);
    return file;
}

}  // namespace

// A folder does not open without FILE_FLAG_BACKUP_SEMANTICS; a pipe or a device is not a disk
// file. Opening a pipe never waits: it fails when the pipe is busy.
std::FILE* OpenRegularFile(const char* path, FileUse use) {
    const bool append = use == FileUse::Append;
    const HANDLE handle = CreateFileA(
        path, append ? FILE_APPEND_DATA : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        append ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return nullptr;
    }
    return append ? StreamOnHandle(handle, _O_APPEND | _O_TEXT, "ac")
                  : StreamOnHandle(handle, _O_RDONLY | _O_BINARY, "rb");
}

// CREATE_NEW fails on any existing name, a link among them; a taken name tries the next.
std::FILE* CreateFileBeside(const std::string& path, std::string* name) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto seed =
            static_cast<uint32_t>(GetCurrentProcessId() * 7919u + GetTickCount() + counter++);
        const std::string candidate = NameBeside(path, seed);
        if (candidate.empty()) return nullptr;
        const HANDLE handle = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return nullptr;
        }
        std::FILE* file = StreamOnHandle(handle, _O_WRONLY | _O_TEXT, "w");
        if (file == nullptr)
            DeleteFileA(candidate.c_str());
        else
            *name = candidate;
        return file;
    }
    return nullptr;
}

void LockLibrary() {
    EnterCriticalSection(LibraryLock());
}

void UnlockLibrary() {
    LeaveCriticalSection(LibraryLock());
}

}  // namespace tarn
