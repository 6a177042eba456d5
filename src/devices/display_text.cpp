#include <cstdio>

#include "devices/display.h"
#include "text/cp852.h"

namespace tarn {

namespace {

// Set A: space, digits, - = _ , . and the letters without K, M, V, W and X, with the Polish ones.
std::string SetA() {
    std::string set = " 0123456789-=_,.";
    const std::string upper = "ABCDEFGHIJLNOPQRSTUYZ" + Utf8ToCp852("ĄĆĘŁŃÓŚŹŻ");
    const std::string lower = "abcdefghijlnopqrstuyz" + Utf8ToCp852("ąćęłńóśźż");
    return set + upper + lower;
}

// Set B: control bytes 1-9 and 0xFF, punctuation, digits, = _, the letters without X.
std::string SetB() {
    std::string set;
    for (char c = 1; c <= 9; ++c) set += c;
    set += '\xFF';
    set += " !\"#$%&'()*+,-:./0123456789=_";
    set += "ABCDEFGHIJKLMNOPQRSTUVWYZ" + Utf8ToCp852("ĄĆĘŁŃÓŚŹŻ");
    set += "abcdefghijklmnopqrstuvwyz" + Utf8ToCp852("ąćęłńóśźż");
    return set;
}

const std::string kSetA = SetA();
const std::string kSetB = SetB();
const std::string kUnknown = "????";

const DisplayType kTypes[] = {
    {"????", -1, -1, -1, &kUnknown},
    {"ZR350 9", 9, 1, 0, &kSetA},
    {"ZR350 9+", 9, 1, 0, &kSetA},
    {"ZR350 2*20", 20, 2, -1, &kSetB},
};

bool IsPoint(char c) {
    return c == ',' || c == '.';
}

}  // namespace

const DisplayType& DisplayOf(int type) {
    return type >= 1 && type <= 3 ? kTypes[type] : kTypes[0];
}

int Positions(const std::string& text, const DisplayType& display) {
    int positions = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool lightsThePositionBefore =
            display.pointMode == 0 && IsPoint(text[i]) && (i == 0 || !IsPoint(text[i - 1]));
        if (!lightsThePositionBefore) ++positions;
    }
    return positions;
}

std::string FitText(const std::string& given, const DisplayType& display, int type) {
    std::string text = given;
    if (type == 1 || type == 2) {
        if (!text.empty() && text.front() == '.') text.insert(text.begin(), '_');
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    while (!text.empty() && Positions(text, display) > display.width) text.pop_back();
    while (Positions(text, display) < display.width) text += ' ';
    for (char& c : text) {
        if (display.characters->find(c) == std::string::npos) c = ' ';
    }
    return text;
}

std::string DisplayAmount(int64_t grosze) {
    const uint64_t magnitude =
        grosze < 0 ? 0 - static_cast<uint64_t>(grosze) : static_cast<uint64_t>(grosze);
    char text[32];
    std::snprintf(text, sizeof text, "%s%llu.%02llu", grosze < 0 ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 100),
                  static_cast<unsigned long long>(magnitude % 100));
    return text;
}

}  // namespace tarn
