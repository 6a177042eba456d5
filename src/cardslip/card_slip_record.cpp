#include "cardslip/card_slip_record.h"

#include "cardslip/slip_text.h"
#include "link/printer_link.h"
#include "text/field_text.h"
#include "text/formatting.h"

namespace tarn {

namespace {

constexpr int kStatusWidth = 30;
constexpr int kStatusReserve = 9;
constexpr int kLine31Room = 29;
constexpr size_t kText31Width = 13;
constexpr size_t kMostCardNumber = 64;  // well above any card number, masked or not
constexpr size_t kMostTextK = 39;
constexpr int kOfflineWidth51 = 19;

std::string Centred(const std::string& text) {
    return centreText(text, kStatusWidth, kStatusReserve);
}

class SlipWriter {
public:
    SlipWriter(const CardSlip& slip, CardSlipKind kind, int width51)
        : s_(slip),
          kind_(kind),
          width51_(kind == CardSlipKind::Offline ? kOfflineWidth51 : width51) {}
    std::string Build();

private:
    void Code(const char* code) { out_ += code; }
    void Line(const char* code, const std::string& text) {
        out_ += code;
        for (const char c : text) out_ += FieldByte(c);
        out_ += '\n';
    }
    bool Answered() const { return s_.status == 1 || s_.status == 2; }
    int32_t NumberS() const { return kind_ == CardSlipKind::Offline ? -1 : s_.numberS; }
    void Head();
    void CardLines();
    void AmountLines();
    void TransactionEnding();
    void TitledEnding();
    std::string Line90() const;
    std::string Line31() const;

    const CardSlip& s_;
    CardSlipKind kind_;
    int width51_;
    std::string out_;
};

void SlipWriter::Head() {
    out_ += 's';
    Code("80");
    Line("10", cutRightAlign(FieldText(s_.text10, 22), 22));
    Code("20");
    if (s_.number30 >= 0) Line("30", rightAlign(IntToText(s_.number30), 22));
    Line("40", rightAlign(IntToText(s_.number40), 33));
    if (s_.number50 >= 0) Line("50", rightAlign(IntToText(s_.number50), 26));
    if (!Answered()) return;
    Line("70", cutRightAlign(FieldText(s_.text70, 34), 34));
    Line("80", cutRightAlign(FieldText(s_.text80, 34), 34));
    if (NumberS() >= 0 || s_.numberP >= 0) Line("90", Line90());
}

// "0", then "S: " and numberS in 6 behind 8 spaces (or 17 spaces), then "P: " and numberP
// right-aligned in 14.
std::string SlipWriter::Line90() const {
    std::string text = "0";
    if (NumberS() >= 0) {
        text += std::string(8, ' ') + "S: " + leftAlign(IntToText(NumberS()), 6);
    } else {
        text += std::string(17, ' ');
    }
    if (s_.numberP >= 0) text += "P: " + rightAlign(IntToText(s_.numberP), 14);
    return text;
}

// text31, the card number, in 13: a longer one keeps its last 13 characters, the digits that
// identify the card; then its suffix right-aligned in 29 less text31's whole length. A card
// payment's suffix has " K: " and textK (a space alone when textK is empty) before the first
// mark, and the second mark ("-" for none) when accepted in variant 1.
std::string SlipWriter::Line31() const {
    const std::string text31 = FieldText(s_.text31, kMostCardNumber);
    std::string suffix;
    if (kind_ == CardSlipKind::Transaction) {
        const std::string textK = FieldText(s_.textK, kMostTextK);
        suffix = textK.empty() ? " " : " K: " + textK;
    }
    suffix += " (" + markText(s_.mark1) + ")";
    if (kind_ == CardSlipKind::Transaction && s_.status == 1 && s_.variant == 1) {
        const std::string mark2 = markText(s_.mark2);
        suffix += " (" + (mark2.empty() ? std::string("-") : mark2) + ")";
    }
    const int room = text31.size() >= static_cast<size_t>(kLine31Room)
                         ? 0
                         : kLine31Room - static_cast<int>(text31.size());
    const size_t cut = text31.size() > kText31Width ? text31.size() - kText31Width : 0;
    return text31.substr(cut) + rightAlign(suffix, room);
}

void SlipWriter::CardLines() {
    if (kind_ == CardSlipKind::Offline || s_.variant == 1) {
        Line("01", cutRightAlign(FieldText(s_.text01, 31), 31));
    }
    Code("11");
    if (!Answered()) return;
    Line("21", cutRightAlign(FieldText(s_.text21, 32), 32));
    Line("31", Line31());
    Code("41");
    if (s_.status != 1) return;
    const std::string text51 = FieldText(s_.text51, static_cast<size_t>(width51_));
    if (text51.empty()) return;
    Line("51", leftAlign(text51, width51_) + " (" + IntToText(s_.number51) + ")");
    Code("61");
}

void SlipWriter::AmountLines() {
    const std::string amount = "PLN " + slipAmountText(s_.amount);
    if (s_.kind == 2) {
        Line("81", rightAlign(amount, 31));
        return;
    }
    if (s_.kind != 1) return;
    Line("71", rightAlign(amount, 30));
    if (kind_ != CardSlipKind::Transaction || s_.cashback <= 0) return;
    Line("81", rightAlign("CBK: " + slipAmountText(s_.cashback), 31));
    Line("02", rightAlign("CBK = kwota cashbacku", 31));
}

void SlipWriter::TransactionEnding() {
    switch (s_.status) {
        case 1:
            if (s_.verification != 3) break;
            Line("12", Centred("Transakcja potwierdzona"));
            Line("22", Centred("kodem PIN"));
            break;
        case 2:
            Line("12", Centred("ODMOWA"));
            if (s_.responseCode != 0) {
                Line("22", Centred("Kod odpowiedzi: " + IntToText(s_.responseCode)));
            }
            break;
        case 3: Line("12", Centred("OPERACJA NIEWYKONALNA")); break;
        case 4: Line("12", Centred("OPERACJA PRZERWANA")); break;
        default: break;
    }
    if (s_.status != 1) return;
    if (s_.kind == 1) {
        Code("32");
        Code("42");
        if (s_.extraLines != 0) {
            Code("52");
            Code("62");
        }
    }
    if (s_.variant == 1 && s_.verification == 2) {
        Code("72");
        Code("13");
        Code("23");
        if (s_.extraLines != 0) Code("33");
    }
}

// Code page 852 texts of the reversal and the offline registration.
void SlipWriter::TitledEnding() {
    const bool reversal = kind_ == CardSlipKind::Reversal;
    Line("02", Centred(reversal ? "UNIEWA\xBDNIENIE" : "REJESTRACJA"));
    Line("12", " ");
    const char* const done = reversal ? "Transakcja uniewa\xBEniona" : "Transakcja zarejestrowana";
    const char* const texts[] = {done, "ODMOWA", "OPERACJA NIEWYKONALNA", "OPERACJA PRZERWANA"};
    if (s_.status >= 1 && s_.status <= 4) Line("22", Centred(texts[s_.status - 1]));
}

std::string SlipWriter::Build() {
    Head();
    CardLines();
    AmountLines();
    if (kind_ == CardSlipKind::Transaction) {
        TransactionEnding();
    } else {
        TitledEnding();
    }
    out_ += {static_cast<char>(kEsc), 'Q'};
    return out_;
}

}  // namespace

std::string CardSlipRecord(const CardSlip& slip, CardSlipKind kind, int width51) {
    return SlipWriter(slip, kind, width51).Build();
}

}  // namespace tarn
