// Fuzz target of the calendar file reader: any bytes must give one of the
// documented results without a crash, a leak or an out-of-bounds access,
// and every item read must be sound (terminated subject, ordered starts).
// Build: clang++ -std=c++17 -g -fsanitize=fuzzer,address,undefined -I. fuzz/ical_fuzz.cpp
//        lockscreen/core/ical_*.cpp lockscreen/core/appointment_*.cpp
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lockscreen/core/ical_reader.h"

static double Shift(void*, double utc) { return utc - 5.0 / 24.0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<ical::Item> items;
  ical::Options options{nullptr, Shift, nullptr};
  const ical::Status status = ical::Read(data, size, options, &items);
  if (status != ical::Status::kOk && !items.empty()) abort();
  for (size_t i = 0; i < items.size(); ++i) {
    bool terminated = false;
    for (int k = 0; k < appt::kSubjectUnits && !terminated; ++k) terminated = items[i].subject[k] == 0;
    if (!terminated) abort();
    if (i > 0 && oledate::Linear(items[i - 1].start) > oledate::Linear(items[i].start)) abort();
    ical::IsException(items[i], items[i].start);
  }
  return 0;
}
