#include "customer_display.h"

#include <algorithm>
#include <cstdio>

#include "text/cp852.h"

namespace tarn::sim {

namespace {

constexpr uint8_t kClearOrEscape = 0x0B;
constexpr uint8_t kFormFeed = 0x0C;
constexpr uint8_t kModeWide = 0x0E;
constexpr uint8_t kModeNormal = 0x12;
constexpr char kFullBlock = static_cast<char>(0xDB);  // code page 852
constexpr size_t kLongestAmount = 32;                 // what a sequence without its LF may hold
constexpr const char* kPolishLetters = "ĄĆĘŁŃÓŚŹŻąćęłńóśźż";

bool IsPolishLetter(uint8_t byte) {
    return byte >= 0x80 &&
           std::string(kPolishLetters).find(Cp852ToUtf8(std::string(1, static_cast<char>(byte)))) !=
               std::string::npos;
}

bool IsAsciiLetter(uint8_t byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// Seven segments draw neither K, M, V, W nor X.
bool SevenSegmentsDraw(uint8_t byte) {
    if (IsAsciiLetter(byte))
        return std::string("KMVWXkmvwx").find(static_cast<char>(byte)) == std::string::npos;
    return (byte >= '0' && byte <= '9') ||
           std::string(" -=_").find(static_cast<char>(byte)) != std::string::npos ||
           IsPolishLetter(byte);
}

// The two-line display's font has no X and few signs.
bool TwoLineFontDraws(uint8_t byte) {
    if (IsAsciiLetter(byte)) return byte != 'X' && byte != 'x';
    return (byte >= '0' && byte <= '9') ||
           std::string(" !\"#$%&'()*+,-:./=_").find(static_cast<char>(byte)) != std::string::npos ||
           IsPolishLetter(byte);
}

bool IsPoint(uint8_t byte) {
    return byte == '.' || byte == ',';
}

}  // namespace

std::string DisplayAmount(int64_t grosze) {
    const int64_t magnitude = grosze < 0 ? -grosze : grosze;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld,%02d", grosze < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 100), static_cast<int>(magnitude % 100));
    return text;
}

CustomerDisplay::CustomerDisplay(int type) : type_(type) {
    if (type == 1 || type == 2) {
        width_ = 9;
        rows_ = 1;
    } else if (type == 3) {
        width_ = 20;
        rows_ = 2;
    }
    cells_.resize(At(rows_, 0));
    shown_ = Lines();
}

void CustomerDisplay::Show(const std::string& text, const ReceiptSummary& summary) {
    if (!Present()) return;
    for (const char c : text) Take(static_cast<uint8_t>(c), summary);
    Notify();
}

void CustomerDisplay::ShowSummary(const ReceiptSummary& summary) {
    if (!Present()) return;
    if (SevenSegment()) {
        ShowAmount("=", DisplayAmount(summary.total));
    } else {
        ShowTwoLineSummary(summary);
    }
    Notify();
}

std::vector<std::string> CustomerDisplay::Lines() const {
    std::vector<std::string> lines;
    for (int row = 0; row < rows_; ++row) {
        std::string line;
        for (int col = 0; col < width_; ++col) {
            const Cell& cell = cells_[At(row, col)];
            if (cell.glyph != 0) line += cell.glyph;
            if (cell.point) line += '.';
        }
        lines.push_back(Cp852ToUtf8(line));
    }
    return lines;
}

void CustomerDisplay::Take(uint8_t byte, const ReceiptSummary& summary) {
    if (control_ != Control::None) {
        TakeControl(byte, summary);
    } else if (type_ == 2 && byte == kClearOrEscape) {
        control_ = Control::Escape;
    } else if (SevenSegment()) {
        TakeSevenSegment(byte);
    } else {
        TakeTwoLine(byte);
    }
}

void CustomerDisplay::TakeControl(uint8_t byte, const ReceiptSummary& summary) {
    if (control_ == Control::Amount) {
        if (byte != '\n') {
            if (amount_.size() < kLongestAmount) amount_ += static_cast<char>(byte);
            return;
        }
        ShowAmount(amountKind_ == '2' ? "=" : "", amount_);
        control_ = Control::None;
        return;
    }
    control_ = Control::None;
    switch (byte) {
        case '0': Clear(); break;
        case '1':
        case '2':
            control_ = Control::Amount;
            amountKind_ = static_cast<char>(byte);
            amount_.clear();
            break;
        case '3': ShowAmount("=", DisplayAmount(summary.total)); break;
        default: break;  // no such sequence: ignored
    }
}

// A point or comma lights the point of the position before it, unless it follows another
// point; at the start of a line there is no position before it and it is lost.
void CustomerDisplay::TakeSevenSegment(uint8_t byte) {
    if (byte == '\n') {
        EndLine();
    } else if (byte == '\r') {
        col_ = 0;
        lastWasPoint_ = false;
    } else if (IsPoint(byte)) {
        if (col_ > 0 && lastWasPoint_) Put(0);  // a point of its own, on a blank position
        if (col_ > 0 && col_ <= width_) cells_[At(row_, col_ - 1)].point = true;
        lastWasPoint_ = true;
    } else if (byte >= 0x20) {
        Put(Glyph(byte));
        lastWasPoint_ = false;
    }
}

void CustomerDisplay::TakeTwoLine(uint8_t byte) {
    switch (byte) {
        case '\r':
            row_ = 0;
            col_ = 0;
            return;
        case kModeWide:
        case kModeNormal: return;
        case kClearOrEscape: Clear(); return;
        case '\n': EndLine(); return;
        case kFormFeed:
            row_ = 1;
            col_ = 0;
            return;
        default: break;
    }
    if ((byte >= 0x01 && byte <= 0x09) || byte == 0xFF) {
        Put(kFullBlock);  // the display's own signs
    } else if (byte >= 0x20) {
        Put(Glyph(byte));
    }
}

// Characters past the end of the line are lost.
void CustomerDisplay::Put(char glyph) {
    if (col_ < width_) cells_[At(row_, col_)] = Cell{glyph, false};
    ++col_;
}

void CustomerDisplay::EndLine() {
    for (int col = col_; col < width_; ++col) cells_[At(row_, col)] = {};
    col_ = 0;
    row_ = (row_ + 1) % rows_;
    lastWasPoint_ = false;
}

void CustomerDisplay::Clear() {
    std::fill(cells_.begin(), cells_.end(), Cell{});
    row_ = 0;
    col_ = 0;
    lastWasPoint_ = false;
}

void CustomerDisplay::ShowAmount(const std::string& prefix, const std::string& amount) {
    Clear();
    for (const char c : amount) TakeSevenSegment(static_cast<uint8_t>(c));
    const int used = std::min(col_, width_);
    std::rotate(cells_.begin(), cells_.begin() + used, cells_.begin() + width_);
    const int free = width_ - used;
    for (int i = 0; i < free && i < static_cast<int>(prefix.size()); ++i) {
        cells_[static_cast<size_t>(i)] = Cell{Glyph(static_cast<uint8_t>(prefix[i])), false};
    }
    col_ = 0;
    lastWasPoint_ = false;
}

void CustomerDisplay::ShowTwoLineSummary(const ReceiptSummary& summary) {
    Clear();
    const auto line = [this](const std::string& label, int64_t grosze) {
        const std::string amount = DisplayAmount(grosze);
        const size_t used = label.size() + amount.size();
        return label + std::string(used < static_cast<size_t>(width_) ? width_ - used : 1, ' ') +
               amount;
    };
    WriteAt(0, 0, line("SUMA", summary.total));
    if (summary.change > 0) WriteAt(1, 0, line("RESZTA", summary.change));
}

void CustomerDisplay::WriteAt(int row, int col, const std::string& text) {
    row_ = row;
    col_ = col;
    for (const char c : text) Put(Glyph(static_cast<uint8_t>(c)));
    row_ = 0;
    col_ = 0;
}

char CustomerDisplay::Glyph(uint8_t byte) const {
    const bool draws = SevenSegment() ? SevenSegmentsDraw(byte) : TwoLineFontDraws(byte);
    return draws ? static_cast<char>(byte) : ' ';
}

void CustomerDisplay::Notify() {
    std::vector<std::string> lines = Lines();
    if (lines == shown_) return;
    shown_ = std::move(lines);
    if (listener_) listener_(shown_);
}

}  // namespace tarn::sim
