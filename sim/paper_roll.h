// The printer's paper: printed lines in code page 852, readable as UTF-8.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tarn::sim {

class PaperRoll {
public:
    static constexpr int kWidth = 40;

    // Prints one line (code page 852 bytes), cut to the paper's width.
    void Print(const std::string& cp852Line);
    // Prints a UTF-8 text line (the simulator's own texts).
    void PrintText(const std::string& utf8Line);
    void PrintCentred(const std::string& utf8Line);
    // A label on the left and a value on the right of one line, or of two (as PrintColumns).
    void PrintPair(const std::string& utf8Label, const std::string& utf8Value);
    // The same in code page 852; when the two do not fit one line, the value goes on a line
    // of its own, at the right.
    void PrintColumns(const std::string& cp852Left, const std::string& cp852Right);
    void Rule();
    void Cut();

    const std::vector<std::string>& Lines() const { return lines_; }
    std::string AsUtf8() const;
    // Called with each printed line, as UTF-8 (tarn-sim shows the roll as it prints).
    void OnLine(std::function<void(const std::string&)> listener) {
        listener_ = std::move(listener);
    }

private:
    std::vector<std::string> lines_;
    std::function<void(const std::string&)> listener_;
};

}  // namespace tarn::sim
