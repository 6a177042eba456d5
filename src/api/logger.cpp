#include "api/logger.h"

#include <cstring>

#include "platform/platform.h"

namespace tarn {

CLogger::CLogger(const char* fileName, int level, const char* title) : level_(level) {
    std::snprintf(fileName_, sizeof fileName_, "%s", fileName != nullptr ? fileName : "");
    file_ = OpenRegularFile(fileName_, FileUse::Append);
    if (file_ == nullptr) return;
    char opening[160];
    std::snprintf(opening, sizeof opening, "***** LOG OPEN  %s *****",
                  title != nullptr ? title : "");
    WriteLine(opening);
}

CLogger::~CLogger() {
    if (file_ != nullptr) std::fclose(file_);
}

void CLogger::WriteLine(const char* text) {
    if (file_ == nullptr) return;
    const LocalTime t = CurrentPlatform().Now();
    std::fprintf(file_, "%d.%02d.%02d %02d:%02d:%02d %s\n", t.year, t.month, t.day, t.hour,
                 t.minute, t.second, text != nullptr ? text : "");
    CommitFile(file_);
}

void CLogger::LogInfo(const char* text) {
    if (level_ >= kEverything) WriteLine(text);
}

void CLogger::LogError(const char* text) {
    if (level_ >= kFailures) WriteLine(text);
}

void CLogger::Close() {
    if (file_ == nullptr) return;
    WriteLine("***** LOG CLOSED *****");
    std::fclose(file_);
    file_ = nullptr;
}

int DebugLevelToLoggerLevel(int value) {
    switch (value) {
        case 0: return CLogger::kNothing;
        case 9: return CLogger::kEverything;
        default: return CLogger::kFailures;
    }
}

}  // namespace tarn
