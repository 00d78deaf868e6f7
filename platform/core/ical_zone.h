// Time zones of an iCalendar file: which UTC offset a wall time has.
//  - A VTIMEZONE, as exporters write it: STANDARD and DAYLIGHT observances
//    with a DTSTART, TZOFFSETFROM/TZOFFSETTO, an optional yearly RRULE by
//    month and (n-th) weekday or month day (with UNTIL or COUNT when an era
//    ended) and optional RDATE lists. Observances without a rule (one per
//    historical change, some programs write a hundred of them) are kept as
//    single onsets; only the oldest are dropped beyond kMaxZoneOnsets, so
//    the offsets of today's times never depend on how long the history is.
//  - The system's rules for a named zone (a Windows time zone: a standard
//    and a daylight bias with the yearly changes as "n-th weekday of a
//    month"), which the caller reads per year.
// Pure.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/ical_values.h"

namespace ical {

constexpr size_t kMaxZoneOnsets = 1024;     // single onsets kept per zone (the newest)
constexpr size_t kMaxRuleObservances = 64;  // observances with a yearly rule kept per zone (the newest)

// An observance with a yearly rule.
struct Observance {
  RawTime start;   // wall time in the offset in force before it
  int offsetFrom;  // seconds east of UTC
  int offsetTo;
  RawRule rule;
};

// A single change: at `wall` (in the offset before it) the offset becomes `offsetTo`.
struct Onset {
  int64_t wall;  // WallSeconds
  int offsetFrom;
  int offsetTo;
};

struct Zone {
  std::string tzid;
  std::vector<Onset> onsets;  // sorted by wall once the zone is complete
  std::vector<Observance> rules;
};

// One STANDARD or DAYLIGHT component as read.
struct ObservanceInput {
  bool hasStart;
  RawTime start;
  bool hasFrom;
  bool hasTo;
  int offsetFrom;
  int offsetTo;
  bool hasRule;
  RawRule rule;
  std::vector<RawTime> rdates;
};

// Adds an observance to the zone (bounded; see kMaxZoneOnsets).
void AddObservance(Zone* zone, const ObservanceInput& o);
// Sorts the onsets and keeps the newest kMaxZoneOnsets; called once the
// VTIMEZONE is complete.
void FinishZone(Zone* zone);

// "+hhmm", "-hhmm" or with seconds "+hhmmss" into seconds east of UTC.
bool ParseOffset(const std::string& text, int* seconds);

// The offset in force at the wall time `wall` (WallSeconds); false when the
// zone has no usable observance. A wall time in the hour a change skips or
// repeats gets one of the two offsets.
bool ZoneOffset(const Zone& zone, int64_t wall, int* offset);

// A system zone's rules for one year, in the form Windows keeps them
// (TIME_ZONE_INFORMATION): UTC = local time + bias, all in minutes.
struct SystemChange {
  int year;     // 0: a yearly rule (the `day`-th `weekday` of `month`, 5 = the last); else that date
  int month;    // 0: no change (no daylight saving time)
  int weekday;  // 0 Sunday - 6 Saturday
  int day;
  int hour, minute, second;
};
struct SystemRules {
  int bias;
  int standardBias;
  int daylightBias;
  SystemChange standard;  // the change to standard time, in daylight time
  SystemChange daylight;  // the change to daylight time, in standard time
};

// The offset (seconds east of UTC) of a wall time of `year` under `rules`.
int SystemOffset(const SystemRules& rules, int year, int64_t wall);

}  // namespace ical
