// The card-terminal slips: which lines a payment, a reversal and an offline registration print
// for each status, kind and variant, and how they go to the printer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receipt_fixture.h"
#include "tarn/tarn.h"

namespace tarn {
namespace {

std::string Spaces(size_t n) {
    return std::string(n, ' ');
}
std::string Right(const std::string& text, size_t width) {
    return Spaces(width - text.size()) + text;
}
std::string Line(const char* code, const std::string& text) {
    return code + text + "\n";
}
// A status text centred in 30 behind `leading` spaces.
std::string Status(const char* code, size_t leading, const std::string& text) {
    return Line(code, Spaces(leading) + text + Spaces(30 - leading - text.size()));
}

struct Eft {
    int status = 1, kind = 1, variant = 0, verification = 0;
    const char *text10 = "Terminal 1", *text70 = "VISA", *text80 = "4111********1111";
    int number30 = 30, numberP = 7, numberS = 123, number40 = 40, number50 = 50;
    const char *text01 = "t01", *textK = "K1";
    int mark1 = 'C';
    const char *text21 = "t21", *text31 = "t31";
    int amount = 1234, cashback = 0, mark2 = 'D';
    const char* text51 = "t51";
    int number51 = 51, responseCode = 0, extraLines = 0;
};

int Transaction(const Eft& e) {
    return mfPrEFT_Transaction(0, e.status, e.kind, e.variant, e.verification, e.text10, e.text70,
                               e.text80, e.number30, e.numberP, e.numberS, e.number40, e.number50,
                               e.text01, 0, e.textK, e.mark1, e.text21, e.text31, e.amount,
                               e.cashback, 0, 0, 0, 0, 0, 0, 0, 0, e.mark2, e.text51, e.number51,
                               e.responseCode, 0, e.extraLines, 0, 0, 0, 0);
}
int Reversal(const Eft& e) {
    return mfPrEFT_Reversal(0, e.status, e.kind, e.variant, 0, e.text10, e.text70, e.text80,
                            e.number30, e.numberP, e.numberS, e.number40, e.number50, e.text01, 0,
                            e.mark1, e.text21, e.text31, e.amount, 0, e.text51, e.number51, 0, 0);
}
int Offline(const Eft& e) {
    return mfPrEFT_RegisterOffline(0, e.status, e.kind, 0, e.text10, e.text70, e.text80, e.number30,
                                   e.numberP, e.number40, e.number50, e.text01, 0, e.mark1,
                                   e.text21, e.text31, e.amount, e.text51, e.number51, 0);
}

// The pieces of the default slip, as the printer must receive them.
const std::string kHead = "\x1bs80" + Line("10", Right("Terminal 1", 22)) + "20" +
                          Line("30", Right("30", 22)) + Line("40", Right("40", 33)) +
                          Line("50", Right("50", 26));
const std::string kLine90 = Line("90", "0" + Spaces(8) + "S: 123   P: " + Right("7", 14));
const std::string kAnswered =
    Line("70", Right("VISA", 34)) + Line("80", Right("4111********1111", 34)) + kLine90;
const std::string kCardLines = Line("21", Right("t21", 32));
const std::string kLine51 = Line("51", "t51" + Spaces(13) + " (51)") + "61";
const std::string kAmount = Line("71", Right("PLN 12.34", 30));
const std::string kEnd = "\x1bQ";

class CardSlipTest : public test::FormRecordTest {
protected:
    // The text that follows `marker` (a line code and what comes right before it) up to LF.
    static std::string TextAfter(const std::string& record, const std::string& marker) {
        const size_t at = record.find(marker);
        if (at == std::string::npos) return "<none>";
        const size_t from = at + marker.size();
        return record.substr(from, record.find('\n', from) - from);
    }
};

TEST_F(CardSlipTest, AnAcceptedSaleWithCashbackAndEveryExtraLine) {
    Eft e;
    e.variant = 1;
    e.verification = 2;
    e.extraLines = 1;
    e.cashback = 500;
    ASSERT_EQ(Transaction(e), 0);
    EXPECT_EQ(Record(), kHead + kAnswered + Line("01", Right("t01", 31)) + "11" + kCardLines +
                            Line("31", "t31" + Right(" K: K1 (C) (D)", 26)) + "41" + kLine51 +
                            kAmount + Line("81", Right("CBK: 5.00", 31)) +
                            Line("02", Right("CBK = kwota cashbacku", 31)) + "32425262" +
                            "72132333" + kEnd);
    EXPECT_EQ(Lib().mfErrorL, 0);
    EXPECT_EQ(Lib().documentFlags, 0u);
}

using Setter = void (*)(Eft&);

TEST_F(CardSlipTest, EachStatusHasItsLines) {
    const std::string answered =
        kAnswered + "11" + kCardLines + Line("31", "t31" + Right(" K: K1 (C)", 26)) + "41";
    const struct {
        Setter set;
        std::string expected;
    } rows[] = {
        {[](Eft& e) { e.verification = 3; }, kHead + answered + kLine51 + kAmount +
                                                 Status("12", 0, "Transakcja potwierdzona") +
                                                 Status("22", 6, "kodem PIN") + "3242" + kEnd},
        {[](Eft&) {}, kHead + answered + kLine51 + kAmount + "3242" + kEnd},
        {[](Eft& e) { e.status = 2, e.responseCode = 51; },
         kHead + answered + kAmount + Status("12", 7, "ODMOWA") +
             Status("22", 1, "Kod odpowiedzi: 51") + kEnd},
        {[](Eft& e) { e.status = 2; },
         kHead + answered + kAmount + Status("12", 7, "ODMOWA") + kEnd},
        {[](Eft& e) { e.status = 3; },
         kHead + "11" + kAmount + Status("12", 0, "OPERACJA NIEWYKONALNA") + kEnd},
        {[](Eft& e) { e.status = 4; },
         kHead + "11" + kAmount + Status("12", 1, "OPERACJA PRZERWANA") + kEnd},
        {[](Eft& e) { e.status = 5; }, kHead + "11" + kAmount + kEnd},
    };
    for (const auto& r : rows) {
        Eft e;
        r.set(e);
        ASSERT_EQ(Transaction(e), 0);
        EXPECT_EQ(Record(), r.expected) << e.status << " " << e.verification;
    }
}

// What follows line "61": the amount lines by kind and cashback, then the accepted sale's
// closing lines by variant, verification and extra lines.
TEST_F(CardSlipTest, KindVariantAndExtraLinesChooseTheTail) {
    const struct {
        Setter set;
        std::string tail;
    } rows[] = {
        {[](Eft& e) { e.cashback = 250; }, kAmount + Line("81", Right("CBK: 2.50", 31)) +
                                               Line("02", Right("CBK = kwota cashbacku", 31)) +
                                               "3242"},
        {[](Eft& e) { e.cashback = -5, e.verification = 2, e.extraLines = 1; },
         kAmount + "32425262"},
        {[](Eft& e) { e.variant = 1, e.verification = 2; }, kAmount + "3242721323"},
        {[](Eft& e) {
             e.kind = 2, e.cashback = 250, e.variant = 1, e.verification = 2, e.extraLines = 1;
         },
         Line("81", Right("PLN 12.34", 31)) + "72132333"},
        {[](Eft& e) { e.kind = 3, e.verification = 3; },
         Status("12", 0, "Transakcja potwierdzona") + Status("22", 6, "kodem PIN")},
    };
    for (const auto& r : rows) {
        Eft e;
        r.set(e);
        ASSERT_EQ(Transaction(e), 0);
        const std::string record = Record();
        EXPECT_EQ(record.substr(record.find("\n61") + 3), r.tail + kEnd) << r.tail;
    }
}

TEST_F(CardSlipTest, LineThirtyOne) {
    const std::string longK(50, 'k');
    const struct {
        int status;
        const char* text31;
        const char* textK;
        int mark1, mark2;
        std::string line;
    } rows[] = {
        {1, "t31", "", 'C', 'D', "t31" + Right("  (C) (D)", 26)},
        {1, "t31", "K1", 0, 0x100, "t31" + Right(" K: K1 () (-)", 26)},
        {2, "t31", "K1", 0x143, 'D', "t31" + Right(" K: K1 (C)", 26)},
        {1, "t31", longK.c_str(), 'C', 'D', "t31 K: " + longK.substr(0, 39) + " (C) (D)"},
        {1, "Karta platnicza VISA", "K1", 'C', 'D', "Karta platnic K: K1 (C) (D)"},
        {1, nullptr, nullptr, 'C', 'D', Right("  (C) (D)", 29)},
    };
    for (const auto& r : rows) {
        Eft e;
        e.status = r.status, e.variant = 1, e.text31 = r.text31, e.textK = r.textK;
        e.mark1 = r.mark1, e.mark2 = r.mark2;
        ASSERT_EQ(Transaction(e), 0);
        EXPECT_EQ(TextAfter(Record(), "\n31"), r.line) << r.line;
    }
}

TEST_F(CardSlipTest, NumberedLinesAndLineNinety) {
    const struct {
        int numberS, numberP, number30, number40, number50;
        std::string line90;
    } rows[] = {
        {1234567, -1, -1, -5, -1, "0" + Spaces(8) + "S: 123456"},
        {-1, 7, 0, 0, 0, "0" + Spaces(17) + "P: " + Right("7", 14)},
        {0, 0, 0, 0, 0, "0" + Spaces(8) + "S: 0     P: " + Right("0", 14)},
        {-1, -1, 0, 0, 0, "<none>"},
    };
    for (const auto& r : rows) {
        Eft e;
        e.numberS = r.numberS, e.numberP = r.numberP, e.number30 = r.number30;
        e.number40 = r.number40, e.number50 = r.number50;
        ASSERT_EQ(Transaction(e), 0);
        const std::string record = Record();
        EXPECT_EQ(TextAfter(record, "\n90"), r.line90) << r.numberS << " " << r.numberP;
        std::string head = "\x1bs80" + Line("10", Right("Terminal 1", 22)) + "20";
        if (r.number30 >= 0) head += Line("30", Right(std::to_string(r.number30), 22));
        head += Line("40", Right(std::to_string(r.number40), 33));
        if (r.number50 >= 0) head += Line("50", Right(std::to_string(r.number50), 26));
        EXPECT_EQ(record.substr(0, head.size()), head);
    }
}

TEST_F(CardSlipTest, TextFiftyOneIsNarrowerOnPrintersWithTheForms) {
    const std::string text51 = "Numer autoryzacji karty";
    const struct {
        int type, version;
        int (*print)(const Eft&);
        size_t width;
    } rows[] = {{8, 2, Transaction, 16},
                {8, 2, Offline, 19},
                {4, 4, Reversal, 16},
                {4, 3, Transaction, 19},
                {3, 1, Reversal, 19}};
    for (const auto& r : rows) {
        StartOn(r.type, r.version);
        Sent();
        Eft e;
        e.text51 = text51.c_str();
        ASSERT_EQ(r.print(e), 0);
        EXPECT_EQ(TextAfter(Record(), "4151"), text51.substr(0, r.width) + " (51)") << r.type;
    }
    Eft e;
    e.text51 = "";
    ASSERT_EQ(Transaction(e), 0);
    const std::string record = Record();
    EXPECT_EQ(record.find("41" + kAmount), record.find("\n41") + 1);
}

TEST_F(CardSlipTest, ReversalAndOfflineRegistration) {
    const std::string card =
        "11" + kCardLines + Line("31", "t31" + Right(" (C)", 26)) + "41" + kLine51 + kAmount;
    const std::string offlineHead = kAnswered.substr(0, kAnswered.find("90")) +
                                    Line("90", "0" + Spaces(17) + "P: " + Right("7", 14)) +
                                    Line("01", Right("t01", 31));
    const std::string offlineTitle = Status("02", 5, "REJESTRACJA") + "12 \n";
    const struct {
        int (*print)(const Eft&);
        int status;
        std::string expected;
    } rows[] = {
        {Reversal, 1,
         kHead + kAnswered + card + Status("02", 4, "UNIEWA\xBDNIENIE") + "12 \n" +
             Status("22", 0, "Transakcja uniewa\xBEniona") + kEnd},
        {Offline, 1,
         kHead + offlineHead + card.substr(0, card.find("51")) +
             Line("51", "t51" + Spaces(16) + " (51)") + "61" + kAmount + offlineTitle +
             Status("22", 0, "Transakcja zarejestrowana") + kEnd},
        {Offline, 5, kHead + Line("01", Right("t01", 31)) + "11" + kAmount + offlineTitle + kEnd},
    };
    for (const auto& r : rows) {
        Eft e;
        e.status = r.status;
        ASSERT_EQ(r.print(e), 0);
        EXPECT_EQ(Record(), r.expected) << r.status;
    }
    // Kind 2 puts the amount on "81", without cashback lines; the reversal's variant 1 adds "01".
    Eft e;
    e.kind = 2, e.variant = 1, e.cashback = 100;
    ASSERT_EQ(Reversal(e), 0);
    const std::string record = Record();
    EXPECT_EQ(TextAfter(record, "6181"), Right("PLN 12.34", 31));
    EXPECT_EQ(TextAfter(record, "\n01"), Right("t01", 31));
    EXPECT_EQ(record.find("CBK"), std::string::npos);
    e.numberP = -1;
    ASSERT_EQ(Offline(e), 0);
    EXPECT_EQ(TextAfter(Record(), "\n90"), "<none>");
}

TEST_F(CardSlipTest, AnOpenDocumentStopsAllButTheOfflineRegistration) {
    for (const uint32_t flag : {MF_DOC_RECEIPT, MF_DOC_ORDER, MF_DOC_SHIFT_REPORT}) {
        Lib().documentFlags = flag;
        Sent();
        EXPECT_EQ(Transaction(Eft{}), -2);
        EXPECT_EQ(Lib().mfErrorL, 779);
        EXPECT_EQ(Reversal(Eft{}), -2);
        EXPECT_EQ(Lib().mfErrorL, 779);
        EXPECT_TRUE(Sent().empty());
    }
    Lib().documentFlags = MF_DOC_RECEIPT;
    EXPECT_EQ(Offline(Eft{}), 0);
    Record();
    mfStop();
    EXPECT_EQ(Transaction(Eft{}), -1);
    EXPECT_EQ(Reversal(Eft{}), -1);
    EXPECT_EQ(Offline(Eft{}), -1);
}

// After the slip: a pause of a second on older printers, then the wait for the printer; after
// a refused slip neither.
TEST_F(CardSlipTest, ARefusedSlipReturnsAtOnce) {
    const int64_t before = platform->SleptMs();
    printer->RefuseNext({0x03, 0x00, 0x02, 0x00});
    EXPECT_EQ(Transaction(Eft{}), -2);
    EXPECT_EQ(Lib().mfErrorL, 784);
    EXPECT_EQ(platform->SleptMs(), before);

    for (const int type : {8, 3}) {
        StartOn(type);
        platform->ClearWrites();
        ASSERT_EQ(Offline(Eft{}), 0);
        const auto& writes = platform->Writes();
        size_t tail = 0;
        while (tail < writes.size() && writes[tail].bytes.front() != '8') ++tail;
        ASSERT_LT(tail + 1, writes.size());
        const int64_t gap = writes[tail + 1].atMs - writes[tail].atMs;
        EXPECT_EQ(gap >= 1200, type < 4) << type << ": " << gap;
        EXPECT_GE(gap, 200);
    }
}

}  // namespace
}  // namespace tarn
