// One pass of the lock service: wait while a lock screen shows, make sure
// the power queue is there, re-read the settings, decide how to wait, wait,
// and at the end stop the idle watcher and start the lock screen. The
// decisions themselves are in service/core; the power queue and its
// registration live as long as the service (power_queue.cpp).
#include "platform/events.h"
#include "service/core/broadcast_rules.h"
#include "service/core/pass_rules.h"
#include "service/core/wait_rules.h"
#include "service/hushpane.h"
#include "shared/signals.h"

namespace {

// While a lock screen shows, the marker event is polled this often.
constexpr DWORD kShowingPollMs = 1000;
// Every armed wait cycle begins with this sleep.
constexpr DWORD kCycleSleepMs = 500;
// A power queue that cannot be made: rather than wait on a null handle
// (a wait that fails at once, every cycle), the service waits on its three
// events alone, so stop, idle and activate requests are still served, and
// tries to make the queue again after this long without one of them.
constexpr DWORD kQueueRetryMs = 5000;
// With EnableOnAC a watcher that ended (the device went on battery) is
// started again on the next cycle; the wait is bounded so that the next
// cycle comes even when nothing else happens.
constexpr DWORD kWatcherRecheckMs = 10000;

enum PassOutcome {
  kOutcomeLock,
  kOutcomeEnd,  // end the service without a lock
};

DWORD WaitOn(const service::WaitSet& set, DWORD timeoutMs) {
  HANDLE handles[service::kMaxWaitSources];
  for (int i = 0; i < set.count; ++i) {
    switch (set.sources[i]) {
      case service::kFromPowerQueue: handles[i] = g_service.powerQueue; break;
      case service::kFromStop: handles[i] = g_service.stopEvent; break;
      case service::kFromIdle: handles[i] = g_service.idleEvent; break;
      case service::kFromActivate: handles[i] = g_service.activateEvent; break;
      case service::kFromLockScreenProcess: handles[i] = g_service.lockScreenProcess; break;
      default: handles[i] = nullptr; break;
    }
  }
  return WaitForMultipleObjects(static_cast<DWORD>(set.count), handles, FALSE, timeoutMs);
}

// Step 1. A record that arrives while the lock screen shows is read and
// dropped: the device is already locked. Records that arrive once it has
// gone stay in the queue for the armed wait.
void WaitWhileLockScreenShows() {
  while (LockScreenShowing()) {
    service::WaitSet set =
        service::ShowingWaitSet(g_service.lockScreenProcess != nullptr, g_service.powerQueue != nullptr);
    DWORD result = WaitOn(set, kShowingPollMs);
    switch (service::ClassifyWait(set, result)) {
      case service::kFromActivate:
        EventModify(g_service.activateEvent, EVENT_RESET);
        ForgetLockScreen();
        return;
      case service::kFromPowerQueue: {
        // Looked at again right before the drop: a record that comes just
        // after the lock screen ended belongs to the armed wait.
        if (!LockScreenShowing()) return;
        BYTE record[1024];
        DWORD size = 0;
        ReadPowerRecord(record, &size);
        break;
      }
      case service::kWaitFailed:
        Sleep(kShowingPollMs);  // never spin on a wait that fails at once
        break;
      default:  // the lock screen ended, or the poll time passed: look again
        break;
    }
  }
}

// Step 5, the armed wait loop.
PassOutcome WaitLoop() {
  for (;;) {
    Sleep(kCycleSleepMs);
    if (g_service.settings.EnableOnAC) StartIdleWatcherIfStopped();
    bool haveQueue = g_service.powerQueue != nullptr;
    service::WaitSet set = service::ArmedWaitSet(haveQueue);
    DWORD timeout = INFINITE;
    if (g_service.settings.EnableOnAC) timeout = kWatcherRecheckMs;
    if (!haveQueue) timeout = kQueueRetryMs;
    DWORD result = WaitOn(set, timeout);
    switch (service::ClassifyWait(set, result)) {
      case service::kFromPowerQueue: {
        BYTE record[1024];
        DWORD size = 0;
        if (!ReadPowerRecord(record, &size)) break;
        service::BroadcastMeaning meaning = service::InterpretBroadcast(record, size);
        if (meaning == service::kLock) return kOutcomeLock;
        if (meaning == service::kEndService) {
          // No watcher outlives the events it waits on; "End_Event" is
          // set only when one was started, and reset again.
          if (g_service.watcherThread != nullptr) StopIdleWatcher(true);
          return kOutcomeEnd;
        }
        break;
      }
      case service::kFromStop:
        StopIdleWatcher(false);  // "End_Event" stays set
        return kOutcomeEnd;
      case service::kFromIdle:
        EventModify(g_service.idleEvent, EVENT_RESET);
        return kOutcomeLock;
      case service::kFromActivate:
        LoadServiceSettings(&g_service.settings);
        EventModify(g_service.activateEvent, EVENT_RESET);
        return kOutcomeLock;
      case service::kTimedOut:
        if (!haveQueue) OpenPowerQueue();
        break;
      default:  // a failed wait: the next cycle, after its sleep
        break;
    }
  }
}

}  // namespace

bool RunPass() {
  WaitWhileLockScreenShows();
  OpenPowerQueue();
  LoadServiceSettings(&g_service.settings);

  bool endAfter = false;
  PassOutcome outcome = kOutcomeLock;
  switch (service::DecidePassStart(g_service.settings.AutoRun != 0, g_service.settings.ActivateAtStartup != 0,
                                   g_service.firstPass, g_service.installed)) {
    case service::kLockAndEnd: endAfter = true; break;
    case service::kLockNow: break;
    case service::kWaitLoop:
      outcome = WaitLoop();
      endAfter = outcome == kOutcomeEnd;
      break;
  }

  g_service.firstPass = false;
  if (outcome == kOutcomeLock) {
    // The watcher is stopped before the lock screen starts, never after:
    // "End_Event" is shared with the lock screen, whose workers a later set
    // would stop for good.
    StopIdleWatcher(true);
    StartLockScreen();
  }
  return endAfter;
}
