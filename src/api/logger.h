// The diagnostic log: time-stamped lines appended to a text file, each one flushed and
// committed to disk as soon as it is written.
#pragma once

#include <cstdio>

namespace tarn {

class CLogger {
public:
    static constexpr int kNothing = 0;
    static constexpr int kFailures = 1;
    static constexpr int kEverything = 3;

    // Opens `fileName` for appending and writes the opening line. A file that cannot be
    // opened leaves a logger that writes nothing.
    CLogger(const char* fileName, int level, const char* title);
    ~CLogger();
    CLogger(const CLogger&) = delete;
    CLogger& operator=(const CLogger&) = delete;

    // Written at every level: used for the opening and closing lines.
    void WriteLine(const char* text);
    void LogInfo(const char* text);
    void LogError(const char* text);
    // Writes the closing line and closes the file; later calls write nothing.
    void Close();

    int Level() const { return level_; }
    void SetLevel(int level) { level_ = level; }
    bool IsOpen() const { return file_ != nullptr; }
    const char* FileName() const { return fileName_; }

private:
    char fileName_[256] = {};
    int level_;
    std::FILE* file_ = nullptr;
};

// mfSetDebugLevel's mapping of the caller's value to a logger level.
int DebugLevelToLoggerLevel(int value);

}  // namespace tarn
