#include "api/text_table.h"

#include <cstring>

#include "text/cp852.h"

namespace tarn {

namespace {

struct DefaultText {
    int index;
    const char* utf8;
};

// Index 439 is empty.
const DefaultText kDefaults[] = {
    {100, "Wykonanie poprawne"},
    {101, "Inny błąd"},
    {102, "Błąd krytyczny"},
    {103, "Błąd niekrytyczny"},
    {104, "Błąd w czasie pracy"},
    {200, "Błąd fiskalny MF"},
    {201, "Wyczerpane zasoby MF"},
    {202, "MF niezainicjowany"},
    {203, "Błąd wyświetlacza"},
    {204, "Błąd komunikacji MF"},
    {205, "Błąd baterii"},
    {206, "Wyczerpane zasoby"},
    {207, "Błąd niefiskalny MF"},
    {208, "Błąd inicjacji MF"},
    {209, "Inny błąd"},
    {210, "Zła kolejność funkcji"},
    {211, "Przekrocz. zakresu"},
    {212, "Zła stawka podatkowa"},
    {213, "Towar zablokowany"},
    {214, "Towar nie może być zdefiniowany"},
    {215, "Błąd zmiany zegara"},
    {216, "Zły nr seryjny"},
    {217, "Doba fisk. otwarta"},
    {218, "Doba fisk. zamknięta"},
    {219, "Paragon w druku"},
    {220, "Paragon nie w druku"},
    {221, "Limit zmian wyczerpany"},
    {222, "Brak denominacji"},
    {223, "Błąd dysku"},
    {224, "Brak papieru"},
    {225, "Nieznany rozkaz"},
    {226, "Błąd sumy kontrolnej ramki"},
    {227, "Brak danych pod adresem"},
    {228, "Klucz sesyjny został już ustalony"},
    {229, "Zła długość podpisu MD5"},
    {230, "Klucz sesyjny nie jest ustalony"},
    {231, "Rożne podpisy przesłanych danych"},
    {232, "Odczyt statusu przy zamkniętym bloku"},
    {233, "Nieznany typ pamięci"},
    {234, "Niedozwolona operacja na pamięci"},
    {235, "Log nie został poprawnie otwarty"},
    {236, "Nie ma danych w logu"},
    {237, "Zła długość podpisu SHA"},
    {238, "Rożne podpisy SHA"},
    {239, "Błąd przy przesyłaniu ramki"},
    {240, "Brak danych do zrzutu"},
    {241, "Suma zwrotu za duża"},
    {300, "RAZEM WARTOŚĆ"},
    {301, "RABAT"},
    {302, "UWZGLĘDNIONO NARZUT"},
    {303, "UWZGLĘDNIONO RABAT"},
    {304, "DO ZAPŁATY"},
    {305, "PTU"},
    {306, "ZWOL"},
    {307, "Brutto"},
    {308, "Podatek"},
    {309, "ZAPŁACONO"},
    {310, "RESZTA"},
    {311, "NR TRANSAKCJI"},
    {312, "KASJER"},
    {313, "PARAGON UNIEWAŻNIONY"},
    {314, "SUMA"},
    {315, "KAUCJA"},
    {316, "ZWROT KAUCJI"},
    {317, "DO ZWROTU"},
    {318, "STOLIK"},
    {319, "ODBIORCA"},
    {320, "ZWROT"},
    {321, "ANUL.ZWROTU"},
    {322, "RABAT"},
    {323, "ANUL.RABATU"},
    {324, "NARZUT"},
    {325, "ANUL.NARZUTU"},
    {400, "POKWITOWANIE WPŁATY"},
    {401, "POKWITOWANIE WYPŁATY"},
    {402, "NUMER"},
    {403, "WPŁACAJĄCY"},
    {404, "WYPŁACAJĄCY"},
    {405, "TYTUŁ"},
    {406, "KWOTA"},
    {407, "DATA"},
    {408, "PODPIS"},
    {409, "ROZLICZENIE KASJERA"},
    {410, "ROZLICZENIE ZMIANY"},
    {411, "KWIT ZAMÓWIENIA"},
    {412, "ZAMAWIAJĄCY"},
    {413, "KWIT ZWROTU"},
    {414, "ZWROT TOWARU"},
    {415, "MODYFIKATOR"},
    {416, "NAZWA"},
    {417, "NAZWISKO"},
    {418, "ILOŚĆ"},
    {419, "WPŁATA"},
    {420, "WYPŁATA"},
    {421, "PŁATNOŚĆ"},
    {422, "W TYM"},
    {423, "ZLICZONO"},
    {424, "KASA"},
    {425, "RÓŻNICA"},
    {426, "POCZĄTEK ZMIANY"},
    {427, "KONIEC ZMIANY"},
    {428, "DOKUMENT UNIEWAŻNIONY"},
    {429, "RAPORT"},
    {430, "Data transakcji"},
    {431, "Nr dowodu sprz"},
    {432, "Kasa"},
    {433, "Do paragonu"},
    {434, "TID"},
    {435, "UID"},
    {436, "PosId"},
    {437, "Kasjer"},
    {438, "Karta"},
    {440, "Ważna do"},
    {441, "Nr autoryzacji"},
    {442, "Sprzedaż"},
    {443, "Uznanie"},
    {444, "Słownie"},
    {445, "Proszę obciążyć moje konto."},
    {446, "I agree to pay the total"},
    {447, "amount shown above"},
    {448, "Podpis okaziciela karty"},
    {449, "Signature of cardholder"},
    {500, "RAZEM DO ZAPŁATY"},
    {501, "UNIEWAŻNIONO"},
    {502, "------------"},
    {503, "Skasowany"},
    {504, "RAZEM DO ZWROTU"},
};

}  // namespace

TextTable::TextTable() {
    const int bounds[][3] = {
        {100, 104, 39}, {200, 241, 39}, {300, 325, 26}, {400, 449, 39}, {500, 504, 26}};
    for (const auto& b : bounds) {
        ranges_.push_back({b[0], b[1], b[2],
                           std::vector<char>(static_cast<size_t>((b[1] - b[0] + 1) * b[2]), '\0')});
    }
    for (const DefaultText& d : kDefaults) Define(d.index, Utf8ToCp852(d.utf8).c_str());
}

const TextTable::Range* TextTable::Find(int index) const {
    for (const Range& range : ranges_) {
        if (index >= range.first && index <= range.last) return &range;
    }
    return nullptr;
}

char* TextTable::Slot(int index) {
    const Range* range = Find(index);
    if (range == nullptr) return nullptr;
    Range& r = ranges_[static_cast<size_t>(range - ranges_.data())];
    return r.slots.data() + static_cast<size_t>((index - r.first) * r.slotSize);
}

const char* TextTable::Text(int index) const {
    const Range* range = Find(index);
    if (range == nullptr) return "***";
    return range->slots.data() + static_cast<size_t>((index - range->first) * range->slotSize);
}

int TextTable::MaxLength(int index) const {
    const Range* range = Find(index);
    return range != nullptr ? range->slotSize - 1 : 0;
}

bool TextTable::Define(int index, const char* text) {
    char* slot = Slot(index);
    if (slot == nullptr) return false;
    const size_t max = static_cast<size_t>(MaxLength(index));
    const char* source = text != nullptr ? text : "";
    const size_t length = strnlen(source, max);
    std::memcpy(slot, source, length);
    std::memset(slot + length, 0, max + 1 - length);
    return true;
}

}  // namespace tarn
