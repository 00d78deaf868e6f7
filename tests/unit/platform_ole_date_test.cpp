// OLE dates by hand: known values, the OLE rule before 1900, month lengths,
// weekdays and the round trip.
#include "platform/core/ole_date.h"

#include <gtest/gtest.h>

namespace {

using oledate::Fields;

TEST(OleDate, KnownValues) {
  struct Case {
    Fields f;
    double ole;
  } cases[] = {
      {{1899, 12, 30, 0, 0, 0, 0}, 0.0},
      {{1899, 12, 31, 0, 0, 0, 0}, 1.0},
      {{1900, 1, 1, 12, 0, 0, 0}, 2.5},
      {{1899, 12, 29, 6, 0, 0, 0}, -1.25},  // the OLE rule: the fraction runs forwards
      {{1899, 12, 28, 18, 0, 0, 0}, -2.75},
      {{2000, 1, 1, 0, 0, 0, 0}, 36526.0},
      {{2027, 1, 13, 10, 0, 0, 0}, 46400.0 + 10.0 / 24.0},
      {{100, 1, 1, 0, 0, 0, 0}, -657434.0},
      {{9999, 12, 31, 0, 0, 0, 0}, 2958465.0},
  };
  for (const Case& c : cases) {
    double out;
    ASSERT_TRUE(oledate::FromFields(c.f, &out));
    EXPECT_DOUBLE_EQ(out, c.ole) << c.f.year << "-" << c.f.month << "-" << c.f.day;
    Fields back;
    ASSERT_TRUE(oledate::ToFields(c.ole, &back));
    EXPECT_EQ(back.year, c.f.year);
    EXPECT_EQ(back.month, c.f.month);
    EXPECT_EQ(back.day, c.f.day);
    EXPECT_EQ(back.hour, c.f.hour);
  }
}

TEST(OleDate, MonthLengthsAreChecked) {
  double out = 7;
  EXPECT_FALSE(oledate::FromFields({2027, 4, 31, 0, 0, 0, 0}, &out));
  EXPECT_FALSE(oledate::FromFields({2027, 2, 29, 0, 0, 0, 0}, &out));
  EXPECT_FALSE(oledate::FromFields({1900, 2, 29, 0, 0, 0, 0}, &out));
  EXPECT_TRUE(oledate::FromFields({2000, 2, 29, 0, 0, 0, 0}, &out));
  EXPECT_TRUE(oledate::FromFields({2028, 2, 29, 0, 0, 0, 0}, &out));
  EXPECT_FALSE(oledate::FromFields({2027, 13, 1, 0, 0, 0, 0}, &out));
  EXPECT_FALSE(oledate::FromFields({2027, 1, 1, 24, 0, 0, 0}, &out));
  EXPECT_FALSE(oledate::FromFields({99, 12, 31, 0, 0, 0, 0}, &out));
  EXPECT_FALSE(oledate::FromFields({10000, 1, 1, 0, 0, 0, 0}, &out));
}

TEST(OleDate, Weekdays) {
  Fields f;
  ASSERT_TRUE(oledate::ToFields(0.0, &f));
  EXPECT_EQ(f.weekday, 6);  // 1899-12-30 was a Saturday
  ASSERT_TRUE(oledate::ToFields(-1.25, &f));
  EXPECT_EQ(f.weekday, 5);
  double d;
  ASSERT_TRUE(oledate::FromFields({2027, 1, 13, 0, 0, 0, 0}, &d));
  ASSERT_TRUE(oledate::ToFields(d, &f));
  EXPECT_EQ(f.weekday, 3);  // a Wednesday
}

TEST(OleDate, RoundingCarriesIntoTheNextDay) {
  Fields f;
  ASSERT_TRUE(oledate::ToFields(1.0 - 0.1 / 86400.0, &f));
  EXPECT_EQ(f.day, 31);
  EXPECT_EQ(f.hour, 0);
  ASSERT_TRUE(oledate::ToFields(-1.0 - (1.0 - 0.1 / 86400.0), &f));  // day -1, almost 24:00
  EXPECT_EQ(f.day, 30);
  EXPECT_EQ(f.month, 12);
  EXPECT_EQ(f.year, 1899);
}

TEST(OleDate, LinearOrdersDatesBefore1900) {
  EXPECT_LT(oledate::Linear(-1.25), oledate::Linear(-1.5));  // 06:00 before 12:00 the same day
  EXPECT_LT(oledate::Linear(-2.75), oledate::Linear(-1.0));
  EXPECT_DOUBLE_EQ(oledate::Linear(2.5), 2.5);
}

TEST(OleDate, RefusesNonNumbers) {
  Fields f;
  EXPECT_FALSE(oledate::ToFields(0.0 / 0.0 * 0 + __builtin_nan(""), &f));
  EXPECT_FALSE(oledate::ToFields(1e12, &f));
  EXPECT_FALSE(oledate::ToFields(-1e12, &f));
}

TEST(OleDate, RoundTripOverManyDays) {
  for (int64_t day = -700000; day < 3000000; day += 997) {
    Fields f;
    const double d = oledate::Make(day, 0.5);
    if (!oledate::ToFields(d, &f)) continue;
    double back;
    ASSERT_TRUE(oledate::FromFields(f, &back));
    EXPECT_EQ(back, d) << day;
    EXPECT_EQ(f.weekday, oledate::WeekdayOfDayNumber(day));
  }
}

}  // namespace
