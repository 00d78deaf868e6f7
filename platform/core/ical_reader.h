// The calendar files on this platform: iCalendar (RFC 5545) as common
// calendar programs export them, read into the items the lock screen's
// calendar interface delivers. Pure (no <windows.h>): the device's zone and
// the system's zone rules come in as callbacks so that the reader is tested
// natively.
//
// What is read: VEVENT with DTSTART (VALUE=DATE: all-day; UTC "Z" times;
// TZID times through the file's VTIMEZONE, else the system's rules for a
// known IANA or Windows zone name, else taken as device time; floating times
// as they are), SUMMARY, RRULE, EXDATE, RECURRENCE-ID (with RANGE), STATUS,
// UID, SEQUENCE and DTSTAMP. Everything else is passed over.
//  - A series keeps its own wall-clock time: it is projected on the clock of
//    its DTSTART (see ical_clock.h), and its EXDATE, RECURRENCE-ID and UNTIL
//    are compared there.
//  - Several VEVENTs with one UID (and one RECURRENCE-ID, or none) are
//    versions of one event: the highest SEQUENCE wins, then the latest
//    DTSTAMP, then the later one read. This holds across files.
//  - An override with RANGE=THISANDFUTURE splits its series in two items:
//    the series up to the override, and from there a series moved as the
//    override says.
//  - Half-broken input loses no sound event: an empty RRULE is no rule; an
//    RRULE that cannot be read leaves the event at its first start; an END
//    that closes nothing is ignored, and the next BEGIN of a component that
//    only lives at the top (VEVENT, VTODO, VJOURNAL, VFREEBUSY, VTIMEZONE)
//    closes what is still open; blank lines are skipped, also inside a
//    folded property.
// Bounds: kMaxFileBytes per file (beyond it the file is refused),
// kMaxLineBytes per unfolded content line (the rest of a longer line is
// dropped), kMaxItems items over all files, and the zone bounds of
// ical_zone.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/core/calendar_values.h"
#include "platform/core/ical_clock.h"

namespace ical {

constexpr size_t kMaxFileBytes = 2 * 1024 * 1024;
constexpr size_t kMaxLineBytes = 4096;
constexpr size_t kMaxItems = 32768;
constexpr size_t kMaxExceptions = 512;  // per series; further ones are dropped

// An occurrence a series does not have at its rule's time: removed by
// EXDATE or moved elsewhere by an override (RECURRENCE-ID).
struct Exception {
  double at;      // wall DATE on the series' own clock
  bool wholeDay;  // a DATE value: the whole day is meant
};

struct Item {
  double start;  // device-local DATE of the first start
  bool allDay;
  char16_t subject[calendar::kSubjectUnits];
  bool recurring;
  int recurrenceType;  // calendar::kRecurs*
  bool noEndDate;
  double patternEnd;  // device-local: the last occurrence's start (COUNT) or the UNTIL bound
  int clock;          // the series' own clock (Calendar::clocks), kDeviceClock for device time
  double ownStart;    // the first start on that clock
  std::vector<Exception> exceptions;
};

struct Calendar {
  std::vector<Item> items;  // sorted by device-local start, equal starts in reading order
  Clocks clocks;
};

enum class Status {
  kOk,
  kNotCalendar,  // the first content line is not BEGIN:VCALENDAR
  kTooBig,       // more than kMaxFileBytes, or more than kMaxItems events in all
  kCancelled,    // the cancel callback said so
};

struct FileBytes {
  const uint8_t* data;
  size_t size;  // no terminator needed
};

// Reads `count` files into one calendar. `each` (may be null) receives the
// status of each file; a file that is not a calendar or too big adds
// nothing, and the items of the others are still read. The result is
// kCancelled when the read was cancelled (no items then), else the first
// failing file's status, else kOk. Cancelled events are left out, and so is
// an event without a usable DTSTART. An empty file (or one of white space
// only) is an empty calendar.
Status ReadFiles(const FileBytes* files, size_t count, const Options& options, Calendar* calendar, Status* each);
// One file.
Status Read(const uint8_t* data, size_t size, const Options& options, Calendar* calendar);

// True when the series has no occurrence at `start` (a device-local DATE).
bool IsException(Calendar* calendar, const Item& item, double start);

// A SUMMARY value (already unfolded and unescaped, as bytes) into a subject:
// UTF-8 decoded (each invalid byte becomes U+FFFD), control characters
// turned into spaces, cut to 63 units on a character boundary, terminated.
void DecodeSubject(const char* bytes, size_t size, char16_t out[calendar::kSubjectUnits]);

}  // namespace ical
