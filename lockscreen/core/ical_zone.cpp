// VTIMEZONE offsets; see ical_zone.h. Each observance's latest onset at or
// before the wall time is found (this year's or last year's by its rule, or
// its own start); the latest onset over all observances gives the offset.
// A wall time in the hour a change skips or repeats gets one of the two
// offsets, which is all a list of start times needs.
#include "lockscreen/core/ical_zone.h"

#include "lockscreen/core/appointment_dates.h"

namespace ical {

bool ParseOffset(const std::string& text, int* seconds) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != '\t') s.push_back(c);
  if ((s.size() != 5 && s.size() != 7) || (s[0] != '+' && s[0] != '-')) return false;
  int v[3] = {0, 0, 0};
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v[(i - 1) / 2] = v[(i - 1) / 2] * 10 + (s[i] - '0');
  }
  if (v[0] > 23 || v[1] > 59 || v[2] > 59) return false;
  const int total = v[0] * 3600 + v[1] * 60 + v[2];
  *seconds = s[0] == '-' ? -total : total;
  return true;
}

// The day of month of the rule's onset in `year`/`month`, 0 when none.
static int OnsetDay(const RawRule& rule, int year, int month, int startDay) {
  const int days = oledate::DaysInMonth(year, month);
  if (!rule.byDay.empty()) {
    const ByDay& b = rule.byDay[0];
    const int firstWeekday = oledate::WeekdayOfDayNumber(oledate::DayNumber(year, month, 1));
    const int first = 1 + (b.weekday - firstWeekday + 7) % 7;  // first such weekday
    if (b.ordinal > 0) {
      const int d = first + 7 * (b.ordinal - 1);
      return d <= days ? d : 0;
    }
    if (b.ordinal < 0) {
      int last = first;
      while (last + 7 <= days) last += 7;
      const int d = last + 7 * (b.ordinal + 1);
      return d >= 1 ? d : 0;
    }
    for (int md : rule.byMonthDay)  // "BYDAY=SU;BYMONTHDAY=8,9,...,14"
      if (md > 0 && md <= days && (md - first) % 7 == 0 && md >= first) return md;
    return rule.byMonthDay.empty() ? first : 0;
  }
  if (!rule.byMonthDay.empty()) {
    const int md = rule.byMonthDay[0];
    return md > 0 && md <= days ? md : 0;
  }
  return startDay <= days ? startDay : 0;
}

// The latest onset of `o` at or before `wall`; false when there is none.
static bool LatestOnset(const Observance& o, int64_t wall, int64_t* onset) {
  if (!o.hasStart || !o.hasTo) return false;
  const int64_t first = WallSeconds(o.start);
  if (first > wall) return false;
  *onset = first;
  if (!o.hasRule || o.rule.freq != "YEARLY") return true;
  oledate::Fields f;
  if (!oledate::ToFields(static_cast<double>(wall / 86400), &f)) return true;
  const int month = o.rule.byMonth.empty() ? o.start.month : o.rule.byMonth[0];
  for (int year = f.year; year >= f.year - 1 && year >= o.start.year; --year) {
    const int day = OnsetDay(o.rule, year, month, o.start.day);
    if (day == 0) continue;
    const int64_t at = oledate::DayNumber(year, month, day) * 86400 + o.start.hour * 3600 +
                       o.start.minute * 60 + o.start.second;
    if (at > wall || at < first) continue;
    if (o.rule.hasUntil) {
      const int64_t until = WallSeconds(o.rule.until) + (o.rule.until.utc ? o.offsetFrom : 0);
      if (at > until) continue;
    }
    if (at > *onset) *onset = at;
    break;
  }
  return true;
}

bool ZoneOffset(const Zone& zone, int64_t wall, int* offset) {
  bool found = false;
  int64_t best = 0;
  for (const Observance& o : zone.observances) {
    int64_t onset;
    if (!LatestOnset(o, wall, &onset)) continue;
    if (!found || onset >= best) {
      best = onset;
      *offset = o.offsetTo;
      found = true;
    }
  }
  if (found) return true;
  // Before every onset: the offset in force before the earliest one.
  const Observance* earliest = nullptr;
  for (const Observance& o : zone.observances)
    if (o.hasStart && o.hasTo && (earliest == nullptr || WallSeconds(o.start) < WallSeconds(earliest->start)))
      earliest = &o;
  if (earliest == nullptr) return false;
  *offset = earliest->offsetFrom;
  return true;
}

}  // namespace ical
