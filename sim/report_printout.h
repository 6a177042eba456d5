// How the fiscal reports look on paper: the daily report, the periodic reports over the
// fiscal memory, and the tax table as the rate change and the state printout show it.
#pragma once

#include <array>
#include <vector>

#include "commands.h"
#include "fiscal_memory.h"

namespace tarn::sim {

// The header, "RAPORT DOBOWY FISKALNY", the record and the serial number.
void PrintDailyReport(Context& ctx, const DailyRecord& record);
// One daily record: its number and date, sales and tax by rate, the total and the receipts.
void PrintDailyRecord(PaperRoll& roll, const DailyRecord& record);
// The records' sales and tax by rate summed, the total, how many reports and receipts.
void PrintRecordsSummed(PaperRoll& roll, const std::vector<DailyRecord>& records);
// Rates A to F (and the exempt G) of the printer's table.
void PrintTaxTable(PaperRoll& roll, const std::array<int, 6>& rates);
// A date kept as yyyymmdd, written 2026-12-06.
std::string DateKeyText(int key);

}  // namespace tarn::sim
