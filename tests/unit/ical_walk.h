// The query's walk over a calendar read by the iCalendar reader, as the
// lock screen runs it over the platform's calendar interface: the items in
// order, each series' pattern with its own clock, its exceptions and the
// conversions to and from that clock. Shared by the unit tests and the
// calendar fuzz target.
#pragma once
#include <cstring>

#include "lockscreen/core/appointment_rules.h"
#include "platform/core/ical_reader.h"

namespace icalwalk {

inline ical::Calendar* Of(void* c) { return static_cast<ical::Calendar*>(c); }
inline const ical::Item& ItemAt(void* c, int index) { return Of(c)->items[static_cast<size_t>(index - 1)]; }

inline bool Item(void* c, int index, appt::ItemFacts* out) {
  const ical::Item& it = ItemAt(c, index);
  out->start = it.start;
  out->allDay = it.allDay;
  out->recurring = it.recurring;
  std::memcpy(out->subject, it.subject, sizeof out->subject);
  return true;
}
inline bool Pattern(void* c, int index, appt::PatternFacts* out) {
  const ical::Item& it = ItemAt(c, index);
  *out = appt::PatternFacts{it.noEndDate, it.patternEnd, true, it.recurrenceType, it.clock != ical::kDeviceClock,
                            it.ownStart};
  return it.recurring;
}
inline bool Excluded(void* c, int index, double start) { return ical::IsException(Of(c), ItemAt(c, index), start); }
inline bool Convert(void* c, int index, bool toOwn, double in, double* out) {
  const int clock = ItemAt(c, index).clock;
  return toOwn ? ical::LocalToClock(&Of(c)->clocks, clock, in, out)
               : ical::ClockToLocal(&Of(c)->clocks, clock, in, out);
}

// Walks the calendar at `now` (device time) into `rows`; returns the rows filled.
inline int Walk(ical::Calendar* calendar, double now, appt::Row rows[appt::kCapacity], int* recurring) {
  oledate::Fields today;
  *recurring = 0;
  if (!oledate::ToFields(now, &today)) return 0;
  const appt::Source source{calendar, static_cast<int>(calendar->items.size()), Item, Pattern, Excluded, Convert,
                            nullptr};
  *recurring = appt::kRecurringLimit;
  return appt::Walk(source, today, now, rows, appt::kCapacity, true, recurring);
}

}  // namespace icalwalk
