// Time zone offsets; see ical_zone.h. For a VTIMEZONE the latest onset at
// or before the wall time wins: among the single onsets (a binary search)
// and among the yearly rules (each one's latest onset: this year's or last
// year's, or the last one before its UNTIL).
#include "platform/core/ical_zone.h"

#include <algorithm>

#include "platform/core/ole_date.h"

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

static bool Older(const Onset& a, const Onset& b) { return a.wall < b.wall; }

// Keeps the newest kMaxZoneOnsets onsets, sorted.
static void TrimOnsets(Zone* zone) {
  std::stable_sort(zone->onsets.begin(), zone->onsets.end(), Older);
  if (zone->onsets.size() > kMaxZoneOnsets)
    zone->onsets.erase(zone->onsets.begin(), zone->onsets.end() - kMaxZoneOnsets);
}

static void AddOnset(Zone* zone, const Onset& onset) {
  zone->onsets.push_back(onset);
  if (zone->onsets.size() >= 2 * kMaxZoneOnsets) TrimOnsets(zone);  // amortised: memory stays bounded
}

void AddObservance(Zone* zone, const ObservanceInput& o) {
  if (!o.hasStart || !o.hasTo) return;
  // Without TZOFFSETFROM the offset before the onset is taken as the same.
  const int from = o.hasFrom ? o.offsetFrom : o.offsetTo;
  if (o.hasRule && o.rule.freq == "YEARLY") {
    const Observance r{o.start, from, o.offsetTo, o.rule};
    if (zone->rules.size() < kMaxRuleObservances) {
      zone->rules.push_back(r);
    } else {  // full: the oldest era gives way
      auto oldest = std::min_element(
          zone->rules.begin(), zone->rules.end(),
          [](const Observance& a, const Observance& b) { return WallSeconds(a.start) < WallSeconds(b.start); });
      if (WallSeconds(oldest->start) < WallSeconds(o.start)) *oldest = r;
    }
  } else {
    AddOnset(zone, Onset{WallSeconds(o.start), from, o.offsetTo});
  }
  for (const RawTime& t : o.rdates) AddOnset(zone, Onset{WallSeconds(t) + (t.utc ? from : 0), from, o.offsetTo});
}

void FinishZone(Zone* zone) { TrimOnsets(zone); }

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

// The latest onset of a yearly rule at or before `wall`; false when none.
static bool LatestOnset(const Observance& o, int64_t wall, int64_t* onset) {
  const int64_t first = WallSeconds(o.start);
  if (first > wall) return false;
  *onset = first;
  oledate::Fields f;
  if (!oledate::ToFields(static_cast<double>(wall / 86400), &f)) return true;
  int lastYear = f.year;
  int64_t until = INT64_MAX;
  if (o.rule.hasUntil) {
    until = WallSeconds(o.rule.until) + (o.rule.until.utc ? o.offsetFrom : 0);
    lastYear = std::min(lastYear, o.rule.until.year);
  }
  if (o.rule.hasCount)
    lastYear = static_cast<int>(
        std::min<int64_t>(lastYear, o.start.year + static_cast<int64_t>(o.rule.count - 1) * o.rule.interval));
  const int month = o.rule.byMonth.empty() ? o.start.month : o.rule.byMonth[0];
  for (int year = lastYear; year >= lastYear - 1 && year >= o.start.year; --year) {
    const int day = OnsetDay(o.rule, year, month, o.start.day);
    if (day == 0) continue;
    const int64_t at =
        oledate::DayNumber(year, month, day) * 86400 + o.start.hour * 3600 + o.start.minute * 60 + o.start.second;
    if (at > wall || at < first || at > until) continue;
    *onset = at;
    break;
  }
  return true;
}

bool ZoneOffset(const Zone& zone, int64_t wall, int* offset) {
  bool found = false;
  int64_t best = 0;
  const auto after = std::upper_bound(zone.onsets.begin(), zone.onsets.end(), Onset{wall, 0, 0}, Older);
  if (after != zone.onsets.begin()) {
    best = (after - 1)->wall;
    *offset = (after - 1)->offsetTo;
    found = true;
  }
  for (const Observance& o : zone.rules) {
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
  bool any = false;
  int64_t earliest = 0;
  if (!zone.onsets.empty()) {
    earliest = zone.onsets.front().wall;
    *offset = zone.onsets.front().offsetFrom;
    any = true;
  }
  for (const Observance& o : zone.rules)
    if (!any || WallSeconds(o.start) < earliest) {
      earliest = WallSeconds(o.start);
      *offset = o.offsetFrom;
      any = true;
    }
  return any;
}

// The wall time of a system change in `year`; false when there is none.
static bool ChangeAt(const SystemChange& c, int year, int64_t* wall) {
  if (c.month < 1 || c.month > 12) return false;
  int day;
  if (c.year != 0) {
    if (c.year != year || c.day < 1 || c.day > oledate::DaysInMonth(year, c.month)) return false;
    day = c.day;
  } else {
    const int days = oledate::DaysInMonth(year, c.month);
    const int firstWeekday = oledate::WeekdayOfDayNumber(oledate::DayNumber(year, c.month, 1));
    day = 1 + ((c.weekday % 7 + 7) % 7 - firstWeekday + 7) % 7 + 7 * (std::min(std::max(c.day, 1), 5) - 1);
    while (day > days) day -= 7;  // 5: the last such weekday
  }
  *wall = oledate::DayNumber(year, c.month, day) * 86400 + c.hour * 3600 + c.minute * 60 + c.second;
  return true;
}

int SystemOffset(const SystemRules& rules, int year, int64_t wall) {
  const int standard = -(rules.bias + rules.standardBias) * 60;
  const int daylight = -(rules.bias + rules.daylightBias) * 60;
  int64_t toDaylight, toStandard;
  if (!ChangeAt(rules.daylight, year, &toDaylight) || !ChangeAt(rules.standard, year, &toStandard)) return standard;
  const bool inDaylight = toDaylight < toStandard ? wall >= toDaylight && wall < toStandard   // northern
                                                  : wall >= toDaylight || wall < toStandard;  // southern
  return inDaylight ? daylight : standard;
}

}  // namespace ical
