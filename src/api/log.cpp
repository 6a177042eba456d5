#include "api/log.h"

#include <cstdarg>
#include <cstdio>

#include "api/library.h"

namespace tarn {

static_assert(kLoggedTextWidth + 1 == sizeof(DiagnosticLog::logLine), "a logged text fits a line");

namespace {

enum class Severity { Info, Error };

void Compose(Severity severity, const char* format, va_list args) {
    DiagnosticLog& log = LibraryLog();
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized): each caller starts `args` with va_start
    std::vsnprintf(log.logLine, sizeof log.logLine, format, args);
    CLogger* logger = log.temporaryLogger != nullptr ? log.temporaryLogger : log.logger.get();
    if (logger == nullptr) return;
    if (severity == Severity::Error) {
        logger->LogError(log.logLine);
    } else {
        logger->LogInfo(log.logLine);
    }
}

}  // namespace

void LogInfoF(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Compose(Severity::Info, format, args);
    va_end(args);
}

void LogErrorF(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Compose(Severity::Error, format, args);
    va_end(args);
}

void LogErrorLine(const char* line) {
    LogErrorF("%s", line);
}

void LogResultF(int result, const char* format, ...) {
    va_list args;
    va_start(args, format);
    Compose(result != 0 ? Severity::Error : Severity::Info, format, args);
    va_end(args);
}

}  // namespace tarn
