// Calendar arithmetic for the device tool's pinned clock: parsing
// "YYYY-MM-DD HH:MM:SS" and moving a time forward by elapsed milliseconds
// (for a pinned clock that runs). Pure, so the day, month and leap-year
// carries are unit-tested natively.
#pragma once
#include <cstdint>

namespace civil {

struct Time {
  int year;     // 1601-30827 (the SYSTEMTIME range)
  int month;    // 1-12
  int day;      // 1-31
  int hour;     // 0-23
  int minute;   // 0-59
  int second;   // 0-59
  int ms;       // 0-999
  int weekday;  // 0 Sunday - 6 Saturday (filled by Normalise/AddMs)
};

int DaysInMonth(int year, int month);
bool Valid(const Time& t);
// Parses exactly "YYYY-MM-DD HH:MM:SS" (a 'T' also separates date and time);
// false for anything else or a date that does not exist.
bool Parse(const wchar_t* text, Time* out);
// Days since 1601-01-01 for a valid date.
int64_t DayNumber(int year, int month, int day);
// Sets the weekday of a valid time.
void FillWeekday(Time* t);
// `t` moved forward by `ms` milliseconds (carries into seconds .. years);
// the result stops at the end of the SYSTEMTIME range.
Time AddMs(const Time& t, uint64_t ms);

}  // namespace civil
