// Wait sets in priority order and the mapping of a wait result back to its
// source.
#include "service/core/wait_rules.h"

namespace service {

namespace {
void Add(WaitSet& set, WaitSource source) {
  if (set.count < kMaxWaitSources) set.sources[set.count++] = source;
}
}  // namespace

WaitSet ArmedWaitSet(bool haveQueue, bool haveProcess) {
  WaitSet set{};
  if (haveQueue) Add(set, kFromPowerQueue);
  Add(set, kFromStop);
  Add(set, kFromIdle);
  Add(set, kFromActivate);
  if (haveProcess) Add(set, kFromLockScreenProcess);
  return set;
}

WaitSet ShowingWaitSet(bool haveProcess, bool haveQueue) {
  WaitSet set{};
  if (haveQueue) Add(set, kFromPowerQueue);
  if (haveProcess) Add(set, kFromLockScreenProcess);
  Add(set, kFromActivate);
  return set;
}

WaitSource ClassifyWait(const WaitSet& set, uint32_t result) {
  if (result == kWaitTimeout) return kTimedOut;
  if (result >= kWaitObject0 && result - kWaitObject0 < static_cast<uint32_t>(set.count))
    return set.sources[result - kWaitObject0];
  return kWaitFailed;
}

}  // namespace service
