// The card-terminal slips: the record a payment, a reversal and an offline registration send
// for each status, kind and variant, and on each printer.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "card_slips.h"
#include "library_test.h"

namespace tarn {
namespace {

using test::Eft;
using test::Frame;
using test::Offline;
using test::Reversal;
using test::Transaction;
using CardSlipTest = test::StartedLibraryTest;

std::string Right(const std::string& text, size_t width) {
    return std::string(width - text.size(), ' ') + text;
}
std::string Line(const char* code, const std::string& text, size_t width = 0) {
    return code + (text.size() < width ? Right(text, width) : text) + "\n";
}
std::string Status(const char* code, size_t leading, const std::string& text) {
    return Line(code,
                std::string(leading, ' ') + text + std::string(30 - leading - text.size(), ' '));
}

const std::string kHead = "\x1Bs80" + Line("10", "Terminal 1", 22) + "20" + Line("30", "30", 22) +
                          Line("40", "40", 33) + Line("50", "50", 26);
const std::string kCardNumber = Line("70", "VISA", 34) + Line("80", "4111********1111", 34);
const std::string kAnswered = kCardNumber + Line("90", "0        S: 123   P: " + Right("7", 14));
const std::string kCard = "11" + Line("21", "t21", 32);
const std::string kLine51 = Line("51", "t51" + std::string(13, ' ') + " (51)") + "61";
const std::string kAmount = Line("71", "PLN 12.34", 30);
const std::string kCashback = Line("81", "CBK: 0.01", 31) + Line("02", "CBK = kwota cashbacku", 31);
const std::string kPin = Status("12", 0, "Transakcja potwierdzona") + Status("22", 6, "kodem PIN");
const std::string kRegistered = Line("01", "t01", 31);
const std::string kOfflineTitle = Status("02", 5, "REJESTRACJA") + "12 \n";
const std::string kReversalTitle = Status("02", 4, "UNIEWA\xBDNIENIE") + "12 \n";
const std::string kEnd = "\x1BQ";

// Each slip for the default data changed by `set`: the whole record, or the bytes that show the
// change (a whole line or the record's tail).
TEST_F(CardSlipTest, EachSlipForItsData) {
    const std::string k31 = Line("31", "t31" + Right(" K: K1 (C)", 26)) + "41";
    const std::string k31Plain = Line("31", "t31" + Right(" (C)", 26)) + "41";
    void (*const longText51)(Eft&) = [](Eft& e) { e.text51 = "Numer autoryzacji karty"; };
    const struct {
        int (*print)(const Eft&);
        void (*set)(Eft&);
        std::string shown;
        int type = 8, version = 2;
    } rows[] = {
        // clang-format off
        {Transaction,
         [](Eft& e) { e.variant = 1, e.verification = 2, e.extraLines = 1, e.cashback = 1; },
         kHead + kAnswered + kRegistered + kCard + Line("31", "t31" + Right(" K: K1 (C) (D)", 26)) +
             "41" + kLine51 + kAmount + kCashback + "32425262" + "72132333" + kEnd},
        {Transaction, [](Eft& e) { e.verification = 3; },
         kHead + kAnswered + kCard + k31 + kLine51 + kAmount + kPin + "3242" + kEnd},
        {Transaction, [](Eft& e) { e.status = 2; }, Status("12", 7, "ODMOWA") + kEnd},  // no code
        {Transaction, [](Eft& e) { e.status = 2, e.responseCode = 51; },
         kHead + kAnswered + kCard + k31 + kAmount + Status("12", 7, "ODMOWA") +
             Status("22", 1, "Kod odpowiedzi: 51") + kEnd},
        {Transaction, [](Eft& e) { e.status = 3; },
         kHead + "11" + kAmount + Status("12", 0, "OPERACJA NIEWYKONALNA") + kEnd},
        {Transaction, [](Eft& e) { e.status = 4; },
         kHead + "11" + kAmount + Status("12", 1, "OPERACJA PRZERWANA") + kEnd},
        {Transaction, [](Eft& e) { e.status = 5; }, kHead + "11" + kAmount + kEnd},
        {Reversal, [](Eft&) {},
         kHead + kAnswered + kCard + k31Plain + kLine51 + kAmount + kReversalTitle +
             Status("22", 0, "Transakcja uniewa\xBEniona") + kEnd},
        {Reversal, [](Eft& e) { e.status = 0; }, kReversalTitle + kEnd},  // no status line
        {Offline, [](Eft& e) { e.status = 4; }, kHead + kRegistered + "11" + kAmount +
             kOfflineTitle + Status("22", 1, "OPERACJA PRZERWANA") + kEnd},
        {Offline, [](Eft& e) { e.status = 5; },
         kHead + kRegistered + "11" + kAmount + kOfflineTitle + kEnd},
        // The amount lines by kind and cashback, the accepted sale's ending by variant,
        // verification and extra lines.
        {Transaction, [](Eft& e) { e.cashback = -5, e.verification = 2, e.extraLines = 1; },
         "61" + kAmount + "32425262" + kEnd},
        {Transaction, [](Eft& e) { e.variant = 1, e.verification = 2; },
         "61" + kAmount + "3242721323" + kEnd},
        {Transaction,
         [](Eft& e) { e.kind = 2, e.cashback = 250, e.variant = 1, e.verification = 2; },
         "61" + Line("81", "PLN 12.34", 31) + "721323" + kEnd},
        {Transaction, [](Eft& e) { e.kind = 3, e.verification = 3; }, "61" + kPin + kEnd},
        {Reversal, [](Eft& e) { e.kind = 2, e.variant = 1, e.cashback = 100; },
         kRegistered + kCard + k31Plain + kLine51 + Line("81", "PLN 12.34", 31) + kReversalTitle},
        // Line "31": text31 in 13 (a longer one keeps its end), textK cut to 39, the marks' low bytes, the second mark
        // ("-" for none) when accepted in variant 1, right-aligned in what 29 leaves.
        {Transaction, [](Eft& e) { e.variant = 1, e.textK = ""; },
         Line("31", "t31" + Right("  (C) (D)", 26))},
        {Transaction, [](Eft& e) { e.variant = 1, e.mark1 = 0, e.mark2 = 0x100; },
         Line("31", "t31" + Right(" K: K1 () (-)", 26))},
        {Transaction, [](Eft& e) { e.variant = 1, e.status = 2, e.mark1 = 0x143; },
         Line("31", "t31" + Right(" K: K1 (C)", 26))},
        {Transaction,
         [](Eft& e) { e.variant = 1, e.textK = "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk!"; },
         Line("31", "t31 K: " + std::string(39, 'k') + " (C) (D)")},
        {Transaction, [](Eft& e) { e.variant = 1, e.text31 = "**** **** **** 1234"; },
         Line("31", "*** **** 1234 K: K1 (C) (D)")},
        {Reversal, [](Eft& e) { e.text31 = "4111 **** **** 1234"; },
         Line("31", "*** **** 1234" + Right(" (C)", 10))},
        {Transaction, [](Eft& e) { e.variant = 1, e.text31 = nullptr, e.textK = nullptr; },
         Line("31", "  (C) (D)", 29)},
        // Numbers below 0 leave their line, or their half of line "90", out.
        {Transaction,
         [](Eft& e) { e.numberS = 1234567, e.numberP = -1, e.number30 = -1, e.number40 = -5,
                      e.number50 = -1; },
         "20" + Line("40", "-5", 33) + kCardNumber + Line("90", "0        S: 123456")},
        {Transaction, [](Eft& e) { e.numberS = -1, e.numberP = 0; },
         Line("90", "0" + Right("P: ", 20) + Right("0", 14)) + "11"},
        {Transaction, [](Eft& e) { e.numberS = 0, e.numberP = -1, e.number30 = 0, e.number50 = 0; },
         "20" + Line("30", "0", 22) + Line("40", "40", 33) + Line("50", "0", 26) +
             kCardNumber + Line("90", "0        S: 0     ") + "11"},
        {Transaction, [](Eft& e) { e.numberS = -1, e.numberP = -1; },
         Line("80", "4111********1111", 34) + "11"},
        {Transaction, [](Eft& e) { e.text51 = ""; }, "41" + kAmount},
        // text51 in 16 on printers with the non-fiscal forms, else (and always on the offline
        // registration) in 19; the reversal as the payment.
        {Reversal, longText51, Line("51", "Numer autoryzacj (51)"), 4, 4},
        {Transaction, longText51, Line("51", "Numer autoryzacji k (51)"), 4, 3},
        // The offline registration: no numberS.
        {Offline, [](Eft&) {},
         kHead + kCardNumber + Line("90", "0" + Right("P: ", 20) + Right("7", 14)) + kRegistered +
             kCard + k31Plain + Line("51", "t51" + std::string(16, ' ') + " (51)") + "61" +
             kAmount + kOfflineTitle + Status("22", 0, "Transakcja zarejestrowana") + kEnd},
        // clang-format on
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        StartOn(rows[i].type, rows[i].version);
        Eft e;
        rows[i].set(e);
        ASSERT_EQ(test::Coded(rows[i].print(e)), test::Outcome(0, 0));
        const std::vector<Frame> records = Of(Sent(), 's');
        ASSERT_EQ(records.size(), 1u);
        EXPECT_NE(records[0].find(rows[i].shown), std::string::npos) << records[0];
        EXPECT_FALSE(DocumentOpen());
    }
}

}  // namespace
}  // namespace tarn
