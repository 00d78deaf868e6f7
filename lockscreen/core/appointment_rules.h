// The appointments' window, projection and ordering rules, apart from the
// calendar and from Win32: which items of the calendar the lock screen lists
// for the coming seven days, at which start, and in which order. The walk
// takes the calendar as a few callbacks so that the same rules run over the
// real calendar in the lock screen and over tables in the unit tests.
#pragma once
#include <cstdint>

#include "platform/core/calendar_values.h"
#include "platform/core/ole_date.h"

namespace appt {

constexpr int kCapacity = 20;        // rows a query fills at most
constexpr int kRecurringLimit = 15;  // recurring items moved onto their next occurrence per query
constexpr int kTableRows = 40;       // rows of the published table
constexpr double kWindowDays = 7.0;
constexpr int kStopPollItems = 64;

// The calendar's subject size and recurrence types, under the rules' names.
using calendar::kRecursDaily;
using calendar::kRecursMonthly;
using calendar::kRecursMonthNth;
using calendar::kRecursOther;
using calendar::kRecursWeekly;
using calendar::kRecursYearly;
using calendar::kRecursYearNth;
using calendar::kSubjectUnits;

// One row of a query's private table or of the published table. Empty rows
// are marked by `used`, not by the date: a DATE <= 0 is a real date before
// 1900 under the OLE rule.
struct Row {
  bool used;
  double start;
  bool allDay;
  char16_t subject[kSubjectUnits];
};

// What the walk reads of one item: Start, Subject, AllDayEvent, IsRecurring.
struct ItemFacts {
  double start;
  bool allDay;
  bool recurring;  // only when the IsRecurring read succeeded and said so
  char16_t subject[kSubjectUnits];
};

// What the walk reads of a series' pattern.
struct PatternFacts {
  bool noEndDate;
  double patternEnd;  // start of the last occurrence (or the UNTIL bound)
  bool typeRead;      // false: the RecurrenceType read failed
  int type;
  // The series runs on a clock of its own (a time zone other than the
  // device's): it is projected there, from its first start on that clock,
  // so that its wall-clock time stays put across daylight-saving changes.
  bool ownClock;
  double ownStart;
};

// The calendar as the walk sees it. Indexes are 1-based, in collection order.
struct Source {
  void* context;
  int count;
  // Reads an item; false when the collection has nothing at this index.
  bool (*item)(void* context, int index, ItemFacts* out);
  // Reads the item's pattern; false when GetRecurrencePattern failed.
  bool (*pattern)(void* context, int index, PatternFacts* out);
  // True when the series has no occurrence at `start` (removed or moved).
  bool (*excluded)(void* context, int index, double start);
  // A device DATE onto the series' own clock (toOwn) or back; false when
  // the clock cannot say. Asked only for a pattern with `ownClock`.
  bool (*convert)(void* context, int index, bool toOwn, double in, double* out);
  // True when the walk must end now (the lock screen is ending); polled
  // before the first item and then every kStopPollItems items (each poll
  // is a kernel call, and a calendar of years holds thousands of items).
  bool (*stop)(void* context);
};

// The moved start of a weekly, monthly or yearly series whose first start
// is `start`, seen on `today` (whose fields and DATE `now` describe the same
// moment, on the same clock as `start`). False when the occurrence does not exist (the 31st in a shorter
// month, 29 February in a common year). Any other type: `start` itself.
bool Project(int type, double start, const oledate::Fields& today, double now, double* out);

// The query's walk over `source` at the moment `now` (`today` its fields):
// fills at most `capacity` rows of `rows` in collection order and returns how
// many. `recurring` is in: the limit of moved series, out: how many recurring
// items were listed.
int Walk(const Source& source, const oledate::Fields& today, double now, Row* rows, int capacity, bool moving,
         int* recurring);

// Publication: the first `filled` rows of `rows`, sorted by start (equal
// starts keep their order), into `table` rows 0 upwards; every other row of
// `table` is emptied. `rows` is consumed.
void Publish(Row* rows, int filled, Row* table, int tableRows);

}  // namespace appt
