// The clocks of a calendar; see ical_clock.h.
#include "platform/core/ical_clock.h"

#include <algorithm>
#include <cmath>

#include "platform/core/ole_date.h"
#include "platform/core/ical_windows_zones_table.h"

namespace ical {

static char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Case-insensitive order of ASCII names, the table's order.
static int CompareNames(const char* a, const std::string& b) {
  size_t i = 0;
  for (; a[i] != 0 && i < b.size(); ++i) {
    const unsigned char x = static_cast<unsigned char>(Lower(a[i])), y = static_cast<unsigned char>(Lower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a[i] == 0) return i == b.size() ? 0 : -1;
  return 1;
}

const char* WindowsZoneOf(const std::string& iana) {
  const WindowsZoneName* begin = kWindowsZones;
  const WindowsZoneName* end = kWindowsZones + sizeof kWindowsZones / sizeof kWindowsZones[0];
  const WindowsZoneName* at = std::lower_bound(
      begin, end, iana, [](const WindowsZoneName& z, const std::string& n) { return CompareNames(z.iana, n) < 0; });
  return at != end && CompareNames(at->iana, iana) == 0 ? at->windows : nullptr;
}

double DateOfSeconds(int64_t seconds) {
  int64_t day = seconds / 86400, secs = seconds % 86400;
  if (secs < 0) {
    secs += 86400;
    --day;
  }
  return oledate::Make(day, secs / 86400.0);
}

int64_t SecondsOfDate(double date) {
  return oledate::WholeDays(date) * 86400 + std::llround(oledate::TimeOfDay(date) * 86400.0);
}

// The system rules of a clock for a year (cached; bounded lookups).
static const SystemRules* RulesFor(Clocks* c, int clock, int year) {
  const auto key = std::make_pair(clock, year);
  auto found = c->systemYears.find(key);
  if (found == c->systemYears.end()) {
    if (c->options.systemZone == nullptr || c->systemLookups >= kMaxSystemLookups) return nullptr;
    ++c->systemLookups;
    SystemRules rules{};
    const bool ok = c->options.systemZone(c->options.context, c->clocks[clock].windowsName.c_str(), year, &rules);
    found = c->systemYears.emplace(key, std::make_pair(ok, rules)).first;
  }
  return found->second.first ? &found->second.second : nullptr;
}

// The offset of a wall time on a zone clock (not the device's).
static bool OffsetAtWall(Clocks* c, int clock, int64_t wall, int* offset) {
  const Clock& k = c->clocks[clock];
  if (k.kind == Clock::kUtc) {
    *offset = 0;
    return true;
  }
  if (k.kind == Clock::kFileZone) return ZoneOffset(c->zones[k.zone], wall, offset);
  oledate::Fields f;
  if (!oledate::ToFields(DateOfSeconds(wall), &f)) return false;
  const SystemRules* rules = RulesFor(c, clock, f.year);
  if (rules == nullptr) return false;
  *offset = SystemOffset(*rules, f.year, wall);
  return true;
}

bool WallToUtc(Clocks* c, int clock, int64_t wall, int64_t* utc) {
  if (clock == kDeviceClock) {
    const double local = DateOfSeconds(wall);
    *utc = c->options.localToUtc != nullptr ? SecondsOfDate(c->options.localToUtc(c->options.context, local)) : wall;
    return true;
  }
  int offset;
  if (!OffsetAtWall(c, clock, wall, &offset)) return false;
  *utc = wall - offset;
  return true;
}

bool UtcToWall(Clocks* c, int clock, int64_t utc, int64_t* wall) {
  if (clock == kDeviceClock) {
    const double u = DateOfSeconds(utc);
    *wall = c->options.utcToLocal != nullptr ? SecondsOfDate(c->options.utcToLocal(c->options.context, u)) : utc;
    return true;
  }
  // The offset is a function of the wall time: guess with the offset at
  // the UTC time, then settle on an offset that gives itself back.
  int guess, offset;
  if (!OffsetAtWall(c, clock, utc, &guess) || !OffsetAtWall(c, clock, utc + guess, &offset)) return false;
  int again;
  if (offset != guess && OffsetAtWall(c, clock, utc + offset, &again) && again != offset) offset = guess;
  *wall = utc + offset;
  return true;
}

// The same wall-clock date in another clock: through UTC, unless it is
// the same clock.
static bool Reclock(Clocks* c, int from, int to, double date, double* out) {
  if (from == to) {
    *out = date;
    return true;
  }
  int64_t utc, there;
  if (!WallToUtc(c, from, SecondsOfDate(date), &utc) || !UtcToWall(c, to, utc, &there)) return false;
  *out = DateOfSeconds(there);
  return true;
}

bool ClockToLocal(Clocks* c, int clock, double wall, double* local) {
  return Reclock(c, clock, kDeviceClock, wall, local);
}

bool LocalToClock(Clocks* c, int clock, double local, double* wall) {
  return Reclock(c, kDeviceClock, clock, local, wall);
}

int UtcClock(Clocks* c) {
  const auto found = c->byName.find("\x01utc");
  if (found != c->byName.end()) return found->second;
  c->clocks.push_back(Clock{Clock::kUtc, 0, std::string()});
  return c->byName["\x01utc"] = static_cast<int>(c->clocks.size() - 1);
}

// The clock of a system zone by its Windows name; kDeviceClock when the
// system does not know it.
// A zone the system knows has rules for this year; a longer name than
// kMaxZoneNameBytes is no zone's and is not looked up.
constexpr int kKnownZoneYear = 2000;
constexpr size_t kMaxZoneNameBytes = 127;

static int SystemClock(Clocks* c, const std::string& windowsName) {
  const std::string key = "\x02" + windowsName;
  const auto found = c->byName.find(key);
  if (found != c->byName.end()) return found->second;
  c->clocks.push_back(Clock{Clock::kSystem, 0, windowsName});
  int clock = static_cast<int>(c->clocks.size() - 1);
  if (RulesFor(c, clock, kKnownZoneYear) == nullptr) {  // unknown to the system
    c->clocks.pop_back();
    c->systemYears.erase(std::make_pair(clock, kKnownZoneYear));
    clock = kDeviceClock;
  }
  return c->byName[key] = clock;
}

static bool Usable(const Zone& z) { return !z.onsets.empty() || !z.rules.empty(); }

static std::string Trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '"')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '"')) --e;
  return s.substr(b, e - b);
}

int ClockOfTzid(Clocks* c, size_t first, size_t end, const std::string& tzid) {
  const std::string key = std::to_string(first) + "/" + tzid;
  const auto found = c->byName.find(key);
  if (found != c->byName.end()) return found->second;
  int clock = kDeviceClock;
  // The file's own definition, spelled exactly or in another case.
  for (int pass = 0; pass < 2 && clock == kDeviceClock; ++pass)
    for (size_t i = first; i < end && clock == kDeviceClock; ++i)
      if (Usable(c->zones[i]) && (pass == 0 ? c->zones[i].tzid == tzid : SameName(c->zones[i].tzid, tzid.c_str()))) {
        c->clocks.push_back(Clock{Clock::kFileZone, i, std::string()});
        clock = static_cast<int>(c->clocks.size() - 1);
      }
  // A name the system knows: an IANA name (also behind a prefix such as
  // "/mozilla.org/20050126_1/Europe/Berlin"), or a Windows zone name.
  const std::string name = Trimmed(tzid);
  if (clock == kDeviceClock && !name.empty() && name.size() <= kMaxZoneNameBytes) {
    const char* windows = WindowsZoneOf(name);
    for (size_t slash = name[0] == '/' ? 0 : std::string::npos; windows == nullptr && slash != std::string::npos;
         slash = name.find('/', slash + 1))
      windows = WindowsZoneOf(name.substr(slash + 1));
    clock = SystemClock(c, windows != nullptr ? windows : name);
  }
  return c->byName[key] = clock;
}

}  // namespace ical
