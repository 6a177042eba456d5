// Civil date and time from a count of seconds (no time zones: the printer keeps local time).
#pragma once

#include <cstdint>

namespace tarn::sim {

struct CivilTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

int64_t SecondsFromCivil(const CivilTime& t);
CivilTime CivilFromSeconds(int64_t seconds);
// True when the day exists in that month of that year.
bool IsCalendarDate(int year, int month, int day);

}  // namespace tarn::sim
