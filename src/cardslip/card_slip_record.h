// The card-terminal slips: the record of form "80" that a card payment, its reversal or its
// offline registration prints, built from the terminal's data as the application hands it over.
#pragma once

#include <cstdint>
#include <string>

#include "link/shared_commands.h"

namespace tarn {

enum class CardSlipKind { Transaction, Reversal, Offline };

// Numbers below 0 leave their line out where the slip says so; marks carry their character in
// the low byte. Texts may be null.
struct CardSlip {
    int32_t status = 0;  // 1 done, 2 refused, 3 not possible, 4 interrupted
    int32_t kind = 0;    // 1 sale (amount on "71"), 2 credit (amount on "81")
    int32_t variant = 0;
    int32_t verification = 0;
    const char* text10 = nullptr;
    const char* text70 = nullptr;
    const char* text80 = nullptr;
    int32_t number30 = -1;
    int32_t numberP = -1;
    int32_t numberS = -1;
    int32_t number40 = 0;
    int32_t number50 = -1;
    const char* text01 = nullptr;
    const char* textK = nullptr;
    int32_t mark1 = 0;
    const char* text21 = nullptr;
    const char* text31 = nullptr;
    int32_t amount = 0;
    int32_t cashback = 0;
    int32_t mark2 = 0;
    const char* text51 = nullptr;
    int32_t number51 = 0;
    int32_t responseCode = 0;
    int32_t extraLines = 0;
};

// 's', "80", the lines and ESC 'Q'. `width51` is the width of text51 on line "51" (the offline
// registration always uses 19).
std::string CardSlipRecord(const CardSlip& slip, CardSlipKind kind, int width51);

// The record as one field, copied unchanged; its 's' is the command byte. Not answered.
class CRequestCardSlip : public CRequestFormRecord {
public:
    explicit CRequestCardSlip(const std::string& record) { AppendWhole(record); }
};

}  // namespace tarn
