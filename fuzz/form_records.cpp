// The form records built from an application's texts and numbers: whatever they hold, a record
// keeps its layout (fixed lengths stay fixed, one LF per item) and holds no ESC but its closing
// ESC 'Q', so the printer can never read part of a text as a command.
#include <algorithm>
#include <cstdint>
#include <string>

#include "cardslip/card_slip_record.h"
#include "fuzz_input.h"
#include "nonfiscal/form_commands.h"
#include "nonfiscal/nonfiscal_state.h"
#include "nonfiscal/settlement_record.h"

namespace tarn::fuzz {
namespace {

constexpr char kEsc = 0x1B;

std::string BodyOf(const CRequest& request) {
    return std::string(reinterpret_cast<const char*>(request.Body()),
                       static_cast<size_t>(request.Length()));
}

size_t Count(const std::string& bytes, char c) {
    return static_cast<size_t>(std::count(bytes.begin(), bytes.end(), c));
}

// ESC appears only as the closing ESC 'Q' (and, for a record carrying its own ESC, first).
void RequireOnlyClosingEsc(const std::string& record, bool leadingEsc) {
    Require(record.size() >= 2 && record.compare(record.size() - 2, 2, "\x1BQ") == 0);
    Require(Count(record, kEsc) == (leadingEsc ? 2u : 1u));
    if (leadingEsc) Require(record[0] == kEsc);
}

void PayInOut(FuzzInput& in) {
    const std::string t1 = in.Text(), t2 = in.Text(), t3 = in.Text(), t4 = in.Text();
    const CRequestPayInOut payIn(CRequestPayInOut::kPayIn, t1.c_str(), t2.c_str(), t3.c_str(),
                                 t4.c_str());
    const CRequestPayInOut payOut(CRequestPayInOut::kPayOut, t1.c_str(), t2.c_str(), t3.c_str(),
                                  t4.c_str());
    Require(payIn.Length() == 99 && Count(BodyOf(payIn), '\n') == 4);
    Require(payOut.Length() == 76 && Count(BodyOf(payOut), '\n') == 3);
    RequireOnlyClosingEsc(BodyOf(payIn), false);
    RequireOnlyClosingEsc(BodyOf(payOut), false);
}

void Order(FuzzInput& in) {
    const std::string t1 = in.Text(), t2 = in.Text(), t3 = in.Text();
    const CRequestBeginOrder begin(t1.c_str(), t2.c_str());
    Require(begin.Length() == 71 && Count(BodyOf(begin), '\n') == 2 &&
            Count(BodyOf(begin), kEsc) == 0);
    const CRequestLineOrder line(t1.c_str(), t2.c_str(), t3.c_str());
    Require(Count(BodyOf(line), '\n') == (t2.empty() ? 1u : 3u) && Count(BodyOf(line), kEsc) == 0);
}

void Return(FuzzInput& in) {
    const std::string number = in.Text(), person = in.Text(), name = in.Text(),
                      quantity = in.Text(), total = in.Text();
    const CRequestLineReturn record(number.c_str(), person.c_str(), name.c_str(), quantity.c_str(),
                                    total.c_str());
    if (!record.Overflowed()) RequireOnlyClosingEsc(BodyOf(record), false);
}

void CardSlips(FuzzInput& in) {
    const std::string texts[9] = {in.Text(), in.Text(), in.Text(), in.Text(), in.Text(),
                                  in.Text(), in.Text(), in.Text(), in.Text()};
    CardSlip slip;
    slip.status = in.Int32();
    slip.kind = in.Int32();
    slip.variant = in.Int32();
    slip.verification = in.Int32();
    slip.number30 = in.Int32();
    slip.numberP = in.Int32();
    slip.numberS = in.Int32();
    slip.number40 = in.Int32();
    slip.number50 = in.Int32();
    slip.mark1 = in.Int32();
    slip.amount = in.Int32();
    slip.cashback = in.Int32();
    slip.mark2 = in.Int32();
    slip.number51 = in.Int32();
    slip.responseCode = in.Int32();
    slip.extraLines = in.Int32();
    const char** fields[] = {&slip.text10, &slip.text70, &slip.text80, &slip.text01,
                             &slip.textK,  &slip.text21, &slip.text31, &slip.text51};
    const uint8_t nulls = in.Byte();
    for (size_t i = 0; i < 8; ++i) *fields[i] = (nulls >> i & 1) != 0 ? nullptr : texts[i].c_str();
    const int width51 = in.Int32() % 64;
    for (const CardSlipKind kind :
         {CardSlipKind::Transaction, CardSlipKind::Reversal, CardSlipKind::Offline}) {
        const std::string record = CardSlipRecord(slip, kind, width51);
        Require(record[0] == 's');
        RequireOnlyClosingEsc(record, false);
    }
}

void Settlement(FuzzInput& in) {
    ShiftSettlement s;
    auto fill = [&in](auto& field) { CopyCut(field, in.Text().c_str()); };
    fill(s.shiftNumber);
    fill(s.startDate);
    fill(s.endDate);
    fill(s.personName);
    fill(s.cashCounted);
    fill(s.cashInTill);
    fill(s.cashDifference);
    fill(s.salesTransactions);
    fill(s.payIns);
    fill(s.payOuts);
    fill(s.packagingTakenBack);
    fill(s.packagingIssued);
    fill(s.fiscalSales);
    s.cashSection = (in.Byte() & 1) != 0;
    s.rowCount = in.Byte() % (ShiftSettlement::kMostRows + 1);
    for (SettlementRow& row : s.rows) {
        fill(row.name);
        fill(row.inTill);
        fill(row.counted);
        fill(row.difference);
    }
    const std::string record = ShiftSettlementRecord(s);
    Require(record.size() < static_cast<size_t>(CRequest::kBodySize));
    RequireOnlyClosingEsc(record, true);
}

}  // namespace
}  // namespace tarn::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarn::fuzz;
    FuzzInput input(data, size);
    switch (input.Byte() % 5) {
        case 0: PayInOut(input); break;
        case 1: Order(input); break;
        case 2: Return(input); break;
        case 3: CardSlips(input); break;
        default: Settlement(input); break;
    }
    return 0;
}
