// The calendar file on this platform: an iCalendar file (RFC 5545) as
// common calendar programs export it, read into the items the lock screen's
// calendar interface delivers. Pure (no <windows.h>): the local time zone
// comes in as a callback so that the reader is tested natively.
//
// What is read: VEVENT with DTSTART (VALUE=DATE: all-day; UTC "Z" and TZID
// times converted to local time through the file's VTIMEZONE, a TZID without
// one taken as local; floating times as they are), SUMMARY, RRULE, EXDATE,
// RECURRENCE-ID, STATUS and UID. Everything else is passed over. Bounds:
// kMaxFileBytes of input (beyond it the file is refused), kMaxLineBytes per
// unfolded content line (the rest of a longer line is dropped), kMaxItems
// items.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lockscreen/core/appointment_rules.h"

namespace ical {

constexpr size_t kMaxFileBytes = 2 * 1024 * 1024;
constexpr size_t kMaxLineBytes = 4096;
constexpr size_t kMaxItems = 32768;
constexpr size_t kMaxExceptions = 512;  // per series; further ones are dropped

// An occurrence a series does not have at its rule's time: removed by
// EXDATE or moved elsewhere by an override (RECURRENCE-ID).
struct Exception {
  double at;      // local DATE
  bool wholeDay;  // a DATE value: the whole day is meant
};

struct Item {
  double start;  // local DATE of the first start
  bool allDay;
  char16_t subject[appt::kSubjectUnits];
  bool recurring;
  int recurrenceType;  // appt::kRecurs*
  bool noEndDate;
  double patternEnd;  // last occurrence's start (COUNT) or the UNTIL bound
  std::vector<Exception> exceptions;
};

enum class Status {
  kOk,
  kNotCalendar,  // the first content line is not BEGIN:VCALENDAR
  kTooBig,       // more than kMaxFileBytes or kMaxItems
  kCancelled,    // the cancel callback said so
};

struct Options {
  void* context;
  // A UTC DATE into the local DATE of the device; null: UTC is local.
  double (*utcToLocal)(void* context, double utc);
  // Polled now and then during a long read; null: never cancelled.
  bool (*cancelled)(void* context);
};

// Reads `size` bytes (no terminator needed). On kOk `items` holds the
// events sorted by start, equal starts in file order; cancelled events are
// left out, and so is an event without a usable DTSTART or with a broken
// RRULE. An empty file (or one of white space only) is an empty calendar.
Status Read(const uint8_t* data, size_t size, const Options& options, std::vector<Item>* items);

// True when the series has no occurrence at `start` (a local DATE).
bool IsException(const Item& item, double start);

// A SUMMARY value (already unfolded and unescaped, as bytes) into a subject:
// UTF-8 decoded (each invalid byte becomes U+FFFD), control characters
// turned into spaces, cut to 63 units on a character boundary, terminated.
void DecodeSubject(const char* bytes, size_t size, char16_t out[appt::kSubjectUnits]);

}  // namespace ical
