// The iCalendar reader; see ical_reader.h. Three passes: content lines
// (unfolded at byte level, so that a fold inside a UTF-8 sequence joins
// cleanly) into raw events and zones, file by file; then, once every
// VTIMEZONE is known (a zone may follow the events that use it), the
// versions of each event are settled and the raw events become items on
// their own clocks; last, overrides (RECURRENCE-ID) go onto their series
// and everything is sorted by start.
#include "platform/core/ical_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <unordered_map>

#include "platform/core/ole_date.h"
#include "platform/core/ical_values.h"
#include "platform/core/ical_zone.h"

namespace ical {

namespace {

struct Property {
  std::string name;
  std::string tzid;    // TZID parameter
  bool valueDate;      // VALUE=DATE
  bool thisAndFuture;  // RANGE=THISANDFUTURE
  std::string value;   // still escaped
};

struct RawEvent {
  size_t file = 0;
  size_t zoneFirst = 0, zoneEnd = 0;  // the file's VTIMEZONEs in Clocks::zones
  bool hasStart = false;
  bool badStart = false;
  RawTime start{};
  std::string summary;  // unescaped bytes
  int ruleCount = 0;
  bool badRule = false;
  RawRule rule{};
  std::vector<RawTime> exdates;
  bool hasRecurrenceId = false;
  bool thisAndFuture = false;
  RawTime recurrenceId{};
  bool cancelled = false;
  std::string uid;
  long sequence = 0;
  bool hasStamp = false;
  RawTime stamp{};
};

constexpr size_t kMaxDepth = 16;
constexpr size_t kMaxZonesPerFile = 256;
constexpr size_t kCancelEvery = 512;      // content lines between polls of the cancel callback
constexpr long kMaxSequence = 999999999;  // a SEQUENCE beyond it counts as 0
// The Gregorian calendar repeats every 400 years; more cycles than these
// from any start in the OLE range end beyond its last year.
constexpr int64_t kMonthsPerCycle = 400 * 12;
constexpr int64_t kMaxCycles = 30;

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
  p->thisAndFuture = false;
  while (line[i] == ';') {
    const size_t nameStart = ++i;
    while (i < line.size() && line[i] != '=' && line[i] != ':' && line[i] != ';') ++i;
    const std::string param = line.substr(nameStart, i - nameStart);
    std::string value;
    if (i < line.size() && line[i] == '=') {
      ++i;
      bool quoted = false;
      while (i < line.size() && (quoted || (line[i] != ';' && line[i] != ':'))) {
        if (line[i] == '"') quoted = !quoted;
        else value.push_back(line[i]);
        ++i;
      }
    }
    if (i >= line.size()) return false;
    if (SameName(param, "TZID")) p->tzid = value;
    if (SameName(param, "VALUE") && SameName(value, "DATE")) p->valueDate = true;
    if (SameName(param, "RANGE") && SameName(value, "THISANDFUTURE")) p->thisAndFuture = true;
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

bool Blank(const std::string& s) {
  for (char c : s)
    if (c != ' ' && c != '\t') return false;
  return true;
}

void EventProperty(const Property& p, RawEvent* e) {
  if (SameName(p.name, "DTSTART")) {
    if (e->hasStart || e->badStart) return;
    if (ParseWithTzid(p, p.value, &e->start)) e->hasStart = true;
    else e->badStart = true;
  } else if (SameName(p.name, "SUMMARY")) {
    e->summary = Unescape(p.value);
  } else if (SameName(p.name, "RRULE")) {
    if (Blank(p.value)) return;  // an empty rule is no rule: a one-off
    if (++e->ruleCount == 1 && !ParseRule(p.value, &e->rule)) e->badRule = true;
  } else if (SameName(p.name, "EXDATE")) {
    for (const std::string& v : SplitCommas(p.value)) {
      RawTime t;
      if (e->exdates.size() < kMaxExceptions && ParseWithTzid(p, v, &t)) e->exdates.push_back(t);
    }
  } else if (SameName(p.name, "RECURRENCE-ID")) {
    e->hasRecurrenceId = ParseWithTzid(p, p.value, &e->recurrenceId);
    e->thisAndFuture = p.thisAndFuture;
  } else if (SameName(p.name, "STATUS")) {
    e->cancelled = SameName(p.value, "CANCELLED");
  } else if (SameName(p.name, "UID")) {
    e->uid = p.value;
  } else if (SameName(p.name, "SEQUENCE")) {
    const long v = std::strtol(p.value.c_str(), nullptr, 10);
    e->sequence = v > 0 && v <= kMaxSequence ? v : 0;
  } else if (SameName(p.name, "DTSTAMP")) {
    e->hasStamp = ParseTime(p.value, &e->stamp);
  }
}

void ObservanceProperty(const Property& p, ObservanceInput* o) {
  if (SameName(p.name, "DTSTART")) {
    o->hasStart = ParseTime(p.value, &o->start);
  } else if (SameName(p.name, "TZOFFSETFROM")) {
    o->hasFrom = ParseOffset(p.value, &o->offsetFrom);
  } else if (SameName(p.name, "TZOFFSETTO")) {
    o->hasTo = ParseOffset(p.value, &o->offsetTo);
  } else if (SameName(p.name, "RRULE")) {
    o->hasRule = ParseRule(p.value, &o->rule);
  } else if (SameName(p.name, "RDATE")) {
    for (const std::string& v : SplitCommas(p.value)) {
      RawTime t;
      // A PERIOD ("start/end" or "start/duration") starts at its start.
      if (o->rdates.size() < 2 * kMaxZoneOnsets && ParseTime(v.substr(0, v.find('/')), &t)) o->rdates.push_back(t);
    }
  }
}

// The first pass's state over the content lines of one file.
struct Scan {
  const Options* options;
  Clocks* clocks;
  std::vector<RawEvent>* events;
  size_t file;
  size_t zoneFirst;
  std::vector<std::string> stack;  // open components, upper case
  bool begun = false;              // BEGIN:VCALENDAR seen
  bool notCalendar = false;
  bool tooBig = false;
  bool cancelled = false;
  size_t lines = 0;
  RawEvent event;
  Zone zone;
  ObservanceInput observance{};
};

std::string UpperName(const std::string& s) {
  std::string u;
  for (char c : s) u.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c);
  return u;
}

bool Top(const Scan& s, const char* name) { return !s.stack.empty() && s.stack.back() == name; }

// Components that live only right inside VCALENDAR: their BEGIN closes
// whatever a mistyped or missing END left open.
bool TopLevelOnly(const std::string& name) {
  return name == "VEVENT" || name == "VTODO" || name == "VJOURNAL" || name == "VFREEBUSY" || name == "VTIMEZONE";
}

void KeepEvent(Scan* s) {
  if (s->events->size() >= kMaxItems) s->tooBig = true;
  else s->events->push_back(std::move(s->event));
}

void Begin(Scan* s, const std::string& name) {
  if (TopLevelOnly(name) && !(s->stack.size() == 1 && s->stack[0] == "VCALENDAR")) {
    // An event whose END is missing or mistyped had all its lines read:
    // it is kept. Anything open deeper is dropped.
    if (s->stack.size() == 2 && s->stack[0] == "VCALENDAR" && s->stack[1] == "VEVENT") KeepEvent(s);
    s->stack.assign(1, "VCALENDAR");
  }
  if (s->stack.size() >= kMaxDepth) return;
  if (name == "VEVENT" && Top(*s, "VCALENDAR")) {
    s->event = RawEvent{};
    s->event.file = s->file;
    s->event.zoneFirst = s->zoneFirst;
  }
  if (name == "VTIMEZONE" && Top(*s, "VCALENDAR")) s->zone = Zone{};
  if ((name == "STANDARD" || name == "DAYLIGHT") && Top(*s, "VTIMEZONE")) s->observance = ObservanceInput{};
  s->stack.push_back(name);
}

void End(Scan* s, const std::string& name) {
  // Close up to the matching component; an END without one is ignored.
  auto it = std::find(s->stack.rbegin(), s->stack.rend(), name);
  if (it == s->stack.rend()) return;
  const size_t at = s->stack.size() - 1 - (it - s->stack.rbegin());
  const bool wellNested = at == s->stack.size() - 1;
  const std::string parent = at >= 1 ? s->stack[at - 1] : "";
  s->stack.resize(at);
  if (!wellNested) return;  // a half-broken component is dropped
  if (name == "VEVENT" && parent == "VCALENDAR") {
    KeepEvent(s);
  } else if (name == "VTIMEZONE" && parent == "VCALENDAR") {
    if (s->clocks->zones.size() - s->zoneFirst < kMaxZonesPerFile) {
      FinishZone(&s->zone);
      s->clocks->zones.push_back(std::move(s->zone));
    }
  } else if ((name == "STANDARD" || name == "DAYLIGHT") && parent == "VTIMEZONE") {
    AddObservance(&s->zone, s->observance);
  }
}

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
    Begin(s, UpperName(p.value));
  } else if (SameName(p.name, "END")) {
    End(s, UpperName(p.value));
  } else if (Top(*s, "VEVENT")) {
    EventProperty(p, &s->event);
  } else if (Top(*s, "VTIMEZONE")) {
    if (SameName(p.name, "TZID")) s->zone.tzid = p.value;
  } else if ((Top(*s, "STANDARD") || Top(*s, "DAYLIGHT")) && s->stack.size() >= 2 &&
             s->stack[s->stack.size() - 2] == "VTIMEZONE") {
    ObservanceProperty(p, &s->observance);
  }
}

bool Stopped(const Scan& s) { return s.notCalendar || s.cancelled || s.tooBig; }

// Unfolds the physical lines of the file into content lines. Blank lines
// carry nothing (exported files end with some; some programs put one
// inside a folded property): they are skipped and do not end the line
// being unfolded.
void ScanLines(Scan* s, const uint8_t* data, size_t size) {
  std::string line;
  bool have = false;
  size_t i = 0;
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) i = 3;  // BOM
  while (i < size && !Stopped(*s)) {
    size_t end = i;
    while (end < size && data[end] != '\n') ++end;
    size_t stop = end;
    if (stop > i && data[stop - 1] == '\r') --stop;
    bool blank = true;
    for (size_t k = i; k < stop && blank; ++k) blank = data[k] == ' ' || data[k] == '\t';
    const bool continuation = stop > i && (data[i] == ' ' || data[i] == '\t');
    if (blank) {
      // nothing
    } else if (continuation && have) {
      const size_t room = kMaxLineBytes > line.size() ? kMaxLineBytes - line.size() : 0;
      line.append(reinterpret_cast<const char*>(data + i + 1), std::min(room, stop - i - 1));
    } else {
      if (have) ContentLine(s, line);
      line.assign(reinterpret_cast<const char*>(data + i), std::min(kMaxLineBytes, stop - i));
      have = true;
    }
    i = end + 1;
  }
  if (have && !Stopped(*s)) ContentLine(s, line);
}

// ---------------------------------------------------------------- pass two

// The clock a time is written on: UTC, its TZID's, or the device's.
int ClockOf(Clocks* c, const RawEvent& e, const RawTime& t) {
  if (t.utc) return UtcClock(c);
  if (!t.tzid.empty()) return ClockOfTzid(c, e.zoneFirst, e.zoneEnd, t.tzid);
  return kDeviceClock;
}

// A time of the event as a wall DATE on `clock`. A time without a zone of
// its own (floating, or a date) is read on `clock` itself: an EXDATE,
// RECURRENCE-ID or UNTIL written without TZID belongs to its series' zone.
bool WallOn(Clocks* c, const RawEvent& e, const RawTime& t, int clock, double* wall) {
  const int64_t written = WallSeconds(t);
  int64_t there = written;
  if (!t.dateOnly && (t.utc || !t.tzid.empty())) {
    const int own = ClockOf(c, e, t);
    int64_t utc;
    if (own != clock && (!WallToUtc(c, own, written, &utc) || !UtcToWall(c, clock, utc, &there))) return false;
  }
  *wall = DateOfSeconds(there);
  return true;
}

// The recurrence type the calendar interface reports for a rule.
int TypeOf(const RawRule& rule, const RawTime& start, int startWeekday) {
  const bool simple = rule.interval == 1 && !rule.otherParts;
  if (rule.freq == "DAILY")
    return simple && rule.byDay.empty() && rule.byMonthDay.empty() && rule.byMonth.empty() ? calendar::kRecursDaily
                                                                                           : calendar::kRecursOther;
  const bool monthDayIsStart =
      rule.byMonthDay.empty() || (rule.byMonthDay.size() == 1 && rule.byMonthDay[0] == start.day);
  const bool monthIsStart = rule.byMonth.empty() || (rule.byMonth.size() == 1 && rule.byMonth[0] == start.month);
  // With SKIP a day that a month lacks moves to another day, which a
  // pattern cannot say; only days every month has are unaffected.
  const bool dayInEveryMonth = !rule.skipMoves || start.day <= 28;
  if (rule.freq == "WEEKLY") {
    const bool dayIsStart = rule.byDay.empty() || (rule.byDay.size() == 1 && rule.byDay[0].ordinal == 0 &&
                                                   rule.byDay[0].weekday == startWeekday);
    return simple && dayIsStart && rule.byMonthDay.empty() && rule.byMonth.empty() ? calendar::kRecursWeekly
                                                                                   : calendar::kRecursOther;
  }
  if (rule.freq == "MONTHLY") {
    if (!rule.byDay.empty()) return rule.byMonthDay.empty() ? calendar::kRecursMonthNth : calendar::kRecursOther;
    return simple && monthDayIsStart && rule.byMonth.empty() && dayInEveryMonth ? calendar::kRecursMonthly
                                                                                : calendar::kRecursOther;
  }
  if (rule.freq == "YEARLY") {
    if (!rule.byDay.empty()) return rule.byMonthDay.empty() ? calendar::kRecursYearNth : calendar::kRecursOther;
    return simple && monthDayIsStart && monthIsStart && dayInEveryMonth ? calendar::kRecursYearly
                                                                        : calendar::kRecursOther;
  }
  return calendar::kRecursOther;  // HOURLY and finer
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
  if (type == calendar::kRecursMonthly || type == calendar::kRecursYearly) {
    // Months (or years) from the start's, counting only those that have the
    // start's day. Whole 400-year cycles are skipped at once and the loop stays short for any
    // COUNT.
    const int step = type == calendar::kRecursMonthly ? 1 : 12;
    auto has = [&](int64_t m) {
      return f.day <= oledate::DaysInMonth(static_cast<int>(m / 12), static_cast<int>(m % 12) + 1);
    };
    int64_t month = f.year * 12LL + (f.month - 1);
    // Occurrences per 400 years: the 29th is in 11 months a year plus the
    // 97 leap Februaries, the 30th in 11, the 31st in 7; a yearly series
    // on 29 February has 97, any other 400.
    int64_t perCycle;
    if (type == calendar::kRecursMonthly)
      perCycle = f.day <= 28 ? 4800 : f.day == 29 ? 4497 : f.day == 30 ? 4400 : 2800;
    else perCycle = f.month == 2 && f.day == 29 ? 97 : 400;
    int64_t left = n;
    if (perCycle > 0 && left > perCycle) {
      const int64_t cycles = (left - 1) / perCycle;
      if (cycles > kMaxCycles) return false;
      month += cycles * kMonthsPerCycle;
      left -= cycles * perCycle;
    }
    while (left > 0) {
      month += step;
      if (month / 12 > oledate::kLastYear) return false;
      if (has(month)) --left;
    }
    oledate::Fields e = f;
    e.year = static_cast<int>(month / 12);
    e.month = static_cast<int>(month % 12) + 1;
    return oledate::FromFields(e, end);
  }
  if (rule.freq == "DAILY" || rule.freq == "HOURLY" || rule.freq == "MINUTELY" || rule.freq == "SECONDLY")
    days = n * rule.interval;
  else if (rule.freq == "WEEKLY") days = n * 7 * rule.interval;
  else if (rule.freq == "MONTHLY") days = n * 31 * rule.interval;
  else days = n * 366 * rule.interval;
  if (type == calendar::kRecursOther || type == calendar::kRecursMonthNth || type == calendar::kRecursYearNth)
    days += 366;  // several occurrences per period: a bound, not the day itself
  if (day0 + days > oledate::kLastDayNumber) return false;
  *end = oledate::Make(day0 + days, time);
  return true;
}

// An item being built; the pattern's end stays on the series' own clock
// until the item is done.
struct Building {
  Item item;
  bool hasEnd = false;
  double ownEnd = 0;
  const RawEvent* source = nullptr;
};

// The start of an event on its own clock and on the device's.
void SetStart(Clocks* c, const RawEvent& e, Item* item) {
  item->clock = e.start.dateOnly ? kDeviceClock : ClockOf(c, e, e.start);
  item->ownStart = DateOfSeconds(WallSeconds(e.start));
  if (!ClockToLocal(c, item->clock, item->ownStart, &item->start)) {  // the zone cannot say: device time
    item->clock = kDeviceClock;
    item->start = item->ownStart;
  }
}

void MakeItem(Clocks* c, const RawEvent& e, Building* b) {
  Item* item = &b->item;
  SetStart(c, e, item);
  item->allDay = e.start.dateOnly;
  DecodeSubject(e.summary.data(), e.summary.size(), item->subject);
  item->recurring = false;
  item->recurrenceType = calendar::kRecursDaily;
  item->noEndDate = true;
  item->patternEnd = 0;
  b->source = &e;
  if (e.ruleCount == 0 || e.hasRecurrenceId) return;
  item->recurring = true;
  const int weekday = oledate::WeekdayOfDayNumber(oledate::DayNumber(e.start.year, e.start.month, e.start.day));
  // Several RRULEs are more than one pattern can say, and a rule that cannot
  // be read says nothing: the first start only.
  if (e.ruleCount > 1 || e.badRule) {
    item->recurrenceType = calendar::kRecursOther;
  } else {
    item->recurrenceType = TypeOf(e.rule, e.start, weekday);
    if (e.rule.hasUntil) {
      const RawTime& until = e.rule.until;
      if (until.dateOnly) {  // ends with that day
        b->hasEnd = true;
        b->ownEnd = oledate::Make(oledate::DayNumber(until.year, until.month, until.day), 86399.0 / 86400.0);
      } else {
        b->hasEnd = WallOn(c, e, until, item->clock, &b->ownEnd);
      }
    } else if (e.rule.hasCount) {
      b->hasEnd = CountEnd(e.rule, item->recurrenceType, item->ownStart, &b->ownEnd);
    }
  }
  for (const RawTime& t : e.exdates) {
    Exception x{0, t.dateOnly};
    if (WallOn(c, e, t, item->clock, &x.at)) item->exceptions.push_back(x);
  }
}

// Which of two versions of one event counts: the higher SEQUENCE, then the
// later DTSTAMP, then the one read later.
bool Newer(const RawEvent& a, const RawEvent& b) {
  if (a.sequence != b.sequence) return a.sequence > b.sequence;
  if (a.hasStamp != b.hasStamp) return a.hasStamp;
  if (a.hasStamp && WallSeconds(a.stamp) != WallSeconds(b.stamp)) return WallSeconds(a.stamp) > WallSeconds(b.stamp);
  return true;  // `a` was read later
}

std::string VersionKey(const RawEvent& e) {
  std::string key = e.uid;
  if (e.hasRecurrenceId) {
    const RawTime& r = e.recurrenceId;
    key += '\x01' + std::to_string(WallSeconds(r)) + (r.utc ? "Z" : "") + (r.dateOnly ? "D" : "") + r.tzid;
  }
  return key;
}

// The events that count: one version per UID and RECURRENCE-ID.
std::vector<const RawEvent*> Versions(const std::vector<RawEvent>& events) {
  std::vector<const RawEvent*> kept;
  std::unordered_map<std::string, size_t> byKey;
  for (const RawEvent& e : events) {
    if (!e.hasStart) continue;  // malformed: skipped, the rest listed
    if (e.uid.empty()) {
      kept.push_back(&e);
      continue;
    }
    const auto found = byKey.emplace(VersionKey(e), kept.size());
    if (found.second) kept.push_back(&e);
    else if (Newer(e, *kept[found.first->second])) kept[found.first->second] = &e;
  }
  return kept;
}

constexpr double kSecond = 1.0 / 86400.0;

int64_t DayOf(int64_t seconds) { return seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400); }

// Splits a series at an override with RANGE=THISANDFUTURE: the series ends
// before the overridden occurrence `at` (seconds on the series' clock), and
// a second item, moved as far as the override moves that occurrence, starts
// at the override's start with its subject. `pieces` holds the series and
// the pieces split off it so far, in order; `shifts` what each piece adds
// to the series' original times.
void SplitSeries(Clocks* c, const RawEvent& override, int64_t at, std::vector<Building>* pieces,
                 std::vector<int64_t>* shifts) {
  Building& last = pieces->back();
  const int64_t from = at + shifts->back();  // the occurrence in the last piece's times
  double startOwn;
  if (!WallOn(c, override, override.start, last.item.clock, &startOwn)) return;
  const int64_t shift = SecondsOfDate(startOwn) - from;
  Building next = last;
  next.source = &override;
  next.item.ownStart = startOwn;
  if (!ClockToLocal(c, next.item.clock, startOwn, &next.item.start)) next.item.start = startOwn;
  next.item.allDay = override.start.dateOnly;
  if (!override.summary.empty()) DecodeSubject(override.summary.data(), override.summary.size(), next.item.subject);
  // A move within the day keeps any pattern, a move by days keeps a daily
  // or weekly one; a monthly or yearly series moved by days is no longer on
  // "the same day of the month": the interface cannot say it.
  const int type = last.item.recurrenceType;
  if (DayOf(SecondsOfDate(startOwn)) != DayOf(from) && type != calendar::kRecursDaily &&
      type != calendar::kRecursWeekly)
    next.item.recurrenceType = calendar::kRecursOther;
  if (last.hasEnd) next.ownEnd = DateOfSeconds(SecondsOfDate(last.ownEnd) + shift);
  next.item.exceptions.clear();
  if (from <= SecondsOfDate(last.item.ownStart)) {  // the whole piece moves
    last = next;
    shifts->back() += shift;
    return;
  }
  if (!last.hasEnd || SecondsOfDate(last.ownEnd) >= from) {
    last.hasEnd = true;
    last.ownEnd = DateOfSeconds(from - 1);
  }
  const int64_t total = shifts->back() + shift;
  pieces->push_back(next);
  shifts->push_back(total);
}

}  // namespace

bool IsException(Calendar* calendar, const Item& item, double start) {
  double own;
  if (!LocalToClock(&calendar->clocks, item.clock, start, &own)) own = start;
  const double at = oledate::Linear(own);
  for (const Exception& x : item.exceptions) {
    const double when = oledate::Linear(x.at);
    if (x.wholeDay ? std::floor(at) == std::floor(when) : std::fabs(at - when) < 0.5 * kSecond) return true;
  }
  return false;
}

Status ReadFiles(const FileBytes* files, size_t count, const Options& options, Calendar* calendar, Status* each) {
  calendar->items.clear();
  calendar->clocks = Clocks{};
  calendar->clocks.options = options;
  Clocks* c = &calendar->clocks;
  std::vector<RawEvent> events;
  Status overall = Status::kOk;
  for (size_t f = 0; f < count; ++f) {
    Status status = Status::kOk;
    const size_t eventsBefore = events.size();
    const size_t zonesBefore = c->zones.size();
    if (files[f].size > kMaxFileBytes) {
      status = Status::kTooBig;
    } else {
      Scan scan;
      scan.options = &options;
      scan.clocks = c;
      scan.events = &events;
      scan.file = f;
      scan.zoneFirst = zonesBefore;
      ScanLines(&scan, files[f].data, files[f].size);
      if (scan.cancelled) {
        calendar->clocks = Clocks{};
        calendar->clocks.options = options;
        if (each != nullptr)
          for (size_t k = f; k < count; ++k) each[k] = Status::kCancelled;
        return Status::kCancelled;
      }
      if (scan.tooBig) status = Status::kTooBig;
      if (scan.notCalendar) status = Status::kNotCalendar;
    }
    if (status != Status::kOk) {  // a broken file adds nothing
      events.resize(eventsBefore);
      c->zones.resize(zonesBefore);
      if (overall == Status::kOk) overall = status;
    }
    for (size_t k = eventsBefore; k < events.size(); ++k) events[k].zoneEnd = c->zones.size();
    if (each != nullptr) each[f] = status;
  }

  // Series and one-offs; overrides wait for their series.
  std::vector<Building> built;
  std::unordered_map<std::string, size_t> seriesByUid;
  std::vector<const RawEvent*> overrides;
  std::unordered_map<std::string, bool> cancelledSeries;  // a cancelled event takes its overrides along
  for (const RawEvent* e : Versions(events)) {
    if (e->hasRecurrenceId && !e->uid.empty()) {
      overrides.push_back(e);
      continue;
    }
    if (e->cancelled) {
      if (!e->uid.empty()) cancelledSeries[e->uid] = true;
      continue;
    }
    Building b;
    MakeItem(c, *e, &b);
    if (b.item.recurring && !e->uid.empty()) seriesByUid[e->uid] = built.size();
    built.push_back(std::move(b));
  }
  // Overrides: the series has no occurrence at the RECURRENCE-ID any more;
  // the override is a one-off item at its own start, or, for
  // RANGE=THISANDFUTURE, the rest of the series moved.
  std::vector<std::vector<const RawEvent*>> splits(built.size());
  for (const RawEvent* e : overrides) {
    if (cancelledSeries.count(e->uid) != 0) continue;
    const auto found = seriesByUid.find(e->uid);
    if (found != seriesByUid.end()) {
      Building& series = built[found->second];
      if (e->thisAndFuture && !e->cancelled) {
        splits[found->second].push_back(e);
        continue;
      }
      Exception x{0, e->recurrenceId.dateOnly};
      if (series.item.exceptions.size() < kMaxExceptions && WallOn(c, *e, e->recurrenceId, series.item.clock, &x.at))
        series.item.exceptions.push_back(x);
    }
    if (e->cancelled) continue;  // a cancelled override only removes its occurrence
    Building b;
    MakeItem(c, *e, &b);
    built.push_back(std::move(b));
  }
  std::vector<Building> pieces;
  for (size_t i = 0; i < splits.size(); ++i) {
    if (splits[i].empty()) continue;
    std::vector<std::pair<int64_t, const RawEvent*>> at;
    for (const RawEvent* e : splits[i]) {
      double when;
      if (at.size() < kMaxExceptions && WallOn(c, *e, e->recurrenceId, built[i].item.clock, &when))
        at.emplace_back(SecondsOfDate(when), e);
    }
    std::stable_sort(at.begin(), at.end(),
                     [](const std::pair<int64_t, const RawEvent*>& a, const std::pair<int64_t, const RawEvent*>& b) {
                       return a.first < b.first;
                     });
    std::vector<Building> series{built[i]};
    std::vector<int64_t> shifts{0};
    std::vector<int64_t> froms{INT64_MIN};  // the first original time each piece holds
    for (const auto& split : at) {
      const size_t before = series.size();
      SplitSeries(c, *split.second, split.first, &series, &shifts);
      if (series.size() > before) froms.push_back(split.first);
    }
    // The series' exceptions (original times) go to the piece that holds them.
    const std::vector<Exception> original = built[i].item.exceptions;
    for (Building& piece : series) piece.item.exceptions.clear();
    for (const Exception& x : original) {
      const int64_t t = SecondsOfDate(x.at);
      size_t k = froms.size() - 1;
      while (k > 0 && t < froms[k]) --k;
      series[k].item.exceptions.push_back(Exception{DateOfSeconds(t + shifts[k]), x.wholeDay});
    }
    built[i] = series[0];
    pieces.insert(pieces.end(), series.begin() + 1, series.end());
  }
  for (Building& b : pieces) built.push_back(std::move(b));

  // Every pattern's end into device time.
  std::vector<Item> out;
  out.reserve(built.size());
  for (Building& b : built) {
    if (b.item.recurring && b.hasEnd) {
      b.item.noEndDate = false;
      if (!ClockToLocal(c, b.item.clock, b.ownEnd, &b.item.patternEnd)) b.item.patternEnd = b.ownEnd;
    }
    out.push_back(std::move(b.item));
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const Item& a, const Item& b) { return oledate::Linear(a.start) < oledate::Linear(b.start); });
  calendar->items = std::move(out);
  return overall;
}

Status Read(const uint8_t* data, size_t size, const Options& options, Calendar* calendar) {
  const FileBytes file{data, size};
  return ReadFiles(&file, 1, options, calendar, nullptr);
}

}  // namespace ical
