// The customer display on the printer's display port, as a customer sees it.
//
// Type 1: one line of 9 seven-segment positions; a point or comma lights the point of the
// position before it. Type 2: the same hardware, which also takes control sequences after
// 0x0B: '0' clears, '1' amount LF shows a sale line's value, '2' amount LF a total, '3' the
// receipt's summary. Type 3: two lines of 20 characters; CR goes home, 0x0B clears, LF ends
// a line, FF goes to the second line, 0x0E and 0x12 select modes the view does not show.
// Type 0 (or any other): no display.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarn::sim {

// What the display shows when asked for the receipt's summary.
struct ReceiptSummary {
    int64_t total = 0;   // grosze
    int64_t change = 0;  // grosze; 0 when nothing is to be given back
};

class CustomerDisplay {
public:
    explicit CustomerDisplay(int type);

    // Text of the display command (code page 852, 0xFF already restored).
    void Show(const std::string& text, const ReceiptSummary& summary);
    void ShowSummary(const ReceiptSummary& summary);
    // One line for types 1 and 2 (9 positions, a lit point after its position), two for
    // type 3, none without a display; UTF-8.
    std::vector<std::string> Lines() const;
    // Called with the new lines whenever what the display shows changes.
    void OnChange(std::function<void(const std::vector<std::string>&)> listener) {
        listener_ = std::move(listener);
    }

private:
    struct Cell {
        char glyph = ' ';  // code page 852; 0 for a position that shows only its point
        bool point = false;
    };
    enum class Control { None, Escape, Amount };

    bool Present() const { return width_ > 0; }
    bool SevenSegment() const { return type_ == 1 || type_ == 2; }
    void Take(uint8_t byte, const ReceiptSummary& summary);
    void TakeControl(uint8_t byte, const ReceiptSummary& summary);
    void TakeSevenSegment(uint8_t byte);
    void TakeTwoLine(uint8_t byte);
    void Put(char glyph);
    void EndLine();
    void Clear();
    // Right-aligned in the first line, after `prefix` at its left.
    void ShowAmount(const std::string& prefix, const std::string& amount);
    void ShowTwoLineSummary(const ReceiptSummary& summary);
    void WriteAt(int row, int col, const std::string& text);
    char Glyph(uint8_t byte) const;
    void Notify();
    // The cell of a row and column (a row past the last: the number of cells).
    size_t At(int row, int col) const {
        return static_cast<size_t>(row) * static_cast<size_t>(width_) + static_cast<size_t>(col);
    }

    int type_;
    int width_ = 0;
    int rows_ = 0;
    std::vector<Cell> cells_;
    int row_ = 0;
    int col_ = 0;
    bool lastWasPoint_ = false;
    Control control_ = Control::None;
    char amountKind_ = 0;
    std::string amount_;
    std::vector<std::string> shown_;
    std::function<void(const std::vector<std::string>&)> listener_;
};

// Grosze as the printer writes them for the display: 12,50 (no thousands separators).
std::string DisplayAmount(int64_t grosze);

}  // namespace tarn::sim
