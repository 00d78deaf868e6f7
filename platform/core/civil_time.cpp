// Calendar arithmetic for the pinned clock; see civil_time.h. Day numbers
// use the proleptic Gregorian calendar counted from 1601-01-01 (a Monday),
// the epoch of FILETIME.
#include "platform/core/civil_time.h"

namespace civil {

static bool Leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && Leap(year) ? 29 : kDays[month - 1];
}

bool Valid(const Time& t) {
  if (t.year < 1601 || t.year > 30827) return false;
  if (t.month < 1 || t.month > 12) return false;
  if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return false;
  if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59) return false;
  if (t.second < 0 || t.second > 59 || t.ms < 0 || t.ms > 999) return false;
  return true;
}

// Reads exactly `digits` decimal digits.
static bool Digits(const wchar_t*& p, int digits, int* value) {
  int v = 0;
  for (int i = 0; i < digits; ++i) {
    if (p[i] < L'0' || p[i] > L'9') return false;
    v = v * 10 + (p[i] - L'0');
  }
  p += digits;
  *value = v;
  return true;
}

static bool Expect(const wchar_t*& p, wchar_t c) {
  if (*p != c) return false;
  ++p;
  return true;
}

bool Parse(const wchar_t* text, Time* out) {
  if (text == nullptr) return false;
  Time t{};
  const wchar_t* p = text;
  if (!Digits(p, 4, &t.year) || !Expect(p, L'-') || !Digits(p, 2, &t.month) || !Expect(p, L'-') ||
      !Digits(p, 2, &t.day))
    return false;
  if (*p != L' ' && *p != L'T') return false;
  ++p;
  if (!Digits(p, 2, &t.hour) || !Expect(p, L':') || !Digits(p, 2, &t.minute) || !Expect(p, L':') ||
      !Digits(p, 2, &t.second))
    return false;
  if (*p != 0 || !Valid(t)) return false;
  FillWeekday(&t);
  *out = t;
  return true;
}

int64_t DayNumber(int year, int month, int day) {
  int64_t y = year - 1601;
  int64_t days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
  return days + (day - 1);
}

void FillWeekday(Time* t) {
  // 1601-01-01 was a Monday (weekday 1).
  t->weekday = static_cast<int>((DayNumber(t->year, t->month, t->day) + 1) % 7);
}

Time AddMs(const Time& t, uint64_t ms) {
  Time r = t;
  const uint64_t kMsPerDay = 86400000ull;
  uint64_t inDay = static_cast<uint64_t>(((t.hour * 60 + t.minute) * 60 + t.second)) * 1000u + t.ms;
  // Bound the step so that the day count cannot overflow; beyond the range
  // the result is clamped anyway.
  const uint64_t kMaxStep = 11000000ull * kMsPerDay;
  if (ms > kMaxStep) ms = kMaxStep;
  uint64_t total = inDay + ms;
  uint64_t addDays = total / kMsPerDay;
  uint64_t rest = total % kMsPerDay;
  r.ms = static_cast<int>(rest % 1000);
  rest /= 1000;
  r.second = static_cast<int>(rest % 60);
  rest /= 60;
  r.minute = static_cast<int>(rest % 60);
  r.hour = static_cast<int>(rest / 60);
  while (addDays > 0) {
    int left = DaysInMonth(r.year, r.month) - r.day;  // days to the month's end
    if (addDays <= static_cast<uint64_t>(left)) {
      r.day += static_cast<int>(addDays);
      addDays = 0;
      break;
    }
    addDays -= static_cast<uint64_t>(left) + 1;
    r.day = 1;
    if (++r.month > 12) {
      r.month = 1;
      if (++r.year > 30827) {
        r = Time{30827, 12, 31, 23, 59, 59, 999, 0};
        break;
      }
    }
  }
  FillWeekday(&r);
  return r;
}

}  // namespace civil
