#include "state_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <vector>

namespace tarn::sim {

namespace {

constexpr char kTitle[] = "tarn-sim printer state 1";
constexpr int64_t kLargestCount = 100000000;
constexpr int64_t kLargestShift = int64_t{100} * 366 * 24 * 3600;  // a century of clock shift

uint64_t Checksum(const std::string& text) {  // FNV-1a, 64 bits
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string Hex(const uint8_t* bytes, size_t count) {
    std::string text;
    char digits[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        text += digits;
    }
    return text.empty() ? "-" : text;
}

std::string TotalsText(const ReceiptTotals& t) {
    std::string text = std::to_string(t.gross) + " " + std::to_string(t.tax);
    for (const SlotTotal& slot : t.slots) {
        text += " " + std::to_string(slot.gross) + " " + std::to_string(slot.rate) + " " +
                std::to_string(slot.tax);
    }
    return text;
}

// The words of one line, read in order; the first failure stays.
class Line {
public:
    Line(const std::string& text, int number) : number_(number) {
        std::istringstream in(text);
        for (std::string word; in >> word;) words_.push_back(word);
    }
    // The line starts with `key` and has `count` words after it.
    bool Is(const char* key, size_t count) const {
        return !words_.empty() && words_[0] == key && words_.size() == count + 1;
    }
    int64_t Number(int64_t least, int64_t most) {
        const std::string& word = Next();
        int64_t value = 0;
        const char* last = word.data() + word.size();
        const auto [stop, failure] = std::from_chars(word.data(), last, value);
        if (failure != std::errc() || stop != last || value < least || value > most) ok_ = false;
        return ok_ ? value : 0;
    }
    // From `least` to `most` bytes in hexadecimal, "-" for none.
    std::string Bytes(size_t least, size_t most) {
        const std::string& word = Next();
        std::string bytes;
        if (word == "-") {
            if (least > 0) ok_ = false;
            return bytes;
        }
        if (word.size() % 2 != 0 || word.size() / 2 < least || word.size() / 2 > most) ok_ = false;
        for (size_t i = 0; ok_ && i + 1 < word.size(); i += 2) {
            char* end = nullptr;
            const std::string pair = word.substr(i, 2);
            const unsigned long byte = std::strtoul(pair.c_str(), &end, 16);
            if (*end != '\0' || !std::isxdigit(static_cast<unsigned char>(pair[0]))) ok_ = false;
            bytes += static_cast<char>(byte);
        }
        return bytes;
    }
    ReceiptTotals Totals() {
        ReceiptTotals t;
        t.gross = Number(-kLargestAmount * kLargestCount, kLargestAmount * kLargestCount);
        t.tax = Number(-kLargestAmount * kLargestCount, kLargestAmount * kLargestCount);
        for (SlotTotal& slot : t.slots) {
            slot.gross = Number(-kLargestAmount * kLargestCount, kLargestAmount * kLargestCount);
            slot.rate = static_cast<int>(Number(-1, 10000));
            slot.tax = Number(-kLargestAmount * kLargestCount, kLargestAmount * kLargestCount);
        }
        return t;
    }
    bool Ok() const { return ok_; }
    int LineNumber() const { return number_; }

private:
    const std::string& Next() {
        static const std::string kNone;
        if (next_ >= words_.size()) {
            ok_ = false;
            return kNone;
        }
        return words_[next_++];
    }

    std::vector<std::string> words_;
    size_t next_ = 1;
    bool ok_ = true;
    int number_;
};

// Reads the lines in the order StateText writes them.
class Reader {
public:
    explicit Reader(const std::vector<std::string>& lines) : lines_(lines) {}

    // The next line, when it is `key` with `count` words; else the reading fails.
    Line* Take(const char* key, size_t count) {
        if (failed_ || at_ >= lines_.size()) return Fail(key);
        current_ = Line(lines_[at_], static_cast<int>(at_) + 1);
        if (!current_.Is(key, count)) return Fail(key);
        ++at_;
        return &current_;
    }
    // Nothing follows (but the checksum, which is read apart).
    bool End() {
        if (at_ == lines_.size()) return true;
        problem_ = "line " + std::to_string(at_ + 1) + ": more than a printer's state";
        failed_ = true;
        return false;
    }
    bool Next(const char* key) const {
        return at_ < lines_.size() &&
               lines_[at_].compare(0, std::strlen(key) + 1, std::string(key) + " ") == 0;
    }
    // The line just taken was read whole.
    bool Check() {
        if (!failed_ && !current_.Ok()) {
            problem_ = "line " + std::to_string(current_.LineNumber()) + ": a value out of range";
            failed_ = true;
        }
        return !failed_;
    }
    const std::string& Problem() const { return problem_; }

private:
    Line* Fail(const char* key) {
        if (!failed_) {
            problem_ = "line " + std::to_string(at_ + 1) + ": \"" + key + "\" expected";
        }
        failed_ = true;
        return nullptr;
    }

    const std::vector<std::string>& lines_;
    size_t at_ = 1;  // after the title
    Line current_{"", 0};
    bool failed_ = false;
    std::string problem_;
};

bool ReadItems(Reader& r, PrinterState* s) {
    Line* l = r.Take("receipts-today", 1);
    if (l) s->receiptsToday = static_cast<int>(l->Number(0, kLargestCount));
    if (!r.Check() || !(l = r.Take("daily-reports", 1))) return false;
    s->dailyReports = static_cast<int>(l->Number(0, kLargestCount));
    if (!r.Check() || !(l = r.Take("day-must-close", 1))) return false;
    s->dayMustClose = l->Number(0, 1) == 1;
    if (!r.Check() || !(l = r.Take("clock-shift", 1))) return false;
    s->clockShiftSeconds = l->Number(-kLargestShift, kLargestShift);
    if (!r.Check() || !(l = r.Take("pos", 2))) return false;
    s->posNumber = static_cast<int>(l->Number(-1, 99));
    s->cashierNumber = static_cast<int>(l->Number(-1, 99));
    if (!r.Check() || !(l = r.Take("tax-rates", 6))) return false;
    for (int& rate : s->taxRates) rate = static_cast<int>(l->Number(-1, 10000));
    for (size_t i = 0; i < s->footer.size(); ++i) {
        if (!r.Check() || !(l = r.Take("footer", 2))) return false;
        l->Number(static_cast<int64_t>(i), static_cast<int64_t>(i));
        s->footer[i] = l->Bytes(0, 40);
    }
    if (!r.Check() || !(l = r.Take("day", 1 + 2 + 3 * kTaxSlots))) return false;
    s->day.cancelled = static_cast<int>(l->Number(0, kLargestCount));
    s->day.sales = l->Totals();
    s->fiscalMemory.clear();
    while (r.Check() && r.Next("record")) {
        if (!(l = r.Take("record", 9 + 2 + 3 * kTaxSlots))) return false;
        DailyRecord record;
        const int64_t expected = static_cast<int64_t>(s->fiscalMemory.size()) + 1;
        record.number = static_cast<int>(l->Number(expected, expected));
        CivilTime& t = record.closedAt;
        t.year = static_cast<int>(l->Number(1900, 9999));
        t.month = static_cast<int>(l->Number(1, 12));
        t.day = static_cast<int>(l->Number(1, 31));
        t.hour = static_cast<int>(l->Number(0, 23));
        t.minute = static_cast<int>(l->Number(0, 59));
        t.second = static_cast<int>(l->Number(0, 59));
        record.receipts = static_cast<int>(l->Number(0, kLargestCount));
        record.cancelled = static_cast<int>(l->Number(0, kLargestCount));
        record.sales = l->Totals();
        s->fiscalMemory.push_back(record);
    }
    for (size_t row = 0; row < s->logo.size(); ++row) {
        if (!r.Check() || !(l = r.Take("logo", 2))) return false;
        l->Number(static_cast<int64_t>(row), static_cast<int64_t>(row));
        const std::string dots = l->Bytes(s->logo[row].size(), s->logo[row].size());
        if (!r.Check()) return false;
        std::memcpy(s->logo[row].data(), dots.data(), dots.size());
    }
    return r.Check() && r.End();
}

// A day's or a record's sums are those of its tax slots, and a day without receipts sold nothing.
bool SumsAgree(const ReceiptTotals& totals, int receipts) {
    int64_t gross = 0;
    int64_t tax = 0;
    bool sold = false;
    for (const SlotTotal& slot : totals.slots) {
        gross += slot.gross;
        tax += slot.tax;
        sold = sold || slot.gross != 0 || slot.tax != 0;
    }
    return gross == totals.gross && tax == totals.tax && (receipts > 0 || !sold);
}

// What the printer's records say of each other, as the printer keeps them: a record in the
// fiscal memory for every daily report (the next report adds the one numbered after the count),
// sums that agree with their slots. Empty when they agree.
std::string Disagreement(const PrinterState& s) {
    if (static_cast<size_t>(s.dailyReports) != s.fiscalMemory.size()) {
        return std::to_string(s.dailyReports) + " daily reports, " +
               std::to_string(s.fiscalMemory.size()) + " records in the fiscal memory";
    }
    if (!SumsAgree(s.day.sales, s.receiptsToday)) return "the day's sums";
    for (const DailyRecord& record : s.fiscalMemory) {
        if (!SumsAgree(record.sales, record.receipts))
            return "the sums of record " + std::to_string(record.number);
    }
    return "";
}

bool ReadWholeFile(int fd, std::string* text) {
    constexpr off_t kLargestStateFile = off_t{64} << 20;
    struct stat info {};
    if (fstat(fd, &info) != 0) return false;
    if (info.st_size > kLargestStateFile) {
        errno = EFBIG;
        return false;
    }
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (text->size() + static_cast<size_t>(n) > static_cast<size_t>(kLargestStateFile)) {
            errno = EFBIG;
            return false;
        }
        text->append(buffer, static_cast<size_t>(n));
    }
    return true;
}

bool WriteWhole(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t w = write(fd, text.data() + done, text.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<size_t>(w);
    }
    return fsync(fd) == 0;
}

}  // namespace

std::string StateText(const PrinterState& s) {
    std::string text = std::string(kTitle) + "\n";
    text += "receipts-today " + std::to_string(s.receiptsToday) + "\n";
    text += "daily-reports " + std::to_string(s.dailyReports) + "\n";
    text += "day-must-close " + std::to_string(s.dayMustClose ? 1 : 0) + "\n";
    text += "clock-shift " + std::to_string(s.clockShiftSeconds) + "\n";
    text += "pos " + std::to_string(s.posNumber) + " " + std::to_string(s.cashierNumber) + "\n";
    text += "tax-rates";
    for (const int rate : s.taxRates) text += " " + std::to_string(rate);
    text += "\n";
    for (size_t i = 0; i < s.footer.size(); ++i) {
        const std::string& line = s.footer[i];
        text += "footer " + std::to_string(i) + " " +
                Hex(reinterpret_cast<const uint8_t*>(line.data()), line.size()) + "\n";
    }
    text += "day " + std::to_string(s.day.cancelled) + " " + TotalsText(s.day.sales) + "\n";
    for (const DailyRecord& r : s.fiscalMemory) {
        char closed[64];
        std::snprintf(closed, sizeof closed, "%d %d %d %d %d %d %d", r.closedAt.year,
                      r.closedAt.month, r.closedAt.day, r.closedAt.hour, r.closedAt.minute,
                      r.closedAt.second, r.receipts);
        text += "record " + std::to_string(r.number) + " " + closed + " " +
                std::to_string(r.cancelled) + " " + TotalsText(r.sales) + "\n";
    }
    for (size_t row = 0; row < s.logo.size(); ++row) {
        text += "logo " + std::to_string(row) + " " + Hex(s.logo[row].data(), s.logo[row].size()) +
                "\n";
    }
    char check[32];
    std::snprintf(check, sizeof check, "check %016" PRIx64 "\n", Checksum(text));
    return text + check;
}

bool ReadStateText(const std::string& text, PrinterState* state, std::string* error) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (lines.empty() || lines[0] != kTitle) {
        *error = "is not a tarn-sim printer state file";
        return false;
    }
    const std::string& last = lines.back();
    const size_t body = text.rfind("\ncheck ");
    char expected[32];
    std::snprintf(expected, sizeof expected, "check %016" PRIx64,
                  body == std::string::npos ? 0 : Checksum(text.substr(0, body + 1)));
    if (body == std::string::npos || last != expected || text.back() != '\n') {
        *error = "is damaged: its checksum does not match what it holds";
        return false;
    }
    lines.pop_back();
    PrinterState read = *state;
    Reader reader(lines);
    if (!ReadItems(reader, &read)) {
        *error = "is damaged (" + reader.Problem() + ")";
        return false;
    }
    const std::string disagreement = Disagreement(read);
    if (!disagreement.empty()) {
        *error = "is damaged: its records disagree (" + disagreement + ")";
        return false;
    }
    *state = read;
    return true;
}

StateFile::~StateFile() {
    if (fd_ >= 0) close(fd_);
}

bool StateFile::Open(const std::string& path, PrinterState* state, std::string* error) {
    shown_ = path;
    bool made = false;
    if (!Resolve(path, error) || !Lock(&made, error)) return false;
    if (made) {
        if (Write(StateText(*state), error)) return true;
        unlink(path_.c_str());  // an empty file would be refused at the next start
        return false;
    }
    std::string text;
    if (!ReadWholeFile(fd_, &text)) {
        *error = "cannot read " + shown_ + ": " + std::strerror(errno);
        return false;
    }
    if (!ReadStateText(text, state, error)) {
        *error = shown_ + " " + *error;
        return false;
    }
    return true;
}

// The file a link names, or the name itself when nothing is there yet.
bool StateFile::Resolve(const std::string& path, std::string* error) {
    const std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), &free);
    struct stat info {};
    if (real) {
        path_ = real.get();
    } else if (errno == ENOENT && lstat(path.c_str(), &info) != 0) {
        path_ = path;
    } else {
        *error = "cannot follow " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// Opens the file (making it empty when there is none: *made) and locks it. Another printer may
// have put a new file at the name between the open and the lock: the lock holds only when the
// name still leads to the locked file.
bool StateFile::Lock(bool* made, std::string* error) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Opened without blocking: a FIFO at the name would hold the start for ever.
        int fd = open(path_.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        *made = fd >= 0;
        if (fd < 0 && errno == EEXIST)
            fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        struct stat held {};
        if (fd < 0 || fstat(fd, &held) != 0) {
            *error = "cannot open " + shown_ + ": " + std::strerror(errno);
            if (fd >= 0) close(fd);
            return false;
        }
        if (!S_ISREG(held.st_mode)) {
            close(fd);
            *error = shown_ + " is not a tarn-sim printer state file";
            return false;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            *error = errno == EWOULDBLOCK ? shown_ + " is in use by another tarn-sim"
                                          : "cannot lock " + shown_ + ": " + std::strerror(errno);
            close(fd);
            return false;
        }
        struct stat named {};
        if (stat(path_.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino) {
            fd_ = fd;
            return true;
        }
        close(fd);
    }
    *error = "cannot lock " + shown_ + ": it is replaced again and again";
    return false;
}

// The new file is locked before it takes the name, so the lock never lapses. It is made new,
// never through what stands at its name already (a symlink there is removed).
bool StateFile::Write(const std::string& text, std::string* error) {
    const std::string temporary = path_ + ".tmp";
    unlink(temporary.c_str());
    const int fd =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    const bool ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 && WriteWhole(fd, text) &&
                    rename(temporary.c_str(), path_.c_str()) == 0;
    if (!ok) {
        *error = "cannot write " + shown_ + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        if (fd >= 0) close(fd);
        return false;
    }
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
    return true;
}

}  // namespace tarn::sim
