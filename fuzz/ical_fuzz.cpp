// Fuzz target of the calendar file reader: any bytes, read as one or more
// files (split at each "\f" byte), must give one of the documented results
// without a crash, a leak or an out-of-bounds access; every item read must
// be sound (terminated subject, ordered starts, a known clock, zones within
// their bounds), and walking the items at a fixed moment, with the series'
// own clocks and exceptions, must stay within the table.
// Build: fuzz/run-fuzz.sh (clang++ -fsanitize=fuzzer,address,undefined
// against the pure core).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lockscreen/core/appointment_rules.h"
#include "platform/core/ical_reader.h"
#include "tests/unit/ical_walk.h"

namespace {

// The device: UTC-5, and UTC-4 in the middle of each year (a zone with
// daylight saving time, so that own clocks and device time differ).
bool Summer(double date) {
  oledate::Fields f;
  return oledate::ToFields(date, &f) && f.month >= 4 && f.month <= 10;
}
double UtcToLocal(void*, double utc) { return utc - (Summer(utc) ? 4.0 : 5.0) / 24; }
double LocalToUtc(void*, double local) { return local + (Summer(local) ? 4.0 : 5.0) / 24; }

// Two system zones, one of them with rules that differ by year.
bool SystemZone(void*, const char* name, int year, ical::SystemRules* out) {
  if (std::strcmp(name, "W. Europe Standard Time") == 0) {
    *out = ical::SystemRules{-60, 0, -60, {0, 10, 0, 5, 3, 0, 0}, {0, 3, 0, 5, 2, 0, 0}};
    return true;
  }
  if (std::strcmp(name, "Eastern Standard Time") == 0) {
    *out = year < 2007 ? ical::SystemRules{300, 0, -60, {0, 10, 0, 5, 2, 0, 0}, {0, 4, 0, 1, 2, 0, 0}}
                       : ical::SystemRules{300, 0, -60, {0, 11, 0, 1, 2, 0, 0}, {0, 3, 0, 2, 2, 0, 0}};
    return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<ical::FileBytes> files;
  size_t from = 0;
  for (size_t i = 0; i <= size; ++i)
    if (i == size || data[i] == '\f') {
      files.push_back(ical::FileBytes{data + from, i - from});
      from = i + 1;
    }
  ical::Calendar calendar;
  std::vector<ical::Status> each(files.size());
  const ical::Options options{nullptr, UtcToLocal, LocalToUtc, SystemZone, nullptr};
  const ical::Status status = ical::ReadFiles(files.data(), files.size(), options, &calendar, each.data());
  if (status == ical::Status::kCancelled) abort();  // nothing cancels here
  bool allOk = true;
  for (ical::Status s : each) allOk = allOk && s == ical::Status::kOk;
  if ((status == ical::Status::kOk) != allOk) abort();
  for (const ical::Zone& z : calendar.clocks.zones)
    if (z.onsets.size() > ical::kMaxZoneOnsets || z.rules.size() > ical::kMaxRuleObservances) abort();
  const std::vector<ical::Item>& items = calendar.items;
  for (size_t i = 0; i < items.size(); ++i) {
    bool terminated = false;
    for (int k = 0; k < appt::kSubjectUnits && !terminated; ++k) terminated = items[i].subject[k] == 0;
    if (!terminated) abort();
    if (i > 0 && oledate::Linear(items[i - 1].start) > oledate::Linear(items[i].start)) abort();
    if (items[i].clock != ical::kDeviceClock &&
        (items[i].clock < 0 || static_cast<size_t>(items[i].clock) >= calendar.clocks.clocks.size()))
      abort();
  }
  // The walk at a moment in summer and one in winter.
  for (double now : {46582.4375, 46400.75}) {  // 2027-07-14 10:30, 2027-01-13 18:00
    appt::Row rows[appt::kCapacity] = {};
    int recurring;
    const int filled = icalwalk::Walk(&calendar, now, rows, &recurring);
    if (filled < 0 || filled > appt::kCapacity || recurring < 0 || recurring > filled) abort();
  }
  return 0;
}
