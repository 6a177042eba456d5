#include "paper_roll.h"

#include "text/cp852.h"

namespace tarn::sim {

void PaperRoll::Print(const std::string& cp852Line) {
    lines_.push_back(cp852Line.substr(0, kWidth));
    if (listener_) listener_(Cp852ToUtf8(lines_.back()));
}

void PaperRoll::PrintText(const std::string& utf8Line) {
    Print(Utf8ToCp852(utf8Line));
}

void PaperRoll::PrintCentred(const std::string& utf8Line) {
    const std::string line = Utf8ToCp852(utf8Line);
    const size_t pad = line.size() < kWidth ? (kWidth - line.size()) / 2 : 0;
    Print(std::string(pad, ' ') + line);
}

// A pair that leaves no gap on one line goes on two, so that no character of it is cut off.
void PaperRoll::PrintPair(const std::string& utf8Label, const std::string& utf8Value) {
    PrintColumns(Utf8ToCp852(utf8Label), Utf8ToCp852(utf8Value));
}

void PaperRoll::PrintColumns(const std::string& cp852Left, const std::string& cp852Right) {
    const size_t used = cp852Left.size() + cp852Right.size();
    if (used < kWidth) {
        Print(cp852Left + std::string(kWidth - used, ' ') + cp852Right);
        return;
    }
    Print(cp852Left);
    const size_t right = cp852Right.size();
    Print(std::string(right < kWidth ? kWidth - right : 0, ' ') + cp852Right);
}

void PaperRoll::Rule() {
    Print(std::string(kWidth, '-'));
}

void PaperRoll::Cut() {
    Print("");
    Print(std::string(kWidth, '='));
}

std::string PaperRoll::AsUtf8() const {
    std::string text;
    for (const std::string& line : lines_) text += Cp852ToUtf8(line) + "\n";
    return text;
}

}  // namespace tarn::sim
