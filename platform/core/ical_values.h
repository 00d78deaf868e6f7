// The iCalendar reader's value types and their parsers: DATE and DATE-TIME
// values, RRULE parts, TEXT unescaping and the subject's decoding. Used by
// ical_reader.cpp and ical_zone.cpp; pure.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ical {

// A DATE or DATE-TIME as written, before any zone is applied.
struct RawTime {
  int year, month, day, hour, minute, second;
  bool dateOnly;     // VALUE=DATE form (YYYYMMDD)
  bool utc;          // ends in Z
  std::string tzid;  // TZID parameter ("" when none)
};

// Seconds on a straight line (day number * 86400 + time) of a wall time.
int64_t WallSeconds(const RawTime& t);

// Parses "YYYYMMDD" or "YYYYMMDDTHHMMSS[Z]" (case-insensitive T and Z,
// surrounding blanks ignored); the date must exist.
bool ParseTime(const std::string& text, RawTime* out);

// One BYDAY entry: an optional ordinal (-53..53, 0 when none) and a weekday.
struct ByDay {
  int ordinal;
  int weekday;  // 0 Sunday - 6 Saturday
};

struct RawRule {
  std::string freq;  // upper case
  int interval;      // 1 when absent
  bool hasCount;
  long count;
  bool hasUntil;
  RawTime until;
  std::vector<ByDay> byDay;
  std::vector<int> byMonthDay;
  std::vector<int> byMonth;
  // BYSETPOS, BYYEARDAY, BYWEEKNO, BYHOUR, BYMINUTE, BYSECOND, or a
  // calendar other than the Gregorian (RSCALE): more than a pattern says.
  bool otherParts;
  bool skipMoves;  // SKIP=BACKWARD or FORWARD: a missing day moves instead of being left out
};

// Parses an RRULE value; false for a rule without a known FREQ or with a
// part that cannot be read.
bool ParseRule(const std::string& text, RawRule* out);

// TEXT unescaping: \\ \; \, and \n (\N) as a line feed.
std::string Unescape(const std::string& text);

// Case-insensitive equality of an ASCII name.
bool SameName(const std::string& a, const char* b);

// Splits on commas (values of EXDATE, BYDAY, ...).
std::vector<std::string> SplitCommas(const std::string& text);

}  // namespace ical
