// The library's fixed texts by index: outcome and error texts (100-104, 200-241) and
// document labels (300-325, 400-449, 500-504), in code page 852. Each entry is a slot of fixed
// width whose last byte stays 0; the application may replace any of them.
#pragma once

#include <vector>

namespace tarn {

class TextTable {
public:
    TextTable();

    // The entry's text; "***" for an index outside the table.
    const char* Text(int index) const;
    // The longest text an entry holds (38 or 25); 0 for an index outside the table.
    int MaxLength(int index) const;
    // Replaces an entry, cut to its longest text. False for an index outside the table.
    bool Define(int index, const char* text);

private:
    struct Range {
        int first;
        int last;
        int slotSize;
        std::vector<char> slots;
    };
    const Range* Find(int index) const;
    char* Slot(int index);

    std::vector<Range> ranges_;
};

}  // namespace tarn
