// What the library keeps of the non-fiscal documents between calls: the open return's number
// and person, and the shift settlement's figures (kept after the settlement closes, until the
// next one opens). Every text is zero-terminated code page 852, cut to its buffer.
#pragma once

#include <cstdint>

namespace tarn {

struct ReturnState {
    char number[28] = {};
    char personName[26] = {};
    int32_t lines = 0;  // items printed in the open return; a return holds one
};

struct SettlementRow {
    char name[31] = {};
    char inTill[21] = {};
    char counted[21] = {};
    char difference[21] = {};
};

struct ShiftSettlement {
    static constexpr int kMostRows = 10;

    char shiftNumber[28] = {};
    char startDate[20] = {};
    char endDate[24] = {};
    char personName[28] = {};
    // Set by the cash form's line; the detail lines that follow belong to cash only then.
    bool cashSection = false;
    char cashCounted[26] = {};
    char cashInTill[28] = {};
    char cashDifference[28] = {};
    char salesTransactions[28] = {};  // kept, not printed
    char payIns[28] = {};
    char payOuts[28] = {};             // without its minus sign
    char packagingTakenBack[28] = {};  // without its minus sign
    char packagingIssued[26] = {};
    char fiscalSales[28] = {};
    SettlementRow rows[kMostRows];
    int32_t rowCount = 0;
};

// Copies `text` (null is empty) into a buffer of `size` bytes, cut to fit, zero-terminated.
void CopyCut(char* buffer, int size, const char* text);
template <int N>
void CopyCut(char (&buffer)[N], const char* text) {
    CopyCut(buffer, N, text);
}

}  // namespace tarn
