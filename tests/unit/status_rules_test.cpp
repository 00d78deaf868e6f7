// The refresh thread's rules: change detection, the battery text, the
// clock and date tests and the period arithmetic.
#include "lockscreen/core/status_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::wstring Text(const status::Battery& b) { return std::wstring(b.text); }

TEST(StatusCounts, OneInvalidationForAnyNumberOfChanges) {
  struct Case {
    status::Counts now;
    bool changed;
  } cases[] = {
      {{0, 0, 0}, false},  // the first tick with all counts 0
      {{1, 0, 0}, true},  {{1, 0, 0}, false}, {{1, 2, 0}, true},  {{1, 2, 3}, true},  {{4, 5, 6}, true},
      {{4, 5, 6}, false}, {{0, 0, 0}, true},  {{0, 0, 0}, false}, {{-1, 0, 0}, true},
  };
  status::Counts last;
  for (const Case& c : cases) {
    EXPECT_EQ(status::CountsChanged(c.now, last), c.changed) << c.now.sms << c.now.mail << c.now.missed;
    EXPECT_EQ(last.sms, c.now.sms);
    EXPECT_EQ(last.mail, c.now.mail);
    EXPECT_EQ(last.missed, c.now.missed);
  }
}

TEST(StatusBattery, Format) {
  struct Case {
    int32_t percent;
    const wchar_t* text;
  } cases[] = {
      {0, L"B[  0%]"},   {5, L"B[  5%]"},   {24, L"B[ 24%]"}, {85, L"B[ 85%]"},
      {100, L"B[100%]"}, {254, L"B[254%]"}, {-3, L"B[  0%]"}, {12345, L"B[999%]"},
  };
  for (const Case& c : cases) {
    wchar_t out[32];
    status::FormatBatteryText(c.percent, out, 32);
    EXPECT_EQ(std::wstring(out), c.text) << c.percent;
  }
  wchar_t small[4] = {L'x', L'x', L'x', L'x'};
  status::FormatBatteryText(5, small, 4);
  EXPECT_EQ(std::wstring(small), L"B[ ");  // cut, terminated
}

TEST(StatusBattery, StartsUnknown) {
  status::Battery b;
  EXPECT_EQ(Text(b), L"B[100%]");
  EXPECT_FALSE(status::BatteryWarning(b));  // a desktop without a battery is not red
}

TEST(StatusBattery, ReadingsInOrder) {
  struct Step {
    bool ok;
    uint8_t percent;
    bool changed;
    const wchar_t* text;
    bool warning;
  } steps[] = {
      {false, 5, false, L"B[100%]", false},   // failed query
      {true, 255, false, L"B[100%]", false},  // not known
      // A real 0 % at the first reading is shown (the starting 0 is not a
      // reading), and is a warning.
      {true, 0, true, L"B[  0%]", true},
      {true, 0, false, L"B[  0%]", true},
      {true, 5, true, L"B[  5%]", true},
      {true, 5, false, L"B[  5%]", true},
      {true, 255, false, L"B[  5%]", true},
      {true, 24, true, L"B[ 24%]", true},
      {true, 25, true, L"B[ 25%]", false},
      {true, 100, true, L"B[100%]", false},
      {false, 3, false, L"B[100%]", false},
  };
  status::Battery b;
  for (const Step& s : steps) {
    EXPECT_EQ(status::BatteryReading(s.ok, s.percent, b), s.changed) << int(s.percent);
    EXPECT_EQ(Text(b), s.text) << int(s.percent);
    EXPECT_EQ(status::BatteryWarning(b), s.warning) << int(s.percent);
  }
}

TEST(StatusBattery, FirstReadingOf100IsStillARealReading) {
  status::Battery b;
  EXPECT_TRUE(status::BatteryReading(true, 100, b));
  EXPECT_TRUE(b.known);
  EXPECT_EQ(Text(b), L"B[100%]");
}

TEST(StatusDate, YearMonthAndDayCount) {
  status::DateKey last;
  EXPECT_TRUE(status::DateChanged(2026, 12, 7, last));  // the first test repaints
  EXPECT_FALSE(status::DateChanged(2026, 12, 7, last));
  EXPECT_TRUE(status::DateChanged(2027, 1, 7, last));  // same day number, next month
  EXPECT_TRUE(status::DateChanged(2028, 1, 7, last));  // same day and month, next year
  EXPECT_TRUE(status::DateChanged(2028, 1, 8, last));
  EXPECT_FALSE(status::DateChanged(2028, 1, 8, last));
}

TEST(StatusClock, ByClockType) {
  struct Case {
    int32_t type, hour, minute;
    bool analog;
    int invalidations;
  } cases[] = {
      {1, 10, 5, true, 0}, {1, 11, 6, true, 0},                       // analog: redraws itself, last values untouched
      {2, 0, 0, false, 0},                                            // digital: starts at 0:00
      {2, 0, 1, false, 1}, {2, 0, 1, false, 0}, {2, 1, 0, false, 2},  // on the hour: both
      {2, 1, 0, false, 0}, {0, 5, 5, false, 0}, {3, 5, 5, false, 0}, {-1, 7, 7, false, 0},
  };
  int32_t lastHour = 0, lastMinute = 0;
  for (const Case& c : cases) {
    status::ClockStep s = status::ClockTick(c.type, c.hour, c.minute, lastHour, lastMinute);
    EXPECT_EQ(s.callAnalog, c.analog) << c.type << " " << c.hour << ":" << c.minute;
    EXPECT_EQ(s.invalidations, c.invalidations) << c.type << " " << c.hour << ":" << c.minute;
  }
  EXPECT_EQ(lastHour, 1);
  EXPECT_EQ(lastMinute, 0);
}

TEST(StatusPeriod, TicksIn64Bits) {
  struct Case {
    int32_t timeOut;
    int64_t ticks;
  } cases[] = {
      {8, 40},
      {1, 5},
      {0, 0},
      {-1, 0},
      {INT_MIN, 0},
      {INT_MAX, static_cast<int64_t>(INT_MAX) * 5},  // no 32-bit wrap to a negative period
      {429496730, 2147483650LL},                     // beyond 32 bits signed
  };
  for (const Case& c : cases) EXPECT_EQ(status::TicksPerPeriod(c.timeOut), c.ticks) << c.timeOut;
}

TEST(StatusPeriod, EndOnBatteryOnly) {
  EXPECT_EQ(status::AtPeriodEnd(true, 0), status::PeriodEnd::kGoDark);
  EXPECT_EQ(status::AtPeriodEnd(true, 1), status::PeriodEnd::kNewPeriod);
  EXPECT_EQ(status::AtPeriodEnd(true, 2), status::PeriodEnd::kNewPeriod);
  EXPECT_EQ(status::AtPeriodEnd(true, 255), status::PeriodEnd::kNewPeriod);
  // A failed query counts as "not available": keep running, never dark.
  EXPECT_EQ(status::AtPeriodEnd(false, 0), status::PeriodEnd::kNewPeriod);
}

}  // namespace
