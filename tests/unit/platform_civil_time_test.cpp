// The pinned clock's calendar arithmetic: parsing the device tool's time
// and moving it forward across seconds, days, months, leap days and years.
#include <gtest/gtest.h>

#include "platform/core/civil_time.h"

using civil::Time;

static Time Make(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
  Time t{y, mo, d, h, mi, s, ms, 0};
  civil::FillWeekday(&t);
  return t;
}

static void ExpectTime(const Time& want, const Time& got) {
  EXPECT_EQ(want.year, got.year);
  EXPECT_EQ(want.month, got.month);
  EXPECT_EQ(want.day, got.day);
  EXPECT_EQ(want.hour, got.hour);
  EXPECT_EQ(want.minute, got.minute);
  EXPECT_EQ(want.second, got.second);
  EXPECT_EQ(want.ms, got.ms);
  EXPECT_EQ(want.weekday, got.weekday);
}

TEST(CivilTime, ParsesTheToolsForm) {
  Time t;
  ASSERT_TRUE(civil::Parse(L"2026-12-07 13:45:09", &t));
  ExpectTime(Make(2026, 12, 7, 13, 45, 9), t);
  EXPECT_EQ(1, t.weekday);  // a Monday
  ASSERT_TRUE(civil::Parse(L"2024-02-29T00:00:00", &t));
  EXPECT_EQ(29, t.day);
}

TEST(CivilTime, RefusesMalformedAndImpossibleTimes) {
  const wchar_t* bad[] = {L"",
                          L"2026-12-07",
                          L"2026-12-07 13:45",
                          L"2026-12-07 13:45:09 ",
                          L"26-12-07 13:45:09",
                          L"2026/12/07 13:45:09",
                          L"2026-13-07 13:45:09",
                          L"2026-04-31 10:00:00",
                          L"2025-02-29 10:00:00",
                          L"1900-02-29 10:00:00",
                          L"2026-12-07 24:00:00",
                          L"2026-12-07 23:60:00",
                          L"2026-12-07 23:59:60",
                          L"1600-12-31 23:59:59",
                          L"2026-1a-07 13:45:09"};
  for (const wchar_t* text : bad) {
    Time t{};
    EXPECT_FALSE(civil::Parse(text, &t)) << static_cast<int>(text[0]);
  }
  Time t;
  EXPECT_FALSE(civil::Parse(nullptr, &t));
  EXPECT_TRUE(civil::Parse(L"2000-02-29 23:59:59", &t));  // 2000 is a leap year
}

TEST(CivilTime, WeekdaysOfKnownDates) {
  const struct {
    int y, m, d, weekday;
  } cases[] = {{1601, 1, 1, 1}, {1970, 1, 1, 4}, {2000, 1, 1, 6}, {2000, 2, 29, 2}, {2026, 12, 7, 1}, {2038, 1, 19, 2}};
  for (const auto& c : cases) EXPECT_EQ(c.weekday, Make(c.y, c.m, c.d, 0, 0, 0).weekday) << c.y << "-" << c.m;
}

TEST(CivilTime, AddCarriesThroughEveryField) {
  const struct {
    Time from;
    uint64_t ms;
    Time want;
  } cases[] = {
      {Make(2026, 12, 7, 13, 45, 9), 0, Make(2026, 12, 7, 13, 45, 9)},
      {Make(2026, 12, 7, 13, 45, 9, 999), 1, Make(2026, 12, 7, 13, 45, 10, 0)},
      {Make(2026, 12, 7, 23, 59, 59), 1000, Make(2026, 12, 8, 0, 0, 0)},
      {Make(2026, 12, 31, 23, 59, 59), 1000, Make(2027, 1, 1, 0, 0, 0)},
      {Make(2024, 2, 28, 12, 0, 0), 86400000ull, Make(2024, 2, 29, 12, 0, 0)},
      {Make(2025, 2, 28, 12, 0, 0), 86400000ull, Make(2025, 3, 1, 12, 0, 0)},
      {Make(2026, 1, 31, 0, 0, 0), 86400000ull * 29, Make(2026, 3, 1, 0, 0, 0)},
      {Make(2026, 1, 1, 0, 0, 0), 86400000ull * 365, Make(2027, 1, 1, 0, 0, 0)},
      {Make(2024, 1, 1, 0, 0, 0), 86400000ull * 366 + 61001, Make(2025, 1, 1, 0, 1, 1, 1)},
      {Make(30827, 12, 31, 23, 59, 59), 86400000ull * 2, Make(30827, 12, 31, 23, 59, 59, 999)},
  };
  for (const auto& c : cases) ExpectTime(c.want, civil::AddMs(c.from, c.ms));
}

TEST(CivilTime, AddAgreesWithDayNumbers) {
  Time t = Make(1999, 12, 30, 6, 0, 0);
  for (int step = 0; step < 1000; ++step) {
    Time next = civil::AddMs(t, 86400000ull);
    ASSERT_EQ(civil::DayNumber(t.year, t.month, t.day) + 1, civil::DayNumber(next.year, next.month, next.day));
    ASSERT_TRUE(civil::Valid(next));
    t = next;
  }
}

TEST(CivilTime, HugeStepsStopAtTheEndOfTheRange) {
  Time t = civil::AddMs(Make(2026, 1, 1, 0, 0, 0), 0xFFFFFFFFFFFFFFFFull);
  EXPECT_EQ(30827, t.year);
  EXPECT_TRUE(civil::Valid(t));
}
