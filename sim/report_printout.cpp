#include "report_printout.h"

#include <cstdio>
#include <string>

#include "printout.h"

namespace tarn::sim {

namespace {

void PrintSums(PaperRoll& roll, const ReceiptTotals& sales) {
    PrintSalesByRate(roll, sales);
    roll.PrintPair("SUMA PTU", AmountText(sales.tax));
    roll.PrintPair("ŁĄCZNA NALEŻNOŚĆ", AmountText(sales.gross));
}

}  // namespace

void PrintDailyReport(Context& ctx, const DailyRecord& record) {
    PrintHeader(ctx);
    ctx.roll.PrintCentred("RAPORT DOBOWY FISKALNY");
    PrintDailyRecord(ctx.roll, record);
    ctx.roll.Rule();
    ctx.roll.PrintPair("Nr unikatowy", ctx.state.model.serialNumber);
    ctx.roll.Cut();
}

void PrintDailyRecord(PaperRoll& roll, const DailyRecord& record) {
    roll.PrintPair("Raport dobowy nr " + ReportNumberText(record.number),
                   DateText(record.closedAt));
    PrintSums(roll, record.sales);
    roll.PrintPair("Liczba paragonów", std::to_string(record.receipts));
    roll.PrintPair("Paragony anulowane", std::to_string(record.cancelled));
}

void PrintRecordsSummed(PaperRoll& roll, const std::vector<DailyRecord>& records) {
    ReceiptTotals sales;
    int receipts = 0;
    for (const DailyRecord& record : records) {
        AddSales(sales, record.sales);
        receipts += record.receipts;
    }
    roll.PrintCentred("RAZEM");
    PrintSums(roll, sales);
    roll.PrintPair("Raportów dobowych", std::to_string(records.size()));
    roll.PrintPair("Liczba paragonów", std::to_string(receipts));
}

void PrintTaxTable(PaperRoll& roll, const std::array<int, 6>& rates) {
    const char letters[] = "ABCDEF";
    for (size_t i = 0; i < rates.size(); ++i) {
        roll.PrintPair(std::string("PTU ") + letters[i], RateText(rates[i]));
    }
    roll.PrintPair("PTU G", "zwolniona");
}

std::string DateKeyText(int key) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", key / 10000, key / 100 % 100, key % 100);
    return text;
}

}  // namespace tarn::sim
