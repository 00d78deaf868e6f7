// OLE dates by hand; see ole_date.h for why. Day numbers use the
// proleptic Gregorian calendar, counted from 1899-12-30 (day 0, a Saturday).
#include "platform/core/ole_date.h"

#include <cmath>

namespace oledate {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool Valid(const Fields& f) {
  if (f.year < kFirstYear || f.year > kLastYear || f.month < 1 || f.month > 12) return false;
  if (f.day < 1 || f.day > DaysInMonth(f.year, f.month)) return false;
  return f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 && f.second >= 0 && f.second <= 59;
}

// Days since 0000-03-01 style civil count (H. Hinnant's algorithm), shifted
// so that 1899-12-30 is day 0.
int64_t DayNumber(int year, int month, int day) {
  int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t mp = (month + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;  // 25569 days from 1899-12-30 to 1970-01-01
}

static void CivilFromDays(int64_t dayNumber, int* year, int* month, int* day) {
  const int64_t z = dayNumber - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
  *month = static_cast<int>(m);
  *day = static_cast<int>(d);
}

int WeekdayOfDayNumber(int64_t dayNumber) {
  const int64_t w = (dayNumber + 6) % 7;  // day 0 is a Saturday
  return static_cast<int>(w < 0 ? w + 7 : w);
}

double Make(int64_t dayNumber, double timeOfDay) {
  const double d = static_cast<double>(dayNumber);
  return dayNumber >= 0 ? d + timeOfDay : d - timeOfDay;
}

int64_t WholeDays(double date) { return static_cast<int64_t>(std::trunc(date)); }

double TimeOfDay(double date) { return std::fabs(date - std::trunc(date)); }

double Linear(double date) { return static_cast<double>(WholeDays(date)) + TimeOfDay(date); }

// The OLE range: 100-01-01 to 9999-12-31 23:59:59.
static const double kMinDate = -657434.0;
static const double kMaxDate = 2958465.99999;

bool FromFields(const Fields& f, double* out) {
  if (!Valid(f)) return false;
  const double t = (f.hour * 3600 + f.minute * 60 + f.second) / 86400.0;
  *out = Make(DayNumber(f.year, f.month, f.day), t);
  return true;
}

bool ToFields(double date, Fields* out) {
  if (!(date >= kMinDate - 0.99999 && date <= kMaxDate)) return false;  // also NaN
  int64_t day = WholeDays(date);
  int64_t seconds = std::llround(TimeOfDay(date) * 86400.0);
  if (seconds >= 86400) {  // rounds up into the next calendar day
    seconds -= 86400;
    day += 1;
  }
  Fields f{};
  CivilFromDays(day, &f.year, &f.month, &f.day);
  if (f.year < kFirstYear || f.year > kLastYear) return false;
  f.hour = static_cast<int>(seconds / 3600);
  f.minute = static_cast<int>(seconds / 60 % 60);
  f.second = static_cast<int>(seconds % 60);
  f.weekday = WeekdayOfDayNumber(day);
  *out = f;
  return true;
}

}  // namespace oledate
