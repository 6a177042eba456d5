#include "api/logo.h"

#include <cstdio>

#include "api/library.h"
#include "link/shared_commands.h"
#include "platform/platform.h"

namespace tarn {

namespace {

constexpr uint8_t kBackupAnnouncement = 0x2F;  // '/'
constexpr uint8_t kUploadAnnouncement = 0x2D;  // '-'
constexpr int kGoOn = 6;
constexpr int kRowAnswerLength = 2 + kLogoRowBytes;

class File {
public:
    File(const char* path, const char* mode) : file_(std::fopen(path, mode)) {}
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    std::FILE* get() const { return file_; }
    bool Close() {
        const bool ok = file_ == nullptr || std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    std::FILE* file_;
};

// Reads one line; an LF or a CR LF ends it. False at the end of the file.
bool ReadLine(std::FILE* file, std::string* line) {
    line->clear();
    int c = std::fgetc(file);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = std::fgetc(file)) line->push_back(static_cast<char>(c));
    if (!line->empty() && line->back() == '\r') line->pop_back();
    return true;
}

// '/' answered 6, then the row number answered by two bytes and the row. 1 when the row came,
// 0 when the printer stopped the backup (an answer other than 6, none, or a row cut short), -2
// when an exchange failed.
int FetchRow(int row, LogoRow* out) {
    int goOn = 0;
    CRequestOneByteMaybeAnswered announce(kBackupAnnouncement, &goOn);
    if (Exchange(announce, true) != MF_OK) return MF_FAILED;
    if (goOn != kGoOn) return 0;
    uint8_t answer[kRowAnswerLength] = {};
    int count = kRowAnswerLength;
    CRequestReadBlock request(static_cast<uint8_t>(row), answer, &count);
    if (Exchange(request, true, true) != MF_OK) return MF_FAILED;
    if (count < kRowAnswerLength) return 0;
    for (int i = 0; i < kLogoRowBytes; ++i) (*out)[static_cast<size_t>(i)] = answer[2 + i];
    return 1;
}

// The rows go to a temporary file that replaces the backup only when all of them came and
// they are not the logo about to be loaded: a second start must not overwrite the backup of
// the printer's own logo with ours.
int BackupLogo(const std::string& path, const std::optional<Logo>& incoming) {
    const std::string backup = path + ".old";
    const std::string partial = backup + ".part";
    File file(partial.c_str(), "w");
    if (file.get() == nullptr) return MF_OK;
    Logo current{};
    int rows = 0;
    for (; rows < kLogoRows; ++rows) {
        const int got = FetchRow(rows, &current[static_cast<size_t>(rows)]);
        if (got < 0) {
            (void)file.Close();  // the partial file is removed anyway
            std::remove(partial.c_str());
            return MF_FAILED;
        }
        if (got == 0) break;
        std::fprintf(file.get(), "%s\n", TextFromRow(current[static_cast<size_t>(rows)]).c_str());
    }
    const bool written = file.Close();
    const bool keep = written && rows == kLogoRows && !(incoming && *incoming == current);
    if (!keep || !MoveFileReplacing(partial.c_str(), backup.c_str())) std::remove(partial.c_str());
    return MF_OK;
}

// '-' answered 6, then the row number, its 24 bytes and their exclusive OR, answered 0.
int UploadLogo(const Logo& logo) {
    for (int row = 0; row < kLogoRows; ++row) {
        int goOn = 0;
        CRequestOneByteMaybeAnswered announce(kUploadAnnouncement, &goOn);
        if (Exchange(announce, true) != MF_OK) return MF_FAILED;
        if (goOn != kGoOn) return MF_OK;
        uint8_t block[kRowAnswerLength] = {static_cast<uint8_t>(row)};
        uint8_t check = 0;
        for (int i = 0; i < kLogoRowBytes; ++i) {
            block[1 + i] = logo[static_cast<size_t>(row)][static_cast<size_t>(i)];
            check ^= block[1 + i];
        }
        block[1 + kLogoRowBytes] = check;
        int taken = -1;
        CRequestRawBlock upload(block, kRowAnswerLength, &taken);
        if (Exchange(upload, true, true) != MF_OK) return MF_FAILED;
        if (taken != 0) return MF_OK;
    }
    return MF_OK;
}

}  // namespace

LogoRow RowFromText(const std::string& line) {
    LogoRow row{};
    for (size_t dot = 0; dot < line.size() && dot < static_cast<size_t>(kLogoRowDots); ++dot) {
        if (line[dot] == 'X') row[dot / 8] |= static_cast<uint8_t>(0x80 >> (dot % 8));
    }
    return row;
}

std::string TextFromRow(const LogoRow& row) {
    std::string text;
    for (const uint8_t byte : row) {
        for (int bit = 7; bit >= 0; --bit) text.push_back((byte >> bit) & 1 ? 'X' : ' ');
    }
    return text;
}

std::optional<Logo> ReadLogoFile(const char* path) {
    File file(path, "rb");
    if (file.get() == nullptr) return std::nullopt;
    Logo logo{};
    std::string line;
    (void)ReadLine(file.get(), &line);  // the first line is not the logo's
    for (LogoRow& row : logo) {
        if (!ReadLine(file.get(), &line)) break;
        row = RowFromText(line);
    }
    return logo;
}

int TransferLogo(const char* logoPath) {
    const std::optional<Logo> logo = ReadLogoFile(logoPath);
    if (BackupLogo(logoPath, logo) != MF_OK) return MF_FAILED;
    return logo ? UploadLogo(*logo) : MF_OK;
}

}  // namespace tarn
