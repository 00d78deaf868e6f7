// VTIMEZONE of an iCalendar file: which UTC offset a TZID wall time has.
// Covers what exporters write: STANDARD and DAYLIGHT observances with a
// DTSTART, TZOFFSETFROM/TZOFFSETTO and an optional yearly RRULE by month and
// (n-th) weekday or month day. RDATE lists are not read (only the
// observance's own start counts). Pure.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "lockscreen/core/ical_values.h"

namespace ical {

struct Observance {
  bool hasStart;
  RawTime start;  // wall time in the offset in force before it
  bool hasFrom;
  bool hasTo;
  int offsetFrom;  // seconds east of UTC
  int offsetTo;
  bool hasRule;
  RawRule rule;
};

struct Zone {
  std::string tzid;
  std::vector<Observance> observances;
};

// "+hhmm", "-hhmm" or with seconds "+hhmmss" into seconds east of UTC.
bool ParseOffset(const std::string& text, int* seconds);

// The offset in force at the wall time `wall` (WallSeconds); false when the
// zone has no usable observance.
bool ZoneOffset(const Zone& zone, int64_t wall, int* offset);

}  // namespace ical
