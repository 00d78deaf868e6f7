// The AC-power idle watcher: a thread that, while the device runs on AC
// power, counts 10-second windows in which the user left it alone and sets
// "Idle_Event" once they add up to AcActivation minutes (the rules are in
// service/core/idle_rules). It is stopped only through "End_Event".
//
// The running flag is taken with an interlocked compare-exchange, so two
// watchers can never both run. The main thread also keeps the thread's
// handle: a watcher that has been started but has not yet set its flag
// still counts as running, both for starting another and for waiting.
#include "platform/power.h"
#include "platform/thread_stack.h"
#include "service/core/idle_rules.h"
#include "service/hushpane.h"
#include "shared/signals.h"

namespace {

// How long the main thread waits for a watcher to end. The watcher ends
// within its current wait once "End_Event" is set; the bound keeps the
// service serving if it somehow does not.
constexpr int kStopPollMs = 100;
constexpr int kStopPolls = 30;

uint8_t AcLineStatus() {
  SYSTEM_POWER_STATUS_EX status;
  ZeroMemory(&status, sizeof(status));
  // A failed query is "not available", which counts as AC like 255 does.
  if (!GetSystemPowerStatusEx(&status, TRUE)) return 255;
  return status.ACLineStatus;
}

DWORD WINAPI IdleWatcher(void*) {
  ThreadReleaseStack();
  if (InterlockedCompareExchange(&g_watcherRunning, 1, 0) != 0) return 0;
  DWORD idle = GetIdleTime();
  if (idle != service::kIdleUnsupported) {
    service::IdleRun run = service::StartIdleRun(idle);
    while (InterlockedCompareExchange(&g_watcherRunning, 1, 1) == 1) {
      if (!service::OnAcPower(AcLineStatus())) break;
      if (WaitForSingleObject(g_service.endEvent, service::kIdleWindowMs) != WAIT_TIMEOUT) break;
      // AcActivation afresh every window, into the thread's own copy: the
      // main thread's settings are its own.
      settings::ServiceSettings now;
      LoadServiceSettings(&now);
      service::IdleVerdict verdict = service::AccountWindow(run, GetIdleTime(), now.AcActivation);
      if (verdict == service::kIdleReached) {
        SignalSet(g_service.idleEvent);
        break;
      }
      if (verdict == service::kIdleNotSupported) break;
    }
  }
  InterlockedExchange(&g_watcherRunning, 0);
  return 0;
}

bool WatcherActive() {
  if (InterlockedCompareExchange(&g_watcherRunning, 0, 0) != 0) return true;
  return g_service.watcherThread != nullptr && WaitForSingleObject(g_service.watcherThread, 0) == WAIT_TIMEOUT;
}

}  // namespace

void CloseIdleWatcher() {
  if (g_service.watcherThread != nullptr) CloseHandle(g_service.watcherThread);
  g_service.watcherThread = nullptr;
}

void StartIdleWatcherIfStopped() {
  if (WatcherActive()) return;
  CloseIdleWatcher();
  g_service.watcherThread = CreateThread(nullptr, 0, IdleWatcher, nullptr, 0, nullptr);
}

void StopIdleWatcher() {
  if (!WatcherActive()) return;
  // A lock screen that shows (one left showing by an activate request, or
  // one the service did not start) would lose its workers to the set; the
  // watcher is left to run then, and its idle signal finds the device
  // locked already.
  if (LockScreenRuns() || OtherLockScreenShows()) return;
  SignalSet(g_service.endEvent);
  for (int i = 0; i < kStopPolls && WatcherActive(); ++i) {
    // A wait that fails is a poll all the same: never a loop without a pause.
    if (g_service.watcherThread == nullptr || WaitForSingleObject(g_service.watcherThread, kStopPollMs) == WAIT_FAILED)
      Sleep(kStopPollMs);
  }
  SignalReset(g_service.endEvent);
}
