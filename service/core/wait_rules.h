// What the result of one of the service's multiple-object waits refers to.
// The handles are listed in a wait set in priority order (the lowest index
// wins when several are signalled); a handle the service does not have (no
// power queue, no lock screen process) is left out, so the index of a
// source depends on the set. Pure: results are the plain numbers the wait
// returns.
#pragma once
#include <cstdint>

namespace service {

enum WaitSource {
  kFromPowerQueue,
  kFromStop,
  kFromIdle,
  kFromActivate,
  kFromLockScreenProcess,  // the started lock screen ended
  kTimedOut,
  kWaitFailed,  // any other result, abandoned handles included
};

constexpr uint32_t kWaitObject0 = 0;    // WAIT_OBJECT_0
constexpr uint32_t kWaitTimeout = 258;  // WAIT_TIMEOUT
constexpr int kMaxWaitSources = 5;

struct WaitSet {
  WaitSource sources[kMaxWaitSources];
  int count;
};

// The armed wait: power queue, stop, idle, activate; without a queue the
// three events alone. Last, the lock screen the service started, when it
// still runs (an activate request re-arms while it shows): its death is a
// reason to lock again.
WaitSet ArmedWaitSet(bool haveQueue, bool haveProcess);
// The wait while a lock screen shows: the power queue first (every record
// that came while the lock screen showed is read and dropped before anything
// else moves the service on), then the started lock screen's process (its
// end re-arms at once, also when it was killed), then the activate event.
WaitSet ShowingWaitSet(bool haveProcess, bool haveQueue);

WaitSource ClassifyWait(const WaitSet& set, uint32_t result);

}  // namespace service
