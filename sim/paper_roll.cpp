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

void PaperRoll::PrintPair(const std::string& utf8Label, const std::string& utf8Value) {
    const std::string label = Utf8ToCp852(utf8Label);
    const std::string value = Utf8ToCp852(utf8Value);
    const size_t used = label.size() + value.size();
    Print(label + std::string(used < kWidth ? kWidth - used : 1, ' ') + value);
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
