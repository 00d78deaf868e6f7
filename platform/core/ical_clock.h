// The clocks a calendar's times run on: the device's own (floating times
// and dates), UTC ("Z" times), a VTIMEZONE of the file, or a system zone
// named by its Windows name. A series is projected on its own clock (its
// wall-clock time stays the same across daylight-saving changes) and only
// the result is turned into device time. Pure: the device's zone and the
// system's zone rules come in as callbacks.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/ical_zone.h"

namespace ical {

struct Options {
  void* context;
  // A UTC DATE into the device's local DATE and back; null: the device runs on UTC.
  double (*utcToLocal)(void* context, double utc);
  double (*localToUtc)(void* context, double local);
  // The rules of the system zone `windowsName` ("W. Europe Standard Time")
  // for `year`; false when the system does not know the zone. Null: no
  // system zones.
  bool (*systemZone)(void* context, const char* windowsName, int year, SystemRules* out);
  // Polled now and then during a long read; null: never cancelled.
  bool (*cancelled)(void* context);
};

constexpr int kDeviceClock = -1;
// System rules asked for per read at most (a hostile file names hundreds
// of zones over thousands of years; real ones need a handful).
constexpr size_t kMaxSystemLookups = 4096;

struct Clock {
  enum Kind { kUtc, kFileZone, kSystem } kind;
  size_t zone;              // kFileZone: index into Clocks::zones
  std::string windowsName;  // kSystem
};

struct Clocks {
  Options options{};
  std::vector<Zone> zones;  // the VTIMEZONEs of every file read
  std::vector<Clock> clocks;
  // System rules per (clock, year), and how many the callback was asked for.
  std::map<std::pair<int, int>, std::pair<bool, SystemRules>> systemYears;
  size_t systemLookups = 0;
  std::map<std::string, int> byName;  // resolved TZIDs ("<first zone>/<tzid>") and system names
};

// The clock of a TZID in a file whose VTIMEZONEs are zones[first, end):
// the file's own definition, else a known IANA or Windows zone name of the
// system, else the device's clock (a name nobody knows).
int ClockOfTzid(Clocks* clocks, size_t first, size_t end, const std::string& tzid);
int UtcClock(Clocks* clocks);

// A wall time (seconds on a straight line, see WallSeconds) on a clock into
// UTC seconds and back; false when the clock cannot say.
bool WallToUtc(Clocks* clocks, int clock, int64_t wall, int64_t* utc);
bool UtcToWall(Clocks* clocks, int clock, int64_t utc, int64_t* wall);

// A wall DATE on a clock into the device's local DATE and back.
bool ClockToLocal(Clocks* clocks, int clock, double wall, double* local);
bool LocalToClock(Clocks* clocks, int clock, double local, double* wall);

// DATE <-> seconds on a straight line (rounded to the second).
double DateOfSeconds(int64_t seconds);
int64_t SecondsOfDate(double date);

// The Windows zone name of an IANA zone name (CLDR's table), or null.
const char* WindowsZoneOf(const std::string& iana);

}  // namespace ical
