// The forms the printer stores, line code by line code, with the labels it prints.
#include "forms.h"

namespace tarn::sim {

namespace {

using S = LineStyle;

constexpr const char* kSignature = "\nPODPIS ................................";
constexpr const char* kDots = "..............................";
constexpr const char* kSumRule = "                              ----------";

bool OnEveryPrinter(const PrinterModel&) {
    return true;
}

// Orders and returns came with type 5, and with version 4 of type 4.
bool WithOrderForms(const PrinterModel& m) {
    return m.type >= 5 || (m.type == 4 && m.version >= 4);
}

bool WithSettlement(const PrinterModel& m) {
    return m.type >= 5;
}

bool WithVoucher(const PrinterModel& m) {
    return m.type >= 5 || m.version >= 4;
}

Form PayIn() {
    return {"20",
            "POKWITOWANIE WPŁATY",
            OnEveryPrinter,
            {{"10", kText, S::Labelled, "NUMER"},
             {"20", kText, S::Labelled, "WPŁACAJĄCY"},
             {"30", kText, S::Labelled, "TYTUŁ"},
             {"40", kText, S::Labelled, "KWOTA"},
             {"70", kBare, S::Lines, kSignature}}};
}

// A pay-out has no title line.
Form PayOut() {
    return {"30",
            "POKWITOWANIE WYPŁATY",
            OnEveryPrinter,
            {{"10", kText, S::Labelled, "NUMER"},
             {"20", kText, S::Labelled, "WYPŁACAJĄCY"},
             {"40", kText, S::Labelled, "KWOTA"},
             {"70", kBare, S::Lines, kSignature}}};
}

// The heading ("10" to "30"), then "40" to "70" for each ordered item, and "90" at the end.
Form Order() {
    return {"70",
            "KWIT ZAMÓWIENIA",
            WithOrderForms,
            {{"10", kText, S::Labelled, "NUMER"},
             {"20", kText, S::Labelled, "ZAMAWIAJĄCY"},
             {"30", kBare, S::Rule},
             {"40", kText, S::Labelled, "NAZWA"},
             {"50", kText, S::Labelled, "ILOŚĆ"},
             {"60", kText, S::Labelled, "MODYFIKATOR"},
             {"70", kBare, S::Lines, ""},
             {"90", kBare, S::Rule}}};
}

Form Return() {
    return {"51",
            "KWIT ZWROTU\nZWROT TOWARU",
            WithOrderForms,
            {{"10", kText, S::Labelled, "NUMER"},
             {"20", kText, S::Labelled, "NAZWA"},
             {"40", kText, S::Right},  // quantity = -total
             {"60", kText, S::Labelled, "NAZWISKO"},
             {"70", kText, S::Lines, kSignature}}};
}

// A card payment, its reversal or its offline registration: the terminal's data, the card,
// the amount, the status texts the terminal chose, and the cardholder's consent.
Form CardSlip() {
    return {"80",
            "PŁATNOŚĆ KARTĄ",
            OnEveryPrinter,
            {{"10", kText, S::Labelled, "Data transakcji"},
             {"20", kBare, S::Rule},
             {"30", kText, S::Labelled, "Nr dowodu sprz"},
             {"40", kText, S::Labelled, "Kasa"},
             {"50", kText, S::Labelled, "Do paragonu"},
             {"60", kText, S::Labelled, "PosId"},
             {"70", kText, S::Labelled, "TID"},
             {"80", kText, S::Labelled, "UID"},
             {"90", kText, S::Left},  // its own "S:" and "P:" marks
             {"01", kText, S::Labelled, "Kasjer"},
             {"11", kBare, S::Rule},
             {"21", kText, S::Labelled, "Karta"},
             {"31", kText, S::Left},  // the card number and its marks
             {"41", kBare, S::Lines, "Ważna do: **/**"},
             {"51", kText, S::Labelled, "Nr autoryzacji"},
             {"61", kBare, S::Lines, ""},
             {"71", kText, S::Labelled, "Sprzedaż"},
             // After a sale the line carries the cash given back, else a credit.
             {"81", kText, S::Labelled, "Uznanie", "71", "Cashback"},
             {"91", kText, S::Labelled, "Słownie"},
             {"02", kText, S::Centred},
             {"12", kText, S::Centred},
             {"22", kText, S::Centred},
             {"32", kBare, S::Lines, "Proszę obciążyć moje konto."},
             {"42", kBare, S::Lines, ""},
             {"52", kBare, S::Lines, "I agree to pay the total"},
             {"62", kBare, S::Lines, "amount shown above"},
             {"72", kBare, S::Lines, ""},
             {"82", kBare, S::Rule},
             {"92", kBare, S::Heading, "WERYFIKACJA PODPISEM"},
             {"03", kBare, S::Lines, ""},
             {"13", kBare, S::Lines, kDots},
             {"23", kBare, S::Lines, "Podpis okaziciela karty"},
             {"33", kBare, S::Lines, "Signature of cardholder"}}};
}

Form Voucher() {
    return {"23",
            "BON PRZEDPŁACONY",
            WithVoucher,
            {{"30", kBare, S::Rule},
             {"01", kText, S::Labelled, "Data"},
             {"11", kText, S::Labelled, "Godzina"},
             {"21", kText, S::Labelled, "Operator"},
             {"31", kText, S::Labelled, "Terminal"},
             {"41", kText, S::Labelled, "Nr transakcji"},
             {"61", kText, S::Labelled, "Nr partii"},
             {"71", kText, S::Labelled, "Nr kolejny"},
             {"81", kText, S::Labelled, "Produkt"},
             {"91", kText, S::Labelled, "Nr seryjny"},
             {"12", kText, S::Labelled, "Kod"},
             {"32", kBare, S::Heading, "SPRZEDAŻ"},
             {"52", kBare, S::Heading, "ZWROT"},
             {"62", kBare, S::Heading, "ANULOWANIE"},
             {"72", kBare, S::Heading, "DUPLIKAT"},
             {"42", kBare, S::Heading, "TRANSAKCJA TESTOWA"},
             {"82", kText, S::Labelled, "PIN"},
             {"92", kText, S::Labelled, "Ważny dni"},
             {"23", kText, S::Labelled, "Kwota"},
             {"33", kText, S::Labelled, "Ważny do"},
             {"53", kBare, S::Rule},
             {"63", kText, S::Labelled, "Informacja"},
             {"73", kBare, S::Rule},
             {"83", kBare, S::Heading, "Zachowaj ten wydruk"},
             {"14", kText, S::Centred}}};
}

// The heading, income, outgoings, then "34" to "74" for each form of payment, and the
// signature.
Form ShiftSettlement() {
    return {"33",
            "ROZLICZENIE ZMIANY",
            WithSettlement,
            {{"20", kText, S::Centred},
             {"30", kText, S::Labelled, "NUMER"},
             {"40", kText, S::Labelled, "POCZĄTEK ZMIANY"},
             {"50", kText, S::Labelled, "KONIEC ZMIANY"},
             {"70", kText, S::Labelled, "KASJER"},
             {"80", kBare, S::Rule},
             {"90", kBare, S::Heading, "PRZYCHODY"},
             {"21", kText, S::Labelled, "SPRZEDAŻ FISKALNA"},
             {"41", kText, S::Labelled, "WPŁATA"},
             {"02", kText, S::Left},  // the packaging's heading
             {"12", kText, S::Labelled, "  WYDANE"},
             {"22", kBare, S::Lines, kSumRule},
             {"32", kText, S::Labelled, "RAZEM PRZYCHODY"},
             {"52", kBare, S::Heading, "ROZCHODY"},
             {"82", kText, S::Labelled, "WYPŁATA"},
             {"03", kText, S::Labelled, "OPAK. PRZYJĘTE"},
             {"83", kBare, S::Lines, kSumRule},
             {"93", kText, S::Labelled, "RAZEM ROZCHODY"},
             {"14", kBare, S::Heading, "PŁATNOŚCI"},
             {"34", kText, S::Left},  // the form of payment
             {"44", kText, S::Labelled, "KASA"},
             {"54", kText, S::Labelled, "ZLICZONO"},
             {"64", kBare, S::Lines, kSumRule},
             {"74", kText, S::Labelled, "RÓŻNICA"},
             {"45", kText, S::Labelled, "ROZLICZYŁ"},
             {"55", kBare, S::Lines, kSignature}}};
}

}  // namespace

const Form* FindForm(const std::string& code) {
    static const std::vector<Form> forms = {PayIn(),    PayOut(),  Order(),          Return(),
                                            CardSlip(), Voucher(), ShiftSettlement()};
    for (const Form& form : forms) {
        if (code == form.code) return &form;
    }
    return nullptr;
}

}  // namespace tarn::sim
