// One pass of the lock service: wait while a lock screen shows, make sure
// the power queue is there, re-read the settings, decide how to wait, wait,
// and at the end stop the idle watcher and start the lock screen. The
// decisions themselves are in service/core; the power queue and its
// registration live as long as the service (power_queue.cpp).
#include "service/core/broadcast_rules.h"
#include "service/core/pass_rules.h"
#include "service/core/wait_rules.h"
#include "service/hushpane.h"
#include "shared/signals.h"

namespace {

// While a lock screen shows, the marker event is polled this often.
constexpr DWORD kShowingPollMs = 1000;
// Every armed wait cycle begins with this pause (PauseBeforeWait).
constexpr DWORD kCycleSleepMs = 500;
// The armed wait is bounded: the next cycle then looks after the power
// queue (made again when it could not be made or was lost) and, with
// EnableOnAC, starts a watcher that ended (the device went on battery).
// Stop, idle and activate are served all the while.
constexpr DWORD kQueueCheckMs = 5000;

enum PassOutcome {
  kOutcomeLock,
  kOutcomeRestart,  // the lock screen left showing died: start it again
  kOutcomeEnd,      // end the service without a lock
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
// gone stay in the queue for the armed wait. A lock screen that dies is
// started again (lock_screen.cpp).
void WaitWhileLockScreenShows() {
  while (LockScreenShowing()) {
    service::WaitSet set =
        service::ShowingWaitSet(g_service.lockScreenProcess != nullptr, g_service.powerQueue != nullptr);
    DWORD result = WaitOn(set, kShowingPollMs);
    switch (service::ClassifyWait(set, result)) {
      case service::kFromActivate:
        // Re-armed; the lock screen started last stays watched.
        SignalReset(g_service.activateEvent);
        return;
      case service::kFromPowerQueue: {
        // Looked at again right before the drop: a record that comes just
        // after the lock screen ended belongs to the armed wait.
        if (!LockScreenShowing()) return;
        BYTE record[1024];
        DWORD size = 0;
        if (!ReadPowerRecord(record, &size)) Sleep(kShowingPollMs);  // a failed read never spins
        break;
      }
      case service::kWaitFailed:
        Sleep(kShowingPollMs);  // never spin on a wait that fails at once
        break;
      case service::kTimedOut: CheckPowerQueue(); break;
      default:  // the lock screen ended: look again
        break;
    }
  }
}

// Step 5, the armed wait loop.
PassOutcome WaitLoop() {
  bool lastCycleFailed = false;
  for (;;) {
    PauseBeforeWait(kCycleSleepMs, lastCycleFailed);
    lastCycleFailed = false;
    if (g_service.powerQueue == nullptr) OpenPowerQueue();
    if (g_service.settings.EnableOnAC) StartIdleWatcherIfStopped();
    service::WaitSet set =
        service::ArmedWaitSet(g_service.powerQueue != nullptr, g_service.lockScreenProcess != nullptr);
    DWORD result = WaitOn(set, kQueueCheckMs);
    switch (service::ClassifyWait(set, result)) {
      case service::kFromPowerQueue: {
        BYTE record[1024];
        DWORD size = 0;
        if (!ReadPowerRecord(record, &size)) {
          lastCycleFailed = true;
          break;
        }
        service::BroadcastMeaning meaning = service::InterpretBroadcast(record, size);
        if (meaning == service::kLock) return kOutcomeLock;
        if (meaning == service::kEndService) {
          StopIdleWatcher();  // no watcher outlives the events it waits on
          return kOutcomeEnd;
        }
        break;
      }
      case service::kFromStop: StopIdleWatcher(); return kOutcomeEnd;
      case service::kFromIdle: SignalReset(g_service.idleEvent); return kOutcomeLock;
      case service::kFromActivate:
        LoadServiceSettings(&g_service.settings);
        SignalReset(g_service.activateEvent);
        return kOutcomeLock;
      case service::kFromLockScreenProcess:
        if (PollLockScreen() == kLockScreenDied) return kOutcomeRestart;
        break;
      case service::kTimedOut: CheckPowerQueue(); break;
      default:  // a failed wait: the next cycle, after its whole pause
        lastCycleFailed = true;
        break;
    }
  }
}

}  // namespace

bool RunPass() {
  WaitWhileLockScreenShows();
  CheckPowerQueue();
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
  if (outcome != kOutcomeEnd) {
    // The watcher is stopped before the lock screen starts, never after:
    // "End_Event" is shared with the lock screen, whose workers a later set
    // would stop for good.
    StopIdleWatcher();
    if (outcome == kOutcomeRestart) RestartLockScreen();
    else StartLockScreen();
  }
  // An idle signal that lost the race to another source in the same cycle
  // (or came while the watcher was being stopped) is stale: left set, it
  // would lock again right after the unlock.
  SignalReset(g_service.idleEvent);
  return endAfter;
}
