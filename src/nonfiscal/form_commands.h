// The form records of the pay-in and pay-out receipts, the order and the return. None of
// them is answered.
#pragma once

#include "link/shared_commands.h"

namespace tarn {

// Form "20" (pay-in, kind 1) or "30" (pay-out, kind 0): lines "10", "20", "30" (pay-in only)
// and "40", each text right-aligned in 20, then "70". 99 bytes for a pay-in, 76 for a pay-out.
class CRequestPayInOut : public CRequestFormRecord {
public:
    static constexpr int kPayOut = 0;
    static constexpr int kPayIn = 1;
    CRequestPayInOut(int kind, const char* text1, const char* text2, const char* text3,
                     const char* text4);
};

// Opens form "70" and leaves it open, not acknowledged: text2 on line "10" (27), text1 on line "20"
// (33), both right-aligned, then "30". 71 bytes.
class CRequestBeginOrder : public CRequestFormRecord {
public:
    CRequestBeginOrder(const char* text1, const char* text2);
};

// A raw piece of the open order, without 's': "40" text1 (33); when text2 is not empty "50" text2
// (27) and "60" text3 (33); then "70".
class CRequestLineOrder : public CRequestFormRecord {
public:
    CRequestLineOrder(const char* text1, const char* text2, const char* text3);
};

// The order's last raw piece: "90", ESC 'Q'.
class CRequestEndOrder : public CRequestFormRecord {
public:
    CRequestEndOrder();
};

// Form "51", the whole return slip with its one item. Line "40" holds the quantity whole,
// " = -" while the quantity is shorter than 26, and the total left-aligned in the rest of 30
// when both fit there.
class CRequestLineReturn : public CRequestFormRecord {
public:
    CRequestLineReturn(const char* returnNumber, const char* personName, const char* name,
                       const char* quantity, const char* total);
};

}  // namespace tarn
