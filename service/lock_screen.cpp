// Starting the lock screen and knowing whether one shows. The service keeps
// the process it started and hands it an orderly-end event
// (shared/signals.h): an unlock, a critical or reset power record and the
// "No buttons" box set it; any other end (a kill with whatever exit code, a
// crash, a close sent by another program) is a death, and a dead lock
// screen is started again at once, so that no failure of the lock screen
// leaves the device open. While it is still starting (before it has made
// its marker event) it already counts as showing, so a second power-off in
// that moment does not start a second lock screen.
#include "service/core/restart_rules.h"
#include "service/hushpane.h"
#include "shared/lock_window.h"
#include "shared/signals.h"

namespace {
service::DeathHistory s_deaths;
}

void ForgetLockScreen() {
  if (g_service.lockScreenProcess != nullptr) CloseHandle(g_service.lockScreenProcess);
  if (g_service.lockScreenOrderly != nullptr) CloseHandle(g_service.lockScreenOrderly);
  g_service.lockScreenProcess = nullptr;
  g_service.lockScreenOrderly = nullptr;
}

void StartLockScreen() {
  if (PollLockScreen() == kLockScreenRuns) return;
  wchar_t path[128];
  // A refused path or a failed start is not reported; the next pass begins.
  if (!ComposeLaunchPath(kLaunchLockScreen, path)) return;
  HANDLE orderly = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE process = nullptr;
  // Without the event a lock screen is still better than none; its every
  // end then reads as a death, which only starts it again.
  BOOL started = orderly != nullptr ? StartProgramHandingOver(path, L"/load", orderly, &process)
                                    : StartProgram(path, L"/load", &process);
  if (!started) {
    if (orderly != nullptr) CloseHandle(orderly);
    return;
  }
  g_service.lockScreenProcess = process;
  g_service.lockScreenOrderly = orderly;
}

void RestartLockScreen() {
  DWORD delay = service::RestartDelayMs(s_deaths, GetTickCount());
  if (delay != 0) Sleep(delay);
  StartLockScreen();
}

bool LockScreenRuns() {
  return g_service.lockScreenProcess != nullptr && WaitForSingleObject(g_service.lockScreenProcess, 0) == WAIT_TIMEOUT;
}

LockScreenEnd PollLockScreen() {
  if (g_service.lockScreenProcess == nullptr) return kLockScreenGone;
  // A wait that fails counts as an end: never as a lock screen for ever.
  if (LockScreenRuns()) return kLockScreenRuns;
  bool orderly =
      g_service.lockScreenOrderly != nullptr && WaitForSingleObject(g_service.lockScreenOrderly, 0) == WAIT_OBJECT_0;
  ForgetLockScreen();
  // A lock screen that found another one showing ends at once, and that
  // other one keeps the device locked.
  if (orderly || OtherLockScreenShows()) return kLockScreenGone;
  service::RecordDeath(s_deaths, GetTickCount());
  return kLockScreenDied;
}

bool LockScreenShowing() {
  switch (PollLockScreen()) {
    case kLockScreenRuns: return true;
    case kLockScreenDied:
      RestartLockScreen();
      if (g_service.lockScreenProcess != nullptr) return true;
      break;
    case kLockScreenGone: break;
  }
  return OtherLockScreenShows();
}

bool OtherLockScreenShows() { return SignalExists(kLockMarkerEventName) && LockWindowExists(); }
