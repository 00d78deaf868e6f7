// OLE Automation dates (DATE), as the calendar and the appointments use
// them: days since 1899-12-30 00:00 as a double, the fraction being the time
// of day, in local time. Pure, because
// the platform's conversions do not check month lengths (Wine's
// SystemTimeToVariantTime rolls 31 April into 1 May) and because dates before
// 1900 follow the OLE rule: the integer part counts the day backwards and the
// fraction still runs forwards from that day's midnight (-1.25 is
// 1899-12-29 06:00), so plain subtraction on such dates goes wrong.
#pragma once
#include <cstdint>

namespace oledate {

// The OLE range: 100-01-01 to 9999-12-31.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;
constexpr int64_t kLastDayNumber = 2958465;  // 9999-12-31

struct Fields {
  int year;     // 100-9999, the OLE range
  int month;    // 1-12
  int day;      // 1-31, checked against the month
  int hour;     // 0-23
  int minute;   // 0-59
  int second;   // 0-59
  int weekday;  // 0 Sunday - 6 Saturday; filled by ToFields, ignored by FromFields
};

bool IsLeap(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1-12
bool Valid(const Fields& f);
// Days from 1899-12-30 to the date (negative before it); the date must be valid.
int64_t DayNumber(int year, int month, int day);
// 0 Sunday - 6 Saturday for a day number.
int WeekdayOfDayNumber(int64_t dayNumber);

// Fields into a DATE; false (and *out untouched) for a date or time that does
// not exist or lies outside 100-9999.
bool FromFields(const Fields& f, double* out);
// A DATE into fields, rounded to the second; false outside 100-9999 or for
// a value that is not a number.
bool ToFields(double date, Fields* out);

// The day number and the time of day (0 <= t < 1) of a DATE, by the OLE rule.
int64_t WholeDays(double date);
double TimeOfDay(double date);
// The DATE of a day number and a time of day, by the OLE rule.
double Make(int64_t dayNumber, double timeOfDay);
// A DATE on a straight time line (day number + time of day) so that dates
// before 1900 compare and subtract correctly.
double Linear(double date);

}  // namespace oledate
