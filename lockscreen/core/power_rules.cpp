// The power thread's decision: critical or reset ends the lock screen,
// every other broadcast wakes it, a short record is ignored.
#include "lockscreen/core/power_rules.h"

namespace powerrules {

BroadcastAction Decide(const uint8_t* record, size_t size) {
  if (record == nullptr || size < kBroadcastHeaderBytes) return BroadcastAction::kIgnore;
  uint32_t flags = static_cast<uint32_t>(record[4]) | (static_cast<uint32_t>(record[5]) << 8) |
                   (static_cast<uint32_t>(record[6]) << 16) | (static_cast<uint32_t>(record[7]) << 24);
  if ((flags & (kPowerStateCritical | kPowerStateReset)) != 0) return BroadcastAction::kClose;
  return BroadcastAction::kWake;
}

}  // namespace powerrules
