// Starting the lock screen and knowing whether one shows. The service keeps
// the process it started: its end (an unlock, a crash or a kill) re-arms the
// service at once, and while it is still starting (before it has created
// its marker event) it already counts as showing, so a second power-off in
// that moment does not start a second lock screen.
#include "service/hushpane.h"
#include "shared/signals.h"

void ForgetLockScreen() {
  if (g_service.lockScreenProcess != nullptr) CloseHandle(g_service.lockScreenProcess);
  g_service.lockScreenProcess = nullptr;
}

void StartLockScreen() {
  ForgetLockScreen();
  wchar_t path[128];
  // A refused path or a failed start is not reported; the next pass begins.
  if (!ComposeLaunchPath(kLaunchLockScreen, path)) return;
  HANDLE process = nullptr;
  if (StartProgram(path, L"/load", &process)) g_service.lockScreenProcess = process;
}

bool LockScreenShowing() {
  if (g_service.lockScreenProcess != nullptr) {
    if (WaitForSingleObject(g_service.lockScreenProcess, 0) == WAIT_TIMEOUT) return true;
    ForgetLockScreen();
  }
  return SignalExists(kLockMarkerEventName) != FALSE;
}
