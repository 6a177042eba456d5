// The only seam between the library and the operating system: serial devices,
// the monotonic clock, sleeping, local time, committing a log file and the
// library-wide lock. Real implementations live in posix.cpp and win32.cpp; tests
// install their own (the virtual printer on a virtual clock).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tarn {

struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Line parameters in the Windows encoding: stopBits 0 = one stop bit, parity 2 = even,
// rtsControl/dtrControl 0 = line disabled. A negative baud rate leaves the line setting
// untouched; a negative timeout leaves the driver's time-outs untouched.
struct LineSettings {
    int baudRate = 9600;
    uint8_t dataBits = 8;
    uint8_t stopBits = 0;
    uint8_t parity = 2;
    uint8_t rtsControl = 0;
    uint8_t dtrControl = 0;
    int timeoutMs = 30000;
};

enum class ReadResult { Byte, TimedOut, Failed };

class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    // Writes all bytes; returns the count written, or -1 on failure (error in *error).
    virtual int Write(const uint8_t* bytes, int count, uint32_t* error) = 0;
    // Waits for one byte at most the time-out given when the device was opened, and at most
    // `limitMs` (the rest of an answer has less time than its first byte).
    virtual ReadResult ReadByte(uint8_t* byte, int limitMs, uint32_t* error) = 0;
    virtual bool Close(uint32_t* error) = 0;
    // A connection held for the whole session (a printer behind TCP): its port keeps it between
    // exchanges, closing it only when the session ends or the connection fails, so that no other
    // process takes the printer in between, as none opens a serial port held open.
    virtual bool HeldForSession() const { return false; }
    // Before an exchange on a held connection: drops the bytes that came after the last one
    // (an answer too late for it). False when the connection has gone (the other end closed it).
    virtual bool DropLateInput() { return true; }
};

class Platform {
public:
    virtual ~Platform() = default;
    // Opens serial port number `port` (1 = the first port). Bytes that arrived while the
    // port was closed are discarded. Returns null with *error set when it cannot be opened
    // or its settings cannot be applied.
    virtual std::unique_ptr<SerialDevice> OpenSerial(int port, const LineSettings& settings,
                                                     uint32_t* error) = 0;
    virtual int64_t MonotonicMs() = 0;
    virtual void SleepMs(int ms) = 0;
    virtual LocalTime Now() = 0;
};

// The platform in force: the real one of this build unless a test installed another.
Platform& CurrentPlatform();
// Installs `platform` (not owned) for everything that follows; null restores the real one.
void InstallPlatform(Platform* platform);
Platform& RealPlatform();

// Pushes a written log file to the disk (flush and commit).
void CommitFile(std::FILE* file);
// Puts file `from` in the place of `to` in one step, replacing `to`.
bool MoveFileReplacing(const char* from, const char* to);

enum class FileUse { Append, Read };
// Opens `path` for appending (created when missing) or reading without ever waiting: a FIFO,
// a device or a folder is not used, so null for anything but a regular file.
std::FILE* OpenRegularFile(const char* path, FileUse use);
// Creates a new file for writing in the folder of `path`, named as `path` with its last three
// characters changed (so its name fits wherever `path` fits: "<file>.old" gives "<file>.k3z"),
// only where no file or link of that name stood: never through a symbolic link. Its name in
// *name; null when it cannot be created.
std::FILE* CreateFileBeside(const std::string& path, std::string* name);
// A name for CreateFileBeside to try: `path` with each of its last three characters replaced by
// a letter or digit drawn from `seed`, never the one it was (in either case). Empty when `path`
// does not end in a file name of more than three characters.
std::string NameBeside(const std::string& path, uint32_t seed);

// The library-wide recursive lock held by every exported call.
void LockLibrary();
void UnlockLibrary();

// Waits `ms` milliseconds on the monotonic clock by sleeping, not spinning.
void WaitMs(int ms);

}  // namespace tarn
