#include "api/logo.h"

#include <cstdio>

#include "api/library.h"
#include "api/log.h"
#include "link/shared_commands.h"
#include "platform/platform.h"

namespace tarn {

namespace {

constexpr uint8_t kBackupAnnouncement = 0x2F;  // '/'
constexpr uint8_t kUploadAnnouncement = 0x2D;  // '-'
constexpr int kGoOn = 6;
constexpr int kRowAnswerLength = 2 + kLogoRowBytes;

constexpr long kMostLogoFileBytes = 64 * 1024;  // the first line and 64 rows, well above

class File {
public:
    explicit File(std::FILE* file) : file_(file) {}
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

// Reads the logo file line by line; an LF or a CR LF ends a line. A line keeps its first 192
// characters, and no more than kMostLogoFileBytes of the file are read: a file of any size or
// without line ends costs the same.
class LogoLines {
public:
    explicit LogoLines(std::FILE* file) : file_(file) {}
    // False at the end of the file or of the bytes it may read.
    bool Next(std::string* line) {
        line->clear();
        int c = Get();
        if (c == EOF) return false;
        for (; c != EOF && c != '\n'; c = Get()) {
            if (line->size() <= static_cast<size_t>(kLogoRowDots))
                line->push_back(static_cast<char>(c));
        }
        if (!line->empty() && line->back() == '\r') line->pop_back();
        return true;
    }

private:
    int Get() { return left_-- > 0 ? std::fgetc(file_) : EOF; }
    std::FILE* file_;
    long left_ = kMostLogoFileBytes;
};

// Only a backup of all 64 rows, each of 192 dots, keeps the printer's logo: an empty or cut
// file left by an earlier start does not.
bool IsWholeBackup(const std::string& path) {
    File file(OpenRegularFile(path.c_str(), FileUse::Read));
    if (file.get() == nullptr) return false;
    LogoLines lines(file.get());
    std::string line;
    for (int row = 0; row < kLogoRows; ++row) {
        const bool whole = lines.Next(&line) && line.size() == static_cast<size_t>(kLogoRowDots) &&
                           line.find_first_not_of("X ") == std::string::npos;
        if (!whole) return false;
    }
    return true;
}

// '/' answered 6, then the row number answered by two bytes and the row. 1 when the row came,
// 0 when the printer stopped the backup (an answer other than 6, none, or a row cut short), -2
// when an exchange failed.
int FetchRow(int row, LogoRow* out) {
    int goOn = 0;
    CRequestOneByteMaybeAnswered announce(kBackupAnnouncement, &goOn);
    if (Exchange(announce) != MF_OK) return MF_FAILED;
    if (goOn != kGoOn) return 0;
    uint8_t answer[kRowAnswerLength] = {};
    int count = kRowAnswerLength;
    CRequestReadBlock request(static_cast<uint8_t>(row), answer, &count);
    if (Exchange(request) != MF_OK) return MF_FAILED;
    if (count < kRowAnswerLength) return 0;
    for (int i = 0; i < kLogoRowBytes; ++i) (*out)[static_cast<size_t>(i)] = answer[2 + i];
    return 1;
}

// The rows go to a new temporary file that replaces the backup only when all of them came and
// they are not the logo about to be loaded: a second start must not overwrite the backup of
// the printer's own logo with ours. *saved tells whether the printer's logo is now kept: in
// the backup, or in the logo file itself.
int BackupLogo(const std::string& backup, const std::optional<Logo>& incoming, bool* saved) {
    std::string partial;
    File file(CreateFileBeside(backup, &partial));
    if (file.get() == nullptr) {
        LogErrorF("In mfStart, logo backup cannot be created beside %s", backup.c_str());
        return MF_OK;
    }
    Logo current{};
    int rows = 0;
    for (; rows < kLogoRows; ++rows) {
        const int got = FetchRow(rows, &current[static_cast<size_t>(rows)]);
        if (got < 0) {
            (void)file.Close();  // the partial file is removed anyway
            std::remove(partial.c_str());
            return MF_FAILED;
        }
        if (got == 0) {
            LogErrorF("In mfStart, logo backup stopped at row %d", rows);
            break;
        }
        std::fprintf(file.get(), "%s\n", TextFromRow(current[static_cast<size_t>(rows)]).c_str());
    }
    const bool written = file.Close();
    const bool whole = written && rows == kLogoRows;
    const bool ours = incoming && *incoming == current;
    const bool moved = whole && !ours && MoveFileReplacing(partial.c_str(), backup.c_str());
    if (!moved) std::remove(partial.c_str());
    *saved = moved || (whole && ours);
    return MF_OK;
}

int UploadStopped(int row) {
    LogErrorF("In mfStart, logo upload stopped at row %d", row);
    return MF_OK;
}

// '-' answered 6, then the row number, its 24 bytes and their exclusive OR, answered 0. An
// answer other than these, or none, stops the upload: the printer keeps the rows it took.
int UploadLogo(const Logo& logo) {
    for (int row = 0; row < kLogoRows; ++row) {
        int goOn = 0;
        CRequestOneByteMaybeAnswered announce(kUploadAnnouncement, &goOn);
        if (Exchange(announce) != MF_OK) return MF_FAILED;
        if (goOn != kGoOn) return UploadStopped(row);
        uint8_t block[kRowAnswerLength] = {static_cast<uint8_t>(row)};
        uint8_t check = 0;
        for (int i = 0; i < kLogoRowBytes; ++i) {
            block[1 + i] = logo[static_cast<size_t>(row)][static_cast<size_t>(i)];
            check ^= block[1 + i];
        }
        block[1 + kLogoRowBytes] = check;
        int taken = -1;
        CRequestRawBlockMaybeAnswered upload(block, kRowAnswerLength, &taken);
        if (Exchange(upload) != MF_OK) return MF_FAILED;
        if (taken != 0) return UploadStopped(row);
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
    File file(OpenRegularFile(path, FileUse::Read));
    if (file.get() == nullptr) return std::nullopt;
    LogoLines lines(file.get());
    std::string line;
    (void)lines.Next(&line);  // the first line is not the logo's
    if (!lines.Next(&line)) return std::nullopt;
    Logo logo{};
    for (LogoRow& row : logo) {
        row = RowFromText(line);
        if (!lines.Next(&line)) break;
    }
    return logo;
}

// The printer's logo is overwritten only when it is kept: by this start's backup, or in a
// whole backup an earlier start left. Nothing is written beside a logo path that names no
// regular file (a device, a folder, nothing).
int TransferLogo(const char* logoPath) {
    if (File(OpenRegularFile(logoPath, FileUse::Read)).get() == nullptr) {
        LogErrorF("In mfStart, logo file not used: %s is no regular file", logoPath);
        return MF_OK;
    }
    const std::optional<Logo> logo = ReadLogoFile(logoPath);
    const std::string backup = std::string(logoPath) + ".old";
    bool saved = false;
    if (BackupLogo(backup, logo, &saved) != MF_OK) return MF_FAILED;
    if (!logo) return MF_OK;
    if (!saved && !IsWholeBackup(backup)) {
        LogErrorF("In mfStart, logo not loaded: no backup keeps the printer's logo");
        return MF_OK;
    }
    return UploadLogo(*logo);
}

}  // namespace tarn
