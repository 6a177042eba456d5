// The customer display on the printer: its types, and fitting texts to its positions.
#pragma once

#include <cstdint>
#include <string>

namespace tarn {

struct DisplayType {
    const char* name;
    int width;  // positions per line; -1 for a display of no listed type
    int lines;
    int pointMode;  // 0: a point or comma lights the position before it; -1: every character counts
    const std::string* characters;
};

// Types 1 ("ZR350 9"), 2 ("ZR350 9+") and 3 ("ZR350 2*20"); any other value (0, no display, or
// two bits at once) is a display of no listed type.
const DisplayType& DisplayOf(int type);

// The positions a text takes.
int Positions(const std::string& text, const DisplayType& display);
// The text made to take exactly `width` positions in the display's characters.
std::string FitText(const std::string& given, const DisplayType& display, int type);
// An amount as the display shows it: whole part, a point, two digits.
std::string DisplayAmount(int64_t grosze);

}  // namespace tarn
