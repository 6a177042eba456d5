// The printer's status bytes 0 to 3 ('[', 'T', 'U', 'V') bit by bit, and the walk over a table
// of rules that turns them into a detail code. The bits named kFault… are faults whose meaning
// lies with the printer: the tables map them to codes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/detail_codes.h"

namespace tarn {

namespace status0 {
constexpr uint8_t kInitialised = 0x01;
constexpr uint8_t kInOrder = 0x02;  // with kOutOfOrder clear
constexpr uint8_t kOutOfOrder = 0x04;
constexpr uint8_t kMode = 0x08;   // what mfStatMode reports
constexpr int kVersionShift = 4;  // bits 4 to 7: the version of printers below type 8
}  // namespace status0

namespace status1 {
constexpr uint8_t kFault01 = 0x01;
constexpr uint8_t kDocumentLeftOpen = 0x02;  // cleared by 'Q' and '#'
constexpr uint8_t kDayMustClose = 0x08;
constexpr uint8_t kFault10 = 0x10;
constexpr uint8_t kFault20 = 0x20;
constexpr uint8_t kFault40 = 0x40;
constexpr uint8_t kFault80 = 0x80;
}  // namespace status1

namespace status2 {
constexpr uint8_t kBusy = 0x01;
constexpr uint8_t kNoPaper = 0x02;
constexpr uint8_t kFault04 = 0x04;
constexpr uint8_t kFault08 = 0x08;
constexpr uint8_t kFault10 = 0x10;
constexpr uint8_t kFault20 = 0x20;
constexpr uint8_t kPaperOut = 0x40;  // no paper too
constexpr uint8_t kFault80 = 0x80;
}  // namespace status2

namespace status3 {
// The customer display's type: 0x01 adds 1, 0x02 adds 3, 0x04 adds 2.
constexpr uint8_t kDisplay1 = 0x01;
constexpr uint8_t kDisplay3 = 0x02;
constexpr uint8_t kDisplay2 = 0x04;
constexpr uint8_t kFirstDrawer = 0x08;  // the second and third above it; clear when open
constexpr uint8_t kFiscalFault = 0x80;
}  // namespace status3

struct StatusRule {
    int byteIndex;
    uint8_t bit;
    bool whenSet;
    int code;
};

// The code of the first rule that holds, or `none` when no rule does. A byte that could not be
// read (-1) leaves the cause unknown (514) when a rule needs it before one holds.
template <size_t N>
int FirstRuleCode(const StatusRule (&rules)[N], const int* status, int none) {
    for (const StatusRule& rule : rules) {
        const int byte = status[rule.byteIndex];
        if (byte < 0) return kCodeCommunication;
        if (((byte & rule.bit) != 0) == rule.whenSet) return rule.code;
    }
    return none;
}

}  // namespace tarn
