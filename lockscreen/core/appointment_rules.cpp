// The appointments' window, projection and ordering rules; see
// appointment_rules.h. Comparisons run on oledate::Linear so that a first
// start before 1900 (a birthday series) compares as the date it is.
#include "lockscreen/core/appointment_rules.h"

namespace appt {

bool Project(int type, double start, const oledate::Fields& today, double now, double* out) {
  if (type != kRecursWeekly && type != kRecursMonthly && type != kRecursYearly) {
    *out = start;  // daily and every other type keep their first start
    return true;
  }
  oledate::Fields f;
  if (!oledate::ToFields(start, &f)) return false;
  if (type == kRecursWeekly) {
    // The same time of day on the next such weekday, today included.
    int d = f.weekday - today.weekday;
    if (d < 0) d += 7;
    *out = oledate::Make(oledate::WholeDays(now) + d, oledate::TimeOfDay(start));
    return true;
  }
  if (type == kRecursMonthly) {
    f.year = today.year;
    f.month = today.month;
    if (today.day > f.day) {
      if (++f.month > 12) {
        f.month = 1;
        ++f.year;
      }
    }
  } else {
    // Yearly: this year, or the next one once its month has gone by (the
    // day is not compared: a passed day of this month stays in the past).
    f.year = today.year + (today.month > f.month ? 1 : 0);
  }
  // An occurrence that does not exist (the 31st of a 30-day month, 29
  // February of a common year) is not there: FromFields refuses it.
  return oledate::FromFields(f, out);
}

// The projected start of a series in device time; false when the
// occurrence does not exist. A projection never lands before the series'
// first start. A series on its own clock is projected on that clock from
// "now" there; when a conversion fails it is tested at its first start.
static bool Moved(const Source& source, int index, const PatternFacts& pattern, double start,
                  const oledate::Fields& today, double now, double* moved) {
  if (!pattern.ownClock || source.convert == nullptr) {
    if (!Project(pattern.type, start, today, now, moved)) return false;
    if (oledate::Linear(*moved) < oledate::Linear(start)) *moved = start;
    return true;
  }
  double nowOwn, movedOwn;
  oledate::Fields todayOwn;
  if (!source.convert(source.context, index, true, now, &nowOwn) || !oledate::ToFields(nowOwn, &todayOwn)) {
    *moved = start;
    return true;
  }
  if (!Project(pattern.type, pattern.ownStart, todayOwn, nowOwn, &movedOwn)) return false;
  if (oledate::Linear(movedOwn) <= oledate::Linear(pattern.ownStart) ||
      !source.convert(source.context, index, false, movedOwn, moved))
    *moved = start;
  return true;
}

int Walk(const Source& source, const oledate::Fields& today, double now, Row* rows, int capacity, bool moving,
         int* recurring) {
  const int limit = *recurring;
  int listedRecurring = 0;
  int filled = 0;
  const double nowLine = oledate::Linear(now);
  const double midnight = static_cast<double>(oledate::WholeDays(nowLine));
  for (int index = 1; index <= source.count && filled < capacity; ++index) {
    if (source.stop != nullptr && (index - 1) % kStopPollItems == 0 && source.stop(source.context)) break;
    ItemFacts item{};
    if (!source.item(source.context, index, &item)) continue;
    double start = item.start;
    double low = item.allDay ? midnight : nowLine;
    bool yearlyRead = false;
    if (item.recurring && moving && listedRecurring < limit) {
      PatternFacts pattern{};
      if (source.pattern(source.context, index, &pattern)) {
        if (!pattern.noEndDate && oledate::Linear(pattern.patternEnd) < nowLine) continue;  // over
        if (pattern.typeRead) {
          yearlyRead = pattern.type == kRecursYearly;
          double moved;
          if (!Moved(source, index, pattern, start, today, now, &moved)) continue;
          if (!pattern.noEndDate && oledate::Linear(moved) > oledate::Linear(pattern.patternEnd)) continue;
          start = moved;
        }
      }
    }
    if (item.allDay && !yearlyRead) low -= 1.0;
    const double high = low + kWindowDays;
    const double at = oledate::Linear(start);
    if (at >= low && at < high) {
      // An occurrence the user removed or moved is not listed at this time.
      if (item.recurring && source.excluded != nullptr && source.excluded(source.context, index, start)) continue;
      if (item.recurring) ++listedRecurring;
      Row& row = rows[filled++];
      row.used = true;
      row.start = start;
      row.allDay = item.allDay;
      for (int i = 0; i < kSubjectUnits; ++i) row.subject[i] = item.subject[i];
      row.subject[kSubjectUnits - 1] = 0;
      continue;
    }
    // The collection is in start order: the first one-off item that starts
    // at or after the widest window's end (now + 7 days) ends the walk. An
    // item merely past its own, narrower window (an all-day item six days
    // ahead) is passed over, so that a timed item later that day is still
    // read.
    if (!item.recurring && at >= nowLine + kWindowDays) break;
  }
  *recurring = listedRecurring;
  return filled;
}

void Publish(Row* rows, int filled, Row* table, int tableRows) {
  for (int k = 0; k < tableRows; ++k) table[k] = Row{};
  for (int k = 0; k < filled && k < tableRows; ++k) {
    int best = -1;
    for (int i = 0; i < filled; ++i) {
      if (!rows[i].used) continue;
      if (best < 0 || oledate::Linear(rows[i].start) < oledate::Linear(rows[best].start)) best = i;
    }
    if (best < 0) break;
    table[k] = rows[best];
    rows[best].used = false;
  }
}

}  // namespace appt
