#include "printout.h"

#include <cstdio>

namespace tarn::sim {

namespace {

std::string PosNumbers(const PrinterState& s) {
    char text[48];
    std::snprintf(text, sizeof text, "Kasa: %02d Kasjer: %02d", s.posNumber, s.cashierNumber);
    return text;
}

std::string GroupThousands(int64_t whole) {
    std::string digits = std::to_string(whole);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ".");
    }
    return digits;
}

void PrintSlot(PaperRoll& roll, int slot, const SlotTotal& total) {
    if (total.gross == 0) return;
    const std::string letter(1, TaxLetter(slot));
    if (slot == kExemptSlot) {
        roll.PrintPair("SPRZEDAŻ ZWOLNIONA " + letter, AmountText(total.gross));
        return;
    }
    roll.PrintPair("SPRZEDAŻ OPODATKOWANA " + letter, AmountText(total.gross));
    const std::string rate = total.rate >= 0 ? " " + RateText(total.rate) : "";
    roll.PrintPair("PTU " + letter + rate, AmountText(total.tax));
}

}  // namespace

std::string AmountText(int64_t grosze) {
    const int64_t magnitude = grosze < 0 ? -grosze : grosze;
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ",%02d", static_cast<int>(magnitude % 100));
    return (grosze < 0 ? "-" : "") + GroupThousands(magnitude / 100) + fraction;
}

std::string QuantityText(int64_t thousandths) {
    const int64_t magnitude = thousandths < 0 ? -thousandths : thousandths;
    std::string text = (thousandths < 0 ? "-" : "") + std::to_string(magnitude / 1000);
    int64_t rest = magnitude % 1000;
    if (rest == 0) return text;
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%03d", static_cast<int>(rest));
    std::string decimals = fraction;
    while (decimals.back() == '0') decimals.pop_back();
    return text + "," + decimals;
}

std::string RateText(int hundredths) {
    if (hundredths < 0) return "---";
    char text[16];
    std::snprintf(text, sizeof text, "%d,%02d%%", hundredths / 100, hundredths % 100);
    return text;
}

std::string DateText(const CivilTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
    return text;
}

std::string DateTimeText(const CivilTime& t) {
    char text[16];
    std::snprintf(text, sizeof text, " %02d:%02d", t.hour, t.minute);
    return DateText(t) + text;
}

std::string ReportNumberText(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d", number);
    return text;
}

void PrintSalesByRate(PaperRoll& roll, const ReceiptTotals& totals) {
    for (const int slot : {1, 2, 3, 4, 6, 7, kExemptSlot}) PrintSlot(roll, slot, totals.Slot(slot));
}

void PrintHeader(Context& ctx) {
    ctx.roll.PrintCentred("TARN Drukarnia Wirtualna");
    ctx.roll.PrintCentred("ul. Testowa 1, 00-001 Warszawa");
    ctx.roll.PrintCentred("NIP 000-000-00-00");
    ctx.roll.PrintPair(DateTimeText(ctx.state.Clock(ctx.nowMs)), "");
    if (ctx.state.posNumber >= 0) ctx.roll.PrintText(PosNumbers(ctx.state));
    ctx.roll.Rule();
}

}  // namespace tarn::sim
