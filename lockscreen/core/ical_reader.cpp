// The iCalendar reader; see ical_reader.h. Three passes: content lines
// (unfolded at byte level, so that a fold inside a UTF-8 sequence joins
// cleanly) into raw events and zones; raw events into items once every
// VTIMEZONE is known (a zone may follow the events that use it); overrides
// (RECURRENCE-ID) onto their series, then the stable sort by start.
#include "lockscreen/core/ical_reader.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

#include "lockscreen/core/appointment_dates.h"
#include "lockscreen/core/ical_values.h"
#include "lockscreen/core/ical_zone.h"

namespace ical {

namespace {

struct Property {
  std::string name;
  std::string tzid;   // TZID parameter
  bool valueDate;     // VALUE=DATE
  std::string value;  // still escaped
};

struct RawEvent {
  bool hasStart = false;
  bool badStart = false;
  RawTime start{};
  std::string summary;  // unescaped bytes
  int ruleCount = 0;
  bool badRule = false;
  RawRule rule{};
  std::vector<RawTime> exdates;
  bool hasRecurrenceId = false;
  RawTime recurrenceId{};
  bool cancelled = false;
  std::string uid;
};

constexpr size_t kMaxDepth = 16;
constexpr size_t kCancelEvery = 512;  // content lines between polls of the cancel callback

// Splits one unfolded content line; false when it has no name or colon.
bool SplitLine(const std::string& line, Property* p) {
  size_t i = 0;
  while (i < line.size() && line[i] != ';' && line[i] != ':') ++i;
  if (i == 0 || i == line.size()) return false;
  p->name = line.substr(0, i);
  const size_t dot = p->name.rfind('.');  // a group prefix ("item1.SUMMARY")
  if (dot != std::string::npos) p->name = p->name.substr(dot + 1);
  p->tzid.clear();
  p->valueDate = false;
  while (line[i] == ';') {
    const size_t nameStart = ++i;
    while (i < line.size() && line[i] != '=' && line[i] != ':' && line[i] != ';') ++i;
    const std::string param = line.substr(nameStart, i - nameStart);
    std::string value;
    if (i < line.size() && line[i] == '=') {
      ++i;
      bool quoted = false;
      while (i < line.size() && (quoted || (line[i] != ';' && line[i] != ':'))) {
        if (line[i] == '"')
          quoted = !quoted;
        else
          value.push_back(line[i]);
        ++i;
      }
    }
    if (i >= line.size()) return false;
    if (SameName(param, "TZID")) p->tzid = value;
    if (SameName(param, "VALUE") && SameName(value, "DATE")) p->valueDate = true;
  }
  if (line[i] != ':') return false;
  p->value = line.substr(i + 1);
  return true;
}

bool ParseWithTzid(const Property& p, const std::string& text, RawTime* out) {
  if (!ParseTime(text, out)) return false;
  if (!out->utc && !out->dateOnly) out->tzid = p.tzid;
  return true;
}

void EventProperty(const Property& p, RawEvent* e) {
  if (SameName(p.name, "DTSTART")) {
    if (e->hasStart || e->badStart) return;
    if (ParseWithTzid(p, p.value, &e->start))
      e->hasStart = true;
    else
      e->badStart = true;
  } else if (SameName(p.name, "SUMMARY")) {
    e->summary = Unescape(p.value);
  } else if (SameName(p.name, "RRULE")) {
    if (++e->ruleCount == 1 && !ParseRule(p.value, &e->rule)) e->badRule = true;
  } else if (SameName(p.name, "EXDATE")) {
    for (const std::string& v : SplitCommas(p.value)) {
      RawTime t;
      if (e->exdates.size() < kMaxExceptions && ParseWithTzid(p, v, &t)) e->exdates.push_back(t);
    }
  } else if (SameName(p.name, "RECURRENCE-ID")) {
    e->hasRecurrenceId = ParseWithTzid(p, p.value, &e->recurrenceId);
  } else if (SameName(p.name, "STATUS")) {
    e->cancelled = SameName(p.value, "CANCELLED");
  } else if (SameName(p.name, "UID")) {
    e->uid = p.value;
  }
}

void ObservanceProperty(const Property& p, Observance* o) {
  if (SameName(p.name, "DTSTART")) {
    o->hasStart = ParseTime(p.value, &o->start);
  } else if (SameName(p.name, "TZOFFSETFROM")) {
    o->hasFrom = ParseOffset(p.value, &o->offsetFrom);
  } else if (SameName(p.name, "TZOFFSETTO")) {
    o->hasTo = ParseOffset(p.value, &o->offsetTo);
  } else if (SameName(p.name, "RRULE")) {
    o->hasRule = ParseRule(p.value, &o->rule);
  }
}

// Everything the first pass collects.
struct Collected {
  std::vector<RawEvent> events;
  std::vector<Zone> zones;
};

// The first pass's state over the content lines.
struct Scan {
  const Options* options;
  Collected* out;
  std::vector<std::string> stack;  // open components, upper case
  bool begun = false;              // BEGIN:VCALENDAR seen
  bool notCalendar = false;
  bool tooBig = false;
  bool cancelled = false;
  size_t lines = 0;
  RawEvent event;
  Zone zone;
  Observance observance{};
};

std::string UpperName(const std::string& s) {
  std::string u;
  for (char c : s) u.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
  return u;
}

bool Top(const Scan& s, const char* name) { return !s.stack.empty() && s.stack.back() == name; }

void ContentLine(Scan* s, const std::string& line) {
  if (++s->lines % kCancelEvery == 0 && s->options->cancelled != nullptr &&
      s->options->cancelled(s->options->context)) {
    s->cancelled = true;
    return;
  }
  Property p;
  if (!SplitLine(line, &p)) {
    if (!s->begun) s->notCalendar = true;
    return;
  }
  if (!s->begun) {
    if (!SameName(p.name, "BEGIN") || !SameName(p.value, "VCALENDAR")) {
      s->notCalendar = true;
      return;
    }
    s->begun = true;
    s->stack.push_back("VCALENDAR");
    return;
  }
  if (SameName(p.name, "BEGIN")) {
    const std::string name = UpperName(p.value);
    if (s->stack.size() >= kMaxDepth) return;
    if (name == "VEVENT" && Top(*s, "VCALENDAR")) s->event = RawEvent{};
    if (name == "VTIMEZONE" && Top(*s, "VCALENDAR")) s->zone = Zone{};
    if ((name == "STANDARD" || name == "DAYLIGHT") && Top(*s, "VTIMEZONE")) s->observance = Observance{};
    s->stack.push_back(name);
    return;
  }
  if (SameName(p.name, "END")) {
    const std::string name = UpperName(p.value);
    // Close up to the matching component; an END without one is ignored.
    auto it = std::find(s->stack.rbegin(), s->stack.rend(), name);
    if (it == s->stack.rend()) return;
    const size_t at = s->stack.size() - 1 - (it - s->stack.rbegin());
    const bool wellNested = at == s->stack.size() - 1;
    const bool parentOk = at >= 1;
    const std::string parent = parentOk ? s->stack[at - 1] : "";
    s->stack.resize(at);
    if (!wellNested) return;  // a half-broken component is dropped
    if (name == "VEVENT" && parent == "VCALENDAR") {
      if (s->out->events.size() >= kMaxItems)
        s->tooBig = true;
      else
        s->out->events.push_back(std::move(s->event));
    } else if (name == "VTIMEZONE" && parent == "VCALENDAR") {
      if (s->out->zones.size() < 256) s->out->zones.push_back(std::move(s->zone));
    } else if ((name == "STANDARD" || name == "DAYLIGHT") && parent == "VTIMEZONE") {
      // Without TZOFFSETFROM the offset before the onset is taken as the same.
      if (!s->observance.hasFrom) s->observance.offsetFrom = s->observance.offsetTo;
      if (s->zone.observances.size() < 64) s->zone.observances.push_back(s->observance);
    }
    return;
  }
  if (Top(*s, "VEVENT")) {
    EventProperty(p, &s->event);
  } else if (Top(*s, "VTIMEZONE")) {
    if (SameName(p.name, "TZID")) s->zone.tzid = p.value;
  } else if ((Top(*s, "STANDARD") || Top(*s, "DAYLIGHT")) && s->stack.size() >= 2 &&
             s->stack[s->stack.size() - 2] == "VTIMEZONE") {
    ObservanceProperty(p, &s->observance);
  }
}

// Unfolds the physical lines of the file into content lines.
void ScanLines(Scan* s, const uint8_t* data, size_t size) {
  std::string line;
  bool have = false;
  size_t i = 0;
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) i = 3;  // BOM
  while (i < size && !s->notCalendar && !s->cancelled && !s->tooBig) {
    size_t end = i;
    while (end < size && data[end] != '\n') ++end;
    size_t stop = end;
    if (stop > i && data[stop - 1] == '\r') --stop;
    const bool continuation = stop > i && (data[i] == ' ' || data[i] == '\t');
    if (continuation && have) {
      const size_t room = kMaxLineBytes > line.size() ? kMaxLineBytes - line.size() : 0;
      line.append(reinterpret_cast<const char*>(data + i + 1), std::min(room, stop - i - 1));
    } else {
      if (have) ContentLine(s, line);
      line.assign(reinterpret_cast<const char*>(data + i), std::min(kMaxLineBytes, stop - i));
      have = true;
      // Blank lines (common at the end of exported files) carry nothing.
      bool blank = true;
      for (char c : line) blank = blank && (c == ' ' || c == '\t');
      if (blank) have = false;
    }
    i = end + 1;
  }
  if (have && !s->notCalendar && !s->cancelled && !s->tooBig) ContentLine(s, line);
}

// ---------------------------------------------------------------- pass two

struct Resolver {
  const Options* options;
  const std::vector<Zone>* zones;
};

double ToLocal(const Resolver& r, double utc) {
  return r.options->utcToLocal != nullptr ? r.options->utcToLocal(r.options->context, utc) : utc;
}

const Zone* FindZone(const Resolver& r, const std::string& tzid) {
  for (const Zone& z : *r.zones)
    if (z.tzid == tzid) return &z;
  for (const Zone& z : *r.zones)
    if (SameName(z.tzid, tzid.c_str())) return &z;
  return nullptr;
}

double OleOfWall(int64_t wall) {
  int64_t day = wall / 86400, secs = wall % 86400;
  if (secs < 0) {
    secs += 86400;
    --day;
  }
  return oledate::Make(day, secs / 86400.0);
}

// A raw time as a local DATE.
double Resolve(const Resolver& r, const RawTime& t) {
  const int64_t wall = WallSeconds(t);
  if (t.utc) return ToLocal(r, OleOfWall(wall));
  if (!t.tzid.empty()) {
    const Zone* zone = FindZone(r, t.tzid);
    int offset;
    if (zone != nullptr && ZoneOffset(*zone, wall, &offset)) return ToLocal(r, OleOfWall(wall - offset));
  }
  return OleOfWall(wall);  // floating, a date, or a TZID without its VTIMEZONE
}

// The recurrence type the calendar interface reports for a rule.
int TypeOf(const RawRule& rule, const RawTime& start, int startWeekday) {
  const bool simple = rule.interval == 1 && !rule.otherParts;
  if (rule.freq == "DAILY") return simple && rule.byDay.empty() && rule.byMonthDay.empty() && rule.byMonth.empty()
                                       ? appt::kRecursDaily
                                       : appt::kRecursOther;
  const bool monthDayIsStart =
      rule.byMonthDay.empty() || (rule.byMonthDay.size() == 1 && rule.byMonthDay[0] == start.day);
  const bool monthIsStart = rule.byMonth.empty() || (rule.byMonth.size() == 1 && rule.byMonth[0] == start.month);
  if (rule.freq == "WEEKLY") {
    const bool dayIsStart = rule.byDay.empty() || (rule.byDay.size() == 1 && rule.byDay[0].ordinal == 0 &&
                                                   rule.byDay[0].weekday == startWeekday);
    return simple && dayIsStart && rule.byMonthDay.empty() && rule.byMonth.empty() ? appt::kRecursWeekly
                                                                                     : appt::kRecursOther;
  }
  if (rule.freq == "MONTHLY") {
    if (!rule.byDay.empty()) return rule.byMonthDay.empty() ? appt::kRecursMonthNth : appt::kRecursOther;
    return simple && monthDayIsStart && rule.byMonth.empty() ? appt::kRecursMonthly : appt::kRecursOther;
  }
  if (rule.freq == "YEARLY") {
    if (!rule.byDay.empty()) return rule.byMonthDay.empty() ? appt::kRecursYearNth : appt::kRecursOther;
    return simple && monthDayIsStart && monthIsStart ? appt::kRecursYearly : appt::kRecursOther;
  }
  return appt::kRecursOther;  // HOURLY and finer
}

// The start of the COUNT-th occurrence. Daily, weekly, monthly and yearly
// rules without further parts are counted exactly (a month or year without
// the start's day has no occurrence and does not count); for every other
// rule a bound that is at least the first start serves, since such a series
// is only ever tested at its first start. False: beyond the year 9999.
bool CountEnd(const RawRule& rule, int type, double start, double* end) {
  oledate::Fields f;
  if (!oledate::ToFields(start, &f)) return false;
  const int64_t n = rule.count - 1;
  const int64_t day0 = oledate::WholeDays(start);
  const double time = oledate::TimeOfDay(start);
  int64_t days;
  if (type == appt::kRecursMonthly || type == appt::kRecursYearly) {
    // Months (or years) from the start's, counting only those that have the
    // start's day. The calendar repeats every 400 years (4800 months), so
    // whole cycles are skipped at once and the loop stays short for any
    // COUNT.
    const int step = type == appt::kRecursMonthly ? 1 : 12;
    auto has = [&](int64_t m) {
      return f.day <= oledate::DaysInMonth(static_cast<int>(m / 12), static_cast<int>(m % 12) + 1);
    };
    int64_t month = f.year * 12LL + (f.month - 1);
    // Occurrences per 400 years: the 29th is in 11 months a year plus the
    // 97 leap Februaries, the 30th in 11, the 31st in 7; a yearly series
    // on 29 February has 97, any other 400.
    int64_t perCycle;
    if (type == appt::kRecursMonthly)
      perCycle = f.day <= 28 ? 4800 : f.day == 29 ? 4497 : f.day == 30 ? 4400 : 2800;
    else
      perCycle = f.month == 2 && f.day == 29 ? 97 : 400;
    int64_t left = n;
    if (perCycle > 0 && left > perCycle) {
      const int64_t cycles = (left - 1) / perCycle;
      if (cycles > 30) return false;  // beyond the year 9999 in any case
      month += cycles * 4800;
      left -= cycles * perCycle;
    }
    while (left > 0) {
      month += step;
      if (month / 12 > 9999) return false;
      if (has(month)) --left;
    }
    oledate::Fields e = f;
    e.year = static_cast<int>(month / 12);
    e.month = static_cast<int>(month % 12) + 1;
    return oledate::FromFields(e, end);
  }
  if (rule.freq == "DAILY" || rule.freq == "HOURLY" || rule.freq == "MINUTELY" || rule.freq == "SECONDLY")
    days = n * rule.interval;
  else if (rule.freq == "WEEKLY")
    days = n * 7 * rule.interval;
  else if (rule.freq == "MONTHLY")
    days = n * 31 * rule.interval;
  else
    days = n * 366 * rule.interval;
  if (type == appt::kRecursOther || type == appt::kRecursMonthNth || type == appt::kRecursYearNth)
    days += 366;  // several occurrences per period: a bound, not the day itself
  if (day0 + days > 2958465) return false;
  *end = oledate::Make(day0 + days, time);
  return true;
}

bool MakeItem(const Resolver& r, const RawEvent& e, Item* item) {
  item->start = Resolve(r, e.start);
  item->allDay = e.start.dateOnly;
  DecodeSubject(e.summary.data(), e.summary.size(), item->subject);
  item->recurring = false;
  item->recurrenceType = appt::kRecursDaily;
  item->noEndDate = true;
  item->patternEnd = 0;
  if (e.ruleCount == 0 || e.hasRecurrenceId) return true;
  item->recurring = true;
  oledate::Fields f;
  if (!oledate::ToFields(item->start, &f)) return false;
  // Several RRULEs are more than one pattern can say: first start only.
  item->recurrenceType = e.ruleCount > 1 ? appt::kRecursOther : TypeOf(e.rule, e.start, f.weekday);
  if (e.rule.hasUntil) {
    item->noEndDate = false;
    if (e.rule.until.dateOnly)  // ends with that day
      item->patternEnd = oledate::Make(oledate::DayNumber(e.rule.until.year, e.rule.until.month, e.rule.until.day),
                                       86399.0 / 86400.0);
    else
      item->patternEnd = Resolve(r, e.rule.until);
  } else if (e.rule.hasCount) {
    item->noEndDate = !CountEnd(e.rule, item->recurrenceType, item->start, &item->patternEnd);
  }
  for (const RawTime& t : e.exdates) item->exceptions.push_back(Exception{Resolve(r, t), t.dateOnly});
  return true;
}

}  // namespace

bool IsException(const Item& item, double start) {
  const double at = oledate::Linear(start);
  for (const Exception& x : item.exceptions) {
    const double when = oledate::Linear(x.at);
    if (x.wholeDay ? std::floor(at) == std::floor(when) : std::fabs(at - when) < 0.5 / 86400.0) return true;
  }
  return false;
}

Status Read(const uint8_t* data, size_t size, const Options& options, std::vector<Item>* items) {
  items->clear();
  if (size > kMaxFileBytes) return Status::kTooBig;
  Collected collected;
  Scan scan;
  scan.options = &options;
  scan.out = &collected;
  ScanLines(&scan, data, size);
  if (scan.cancelled) return Status::kCancelled;
  if (scan.tooBig) return Status::kTooBig;
  if (scan.notCalendar) return Status::kNotCalendar;

  Resolver r{&options, &collected.zones};
  std::vector<Item> out;
  std::vector<const RawEvent*> source;  // the event each item came from
  for (const RawEvent& e : collected.events) {
    if (!e.hasStart || e.badRule) continue;  // malformed: skipped, the rest listed
    if (e.cancelled) continue;  // a cancelled override only removes its occurrence (below)
    Item item{};
    if (!MakeItem(r, e, &item)) continue;
    out.push_back(std::move(item));
    source.push_back(&e);
  }
  // Overrides: the series has no occurrence at the RECURRENCE-ID any more;
  // the override is a one-off item at its own start.
  std::unordered_map<std::string, std::vector<size_t>> seriesByUid;
  for (size_t i = 0; i < out.size(); ++i)
    if (out[i].recurring && !source[i]->uid.empty()) seriesByUid[source[i]->uid].push_back(i);
  for (const RawEvent& e : collected.events) {
    if (!e.hasRecurrenceId || e.uid.empty()) continue;
    const auto found = seriesByUid.find(e.uid);
    if (found == seriesByUid.end()) continue;
    for (size_t i : found->second)
      if (out[i].exceptions.size() < kMaxExceptions)
        out[i].exceptions.push_back(Exception{Resolve(r, e.recurrenceId), e.recurrenceId.dateOnly});
  }
  std::stable_sort(out.begin(), out.end(), [](const Item& a, const Item& b) {
    return oledate::Linear(a.start) < oledate::Linear(b.start);
  });
  *items = std::move(out);
  return Status::kOk;
}

}  // namespace ical
