// The appointments' window, projection and ordering rules over a table
// calendar at fixed moments, including the mends: no projection before the
// first start or after the pattern's end, no occurrence that does not exist
// or that the user removed, and no early end of the walk at an all-day item.
#include "lockscreen/core/appointment_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Table rows leave the trailing members at their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using oledate::Fields;

double At(int y, int mo, int d, int h = 0, int mi = 0) {
  double out = -1e9;
  EXPECT_TRUE(oledate::FromFields(Fields{y, mo, d, h, mi, 0, 0}, &out)) << y << "-" << mo << "-" << d;
  return out;
}

struct FakeItem {
  double start;
  bool allDay;
  bool recurring;
  const char* subject;
  int type = -1;  // -1: GetRecurrencePattern fails
  bool noEnd = true;
  double end = 0;
  bool typeRead = true;
  std::vector<double> excluded;
  bool missing = false;  // Item returns nothing at this index
};

struct Fake {
  std::vector<FakeItem> items;
  int patternReads = 0;
  int stopAfter = -1;  // stop once this many items were read
  int reads = 0;
};

bool ItemCb(void* c, int index, appt::ItemFacts* out) {
  Fake* f = static_cast<Fake*>(c);
  const FakeItem& it = f->items[index - 1];
  ++f->reads;
  if (it.missing) return false;
  out->start = it.start;
  out->allDay = it.allDay;
  out->recurring = it.recurring;
  size_t i = 0;
  for (; it.subject[i] != 0 && i < appt::kSubjectUnits - 1; ++i) out->subject[i] = it.subject[i];
  out->subject[i] = 0;
  return true;
}
bool PatternCb(void* c, int index, appt::PatternFacts* out) {
  Fake* f = static_cast<Fake*>(c);
  const FakeItem& it = f->items[index - 1];
  ++f->patternReads;
  if (it.type < 0) return false;
  *out = appt::PatternFacts{it.noEnd, it.end, it.typeRead, it.type};
  return true;
}
bool ExcludedCb(void* c, int index, double start) {
  for (double x : static_cast<Fake*>(c)->items[index - 1].excluded)
    if (x == start) return true;
  return false;
}
bool StopCb(void* c) {
  Fake* f = static_cast<Fake*>(c);
  return f->stopAfter >= 0 && f->reads >= f->stopAfter;
}

struct Result {
  std::vector<appt::Row> rows;
  int recurring;
};

Result Query(Fake& fake, double now, bool moving = true, int limit = appt::kRecurringLimit) {
  Fields today;
  EXPECT_TRUE(oledate::ToFields(now, &today));
  appt::Source s{&fake, static_cast<int>(fake.items.size()), ItemCb, PatternCb, ExcludedCb, nullptr, StopCb};
  appt::Row rows[appt::kCapacity] = {};
  int recurring = limit;
  const int n = appt::Walk(s, today, now, rows, appt::kCapacity, moving, &recurring);
  Result r{std::vector<appt::Row>(rows, rows + n), recurring};
  return r;
}

std::string Subject(const appt::Row& r) {
  std::string s;
  for (int i = 0; r.subject[i] != 0; ++i) s.push_back(static_cast<char>(r.subject[i]));
  return s;
}

std::vector<std::string> Subjects(const Result& r) {
  std::vector<std::string> out;
  for (const appt::Row& row : r.rows) out.push_back(Subject(row));
  return out;
}

// Wednesday 13 January 2027, 10:00.
const double kNow = At(2027, 1, 13, 10, 0);
const double kMinute = 1.0 / 1440.0;

TEST(AppointmentWindow, TimedItemsFromNowForSevenDays) {
  struct Case {
    double start;
    bool listed;
  } cases[] = {
      {kNow, true},                    // starting exactly now
      {kNow - kMinute, false},         // started a minute ago, still going on
      {kNow + 7.0, false},             // exactly seven days ahead
      {kNow + 7.0 - kMinute, true},    // a minute before that
      {At(2027, 1, 13, 0, 0), false},  // earlier today
  };
  for (const Case& c : cases) {
    Fake f;
    f.items = {{c.start, false, false, "x"}};
    EXPECT_EQ(Query(f, kNow).rows.size(), c.listed ? 1u : 0u) << c.start;
  }
}

TEST(AppointmentWindow, AllDayFromYesterdayToFiveDaysAhead) {
  for (int offset = -3; offset <= 8; ++offset) {
    Fake f;
    f.items = {{At(2027, 1, 13) + offset, true, false, "x"}};
    const bool expected = offset >= -1 && offset <= 5;
    EXPECT_EQ(Query(f, kNow).rows.size(), expected ? 1u : 0u) << offset;
  }
}

TEST(AppointmentWindow, YearlyAllDaySeriesFromTodayToSixDaysAhead) {
  for (int offset = -2; offset <= 8; ++offset) {
    Fields day;
    ASSERT_TRUE(oledate::ToFields(At(2027, 1, 13) + offset, &day));
    Fake f;
    f.items = {{At(1990, day.month, day.day), true, true, "birthday", appt::kRecursYearly}};
    const Result r = Query(f, kNow);
    const bool expected = offset >= 0 && offset <= 6;
    ASSERT_EQ(r.rows.size(), expected ? 1u : 0u) << offset;
    if (expected) {
      EXPECT_EQ(r.rows[0].start, At(2027, 1, 13) + offset);
    }
  }
}

TEST(AppointmentWindow, BirthdaySeriesBefore1900) {
  Fake f;
  f.items = {{At(1850, 1, 15), true, true, "great-grandmother", appt::kRecursYearly}};
  ASSERT_LT(f.items[0].start, 0.0);
  const Result r = Query(f, kNow);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0].start, At(2027, 1, 15));
  // A timed series before 1900: the OLE rule keeps its time of day.
  Fake g;
  g.items = {{At(1899, 12, 29, 18, 0), false, true, "x", appt::kRecursWeekly}};  // a Friday
  const Result rg = Query(g, kNow);
  ASSERT_EQ(rg.rows.size(), 1u);
  EXPECT_EQ(rg.rows[0].start, At(2027, 1, 15, 18, 0));
}

TEST(AppointmentProjection, WeeklyTodayBeforeAndAfterItsTime) {
  Fake ahead;
  ahead.items = {{At(2026, 6, 3, 11, 0), false, true, "ahead", appt::kRecursWeekly}};  // a Wednesday
  Result r = Query(ahead, kNow);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0].start, At(2027, 1, 13, 11, 0));
  EXPECT_EQ(r.recurring, 1);

  Fake passed;
  passed.items = {{At(2026, 6, 3, 9, 0), false, true, "passed", appt::kRecursWeekly}};
  r = Query(passed, kNow);
  EXPECT_TRUE(r.rows.empty());  // next week's occurrence is not considered
  EXPECT_EQ(r.recurring, 0);

  Fake later;  // a Monday series: next Monday
  later.items = {{At(2026, 6, 1, 8, 0), false, true, "monday", appt::kRecursWeekly}};
  r = Query(later, kNow);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0].start, At(2027, 1, 18, 8, 0));
}

TEST(AppointmentProjection, MonthlyAndYearly) {
  Fields today;
  double out;
  struct Case {
    int type;
    double start;
    double now;
    bool exists;
    double expected;
  } cases[] = {
      {appt::kRecursMonthly, At(2026, 3, 2, 9, 0), At(2027, 1, 30, 12, 0), true, At(2027, 2, 2, 9, 0)},
      {appt::kRecursMonthly, At(2026, 3, 2, 9, 0), At(2027, 2, 1, 12, 0), true, At(2027, 2, 2, 9, 0)},
      {appt::kRecursMonthly, At(2026, 3, 15, 9, 0), At(2027, 1, 16, 12, 0), true, At(2027, 2, 15, 9, 0)},
      {appt::kRecursMonthly, At(2026, 3, 15, 9, 0), At(2027, 12, 16, 12, 0), true, At(2028, 1, 15, 9, 0)},
      {appt::kRecursMonthly, At(2026, 3, 31, 9, 0), At(2027, 4, 28, 12, 0), false, 0},  // 31 April
      {appt::kRecursYearly, At(2020, 2, 29, 0, 0), At(2027, 2, 20, 12, 0), false, 0},   // common year
      {appt::kRecursYearly, At(2020, 2, 29, 0, 0), At(2028, 2, 20, 12, 0), true, At(2028, 2, 29)},
      {appt::kRecursYearly, At(2020, 1, 5, 8, 0), At(2027, 1, 13, 12, 0), true, At(2027, 1, 5, 8, 0)},
      {appt::kRecursYearly, At(2020, 12, 20, 8, 0), At(2027, 1, 13, 12, 0), true, At(2027, 12, 20, 8, 0)},
      {appt::kRecursYearly, At(2020, 1, 2, 8, 0), At(2027, 12, 28, 12, 0), true, At(2028, 1, 2, 8, 0)},
      {appt::kRecursDaily, At(2020, 1, 2, 8, 0), At(2027, 12, 28, 12, 0), true, At(2020, 1, 2, 8, 0)},
      {appt::kRecursMonthNth, At(2020, 1, 2, 8, 0), At(2027, 12, 28, 12, 0), true, At(2020, 1, 2, 8, 0)},
      {appt::kRecursOther, At(2020, 1, 2, 8, 0), At(2027, 12, 28, 12, 0), true, At(2020, 1, 2, 8, 0)},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(oledate::ToFields(c.now, &today));
    out = -1;
    EXPECT_EQ(appt::Project(c.type, c.start, today, c.now, &out), c.exists) << c.type << " " << c.start;
    if (c.exists) {
      EXPECT_EQ(out, c.expected) << c.type << " " << c.start;
    }
  }
}

TEST(AppointmentWindow, MonthlyOnTheSecondAndFifteenth) {
  Fake f;
  f.items = {{At(2026, 3, 2, 9, 0), false, true, "second", appt::kRecursMonthly},
             {At(2026, 3, 15, 9, 0), false, true, "fifteenth", appt::kRecursMonthly}};
  EXPECT_EQ(Subjects(Query(f, At(2027, 1, 30, 12, 0))), std::vector<std::string>{"second"});
  EXPECT_EQ(Subjects(Query(f, At(2027, 2, 1, 12, 0))), std::vector<std::string>{"second"});
  EXPECT_TRUE(Query(f, At(2027, 1, 16, 12, 0)).rows.empty());  // moves to 15 Feb: outside
}

TEST(AppointmentWindow, YearlyPassedThisMonthIsNotListed) {
  Fake f;
  f.items = {{At(2020, 1, 12, 9, 0), false, true, "passed", appt::kRecursYearly}};
  EXPECT_TRUE(Query(f, kNow).rows.empty());
}

TEST(AppointmentWindow, DailyAndOtherTypesKeepTheirFirstStart) {
  for (int type : {appt::kRecursDaily, appt::kRecursMonthNth, appt::kRecursYearNth, appt::kRecursOther}) {
    Fake old;
    old.items = {{At(2026, 1, 1, 9, 0), false, true, "old", type}};
    EXPECT_TRUE(Query(old, kNow).rows.empty()) << type;
    Fake soon;
    soon.items = {{At(2027, 1, 15, 9, 0), false, true, "soon", type}};
    EXPECT_EQ(Query(soon, kNow).rows.size(), 1u) << type;
  }
}

TEST(AppointmentWindow, EndedPatternNeverListedOpenOneNeverSkipped) {
  Fake ended;
  ended.items = {{At(2026, 6, 3, 11, 0), false, true, "ended", appt::kRecursWeekly, false, kNow - kMinute}};
  EXPECT_TRUE(Query(ended, kNow).rows.empty());
  EXPECT_EQ(ended.patternReads, 1);
  Fake open;  // NoEndDate: a stale PatternEndDate means nothing
  open.items = {{At(2026, 6, 3, 11, 0), false, true, "open", appt::kRecursWeekly, true, 1.0}};
  EXPECT_EQ(Query(open, kNow).rows.size(), 1u);
}

TEST(AppointmentMends, ProjectionNeverBeforeFirstStartNorAfterPatternEnd) {
  Fake future;  // weekly from a Wednesday three weeks ahead: not this week
  future.items = {{At(2027, 2, 3, 11, 0), false, true, "future", appt::kRecursWeekly}};
  EXPECT_TRUE(Query(future, kNow).rows.empty());
  Fake starts;  // weekly from this Friday: listed at its first start
  starts.items = {{At(2027, 1, 15, 11, 0), false, true, "starts", appt::kRecursWeekly}};
  ASSERT_EQ(Query(starts, kNow).rows.size(), 1u);
  Fake lastDone;  // last occurrence was Monday; the pattern ends tomorrow (UNTIL)
  lastDone.items = {{At(2026, 6, 1, 8, 0), false, true, "ending", appt::kRecursWeekly, false, At(2027, 1, 14, 23, 59)}};
  EXPECT_TRUE(Query(lastDone, kNow).rows.empty());
  Fake lastToday;  // the last occurrence is today at 11:00, after now: listed
  lastToday.items = {{At(2026, 6, 3, 11, 0), false, true, "last", appt::kRecursWeekly, false, At(2027, 1, 13, 11, 0)}};
  EXPECT_EQ(Query(lastToday, kNow).rows.size(), 1u);
}

TEST(AppointmentMends, OccurrencesThatDoNotExistAreNotListed) {
  Fake f;
  f.items = {{At(2026, 1, 31, 9, 0), false, true, "31st", appt::kRecursMonthly},
             {At(2024, 2, 29), true, true, "leap", appt::kRecursYearly}};
  EXPECT_TRUE(Query(f, At(2027, 4, 28, 8, 0)).rows.empty());
  EXPECT_TRUE(Query(f, At(2027, 2, 25, 8, 0)).rows.empty());
  EXPECT_EQ(Subjects(Query(f, At(2028, 2, 25, 8, 0))), std::vector<std::string>{"leap"});
}

TEST(AppointmentMends, RemovedOccurrenceIsNotListed) {
  Fake f;
  f.items = {{At(2026, 6, 3, 11, 0), false, true, "weekly", appt::kRecursWeekly}};
  f.items[0].excluded = {At(2027, 1, 13, 11, 0)};
  const Result r = Query(f, kNow);
  EXPECT_TRUE(r.rows.empty());
  EXPECT_EQ(r.recurring, 0);
}

TEST(AppointmentMends, AllDayItemSixDaysAheadDoesNotEndTheWalk) {
  Fake f;
  f.items = {{At(2027, 1, 19), true, false, "all-day"},            // outside its own window
             {At(2027, 1, 19, 8, 0), false, false, "timed"},       // inside now + 7 days
             {At(2027, 1, 20, 10, 0), false, false, "beyond"},     // ends the walk
             {At(2027, 1, 14, 10, 0), false, false, "unsorted"}};  // never read
  EXPECT_EQ(Subjects(Query(f, kNow)), std::vector<std::string>{"timed"});
  EXPECT_EQ(f.reads, 3);
}

TEST(AppointmentWindow, RecurringBeyondOrBeforeOnlyPassedOver) {
  Fake f;
  f.items = {{At(2026, 1, 1, 9, 0), false, true, "daily-old", appt::kRecursDaily},
             {At(2027, 3, 1, 9, 0), false, true, "daily-later", appt::kRecursDaily},
             {At(2027, 1, 1, 9, 0), false, false, "past"},
             {At(2027, 1, 14, 9, 0), false, false, "tomorrow"}};
  EXPECT_EQ(Subjects(Query(f, kNow)), std::vector<std::string>{"tomorrow"});
}

TEST(AppointmentWindow, MoreThanTwentyItemsFirstTwentyInCollectionOrderThenSorted) {
  Fake f;
  for (int i = 0; i < 25; ++i) {
    static char names[25][8];
    snprintf(names[i], sizeof names[i], "n%02d", i);
    f.items.push_back({kNow + 6.0 - i * 0.1, false, false, names[i]});  // descending starts
  }
  Result r = Query(f, kNow);
  ASSERT_EQ(r.rows.size(), 20u);
  EXPECT_EQ(f.reads, 20);
  appt::Row table[appt::kTableRows];
  appt::Publish(r.rows.data(), 20, table, appt::kTableRows);
  for (int k = 0; k < 20; ++k) {
    ASSERT_TRUE(table[k].used);
    char want[8];
    snprintf(want, sizeof want, "n%02d", 19 - k);
    EXPECT_EQ(Subject(table[k]), want);
  }
  for (int k = 20; k < appt::kTableRows; ++k) EXPECT_FALSE(table[k].used);
}

TEST(AppointmentWindow, FifteenRecurringLimit) {
  Fake f;
  for (int i = 0; i < 17; ++i) f.items.push_back({At(2026, 6, 3, 11, 0), false, true, "weekly", appt::kRecursWeekly});
  f.items.push_back({At(2027, 1, 14, 9, 0), false, true, "first start inside", appt::kRecursWeekly});
  const Result r = Query(f, kNow);
  ASSERT_EQ(r.rows.size(), 16u);  // 15 moved, 2 tested at their old start, 1 at its start inside
  EXPECT_EQ(r.recurring, 16);
  EXPECT_EQ(f.patternReads, 15);
  EXPECT_EQ(Subject(r.rows[15]), "first start inside");
}

TEST(AppointmentWindow, EqualStartsKeepCollectionOrder) {
  Fake f;
  f.items = {{kNow + 1, false, false, "b-first"},
             {kNow + 0.5, false, false, "a"},
             {kNow + 1, false, false, "b-second"},
             {kNow + 1, false, false, "b-third"}};
  Result r = Query(f, kNow);
  appt::Row table[appt::kTableRows];
  appt::Publish(r.rows.data(), static_cast<int>(r.rows.size()), table, appt::kTableRows);
  EXPECT_EQ(Subject(table[0]), "a");
  EXPECT_EQ(Subject(table[1]), "b-first");
  EXPECT_EQ(Subject(table[2]), "b-second");
  EXPECT_EQ(Subject(table[3]), "b-third");
  EXPECT_FALSE(table[4].used);
}

TEST(AppointmentWindow, FailedReads) {
  Fake f;  // no pattern: tested at its own start but counted as recurring
  f.items = {{kNow + 1, false, true, "no pattern", -1},
             {At(2026, 6, 3, 11, 0), false, true, "no type", appt::kRecursWeekly},
             {At(2027, 1, 12), true, true, "all-day no type", appt::kRecursYearly},
             {kNow + 2, false, false, "missing"}};
  f.items[1].typeRead = false;
  f.items[2].typeRead = false;  // not read as yearly: the window starts yesterday
  f.items[3].missing = true;
  const Result r = Query(f, kNow);
  EXPECT_EQ(Subjects(r), (std::vector<std::string>{"no pattern", "all-day no type"}));
  EXPECT_EQ(r.recurring, 2);
}

TEST(AppointmentWindow, MovingOffTestsSeriesAtTheirStart) {
  Fake f;
  f.items = {{At(2026, 6, 3, 11, 0), false, true, "weekly", appt::kRecursWeekly}};
  EXPECT_TRUE(Query(f, kNow, false).rows.empty());
  EXPECT_EQ(f.patternReads, 0);
}

TEST(AppointmentWindow, StopEndsTheWalkAtTheNextPoll) {
  Fake f;
  for (int i = 0; i < 200; ++i) f.items.push_back({kNow - 1, false, false, "past"});
  f.items.push_back({kNow + 1, false, false, "future"});
  f.stopAfter = 10;  // the end comes while the tenth item is read
  EXPECT_TRUE(Query(f, kNow).rows.empty());
  EXPECT_EQ(f.reads, appt::kStopPollItems);  // items up to the next poll, none after
  Fake at;
  at.items = {{kNow + 1, false, false, "one"}};
  at.stopAfter = 0;  // already ended: nothing is read
  EXPECT_TRUE(Query(at, kNow).rows.empty());
  EXPECT_EQ(at.reads, 0);
}

TEST(AppointmentWindow, SubjectIsCopiedTerminated) {
  Fake f;
  f.items = {{kNow + 1, false, false, "hello"}};
  const Result r = Query(f, kNow);
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_TRUE(r.rows[0].used);
  EXPECT_FALSE(r.rows[0].allDay);
  EXPECT_EQ(Subject(r.rows[0]), "hello");
}

}  // namespace
