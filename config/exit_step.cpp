// The exit step: after the window has gone, make the start-up shortcut and
// the lock service follow the AutoRun choice held in memory.
//
// Each composed path is needed by one action only; a path that cannot be
// had (failed folder query, or longer than 127 characters) skips that
// action and nothing else.
#include <windows.h>

#include "config/core/exit_rules.h"
#include "config/tollwick.h"
#include "shared/signals.h"

namespace {

bool Signalled(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

// An old service told to unload is still ending. A new one started now
// would find its events and end at once, leaving no service: wait, with a
// bound, until they are gone.
void WaitForEndingService() {
  DWORD start = GetTickCount();
  while (SignalExists(kServiceUnloadEventName) || SignalExists(kActivateEventName)) {
    if (GetTickCount() - start >= exitrules::kEndingServiceWaitMs) return;
    Sleep(exitrules::kEndingServicePollMs);
  }
}

void AutoRunOn(const wchar_t* startupShortcut, HANDLE* serviceUnload) {
  wchar_t path[128];
  // Never replaces an existing start-up shortcut; a missing installed one
  // leaves none.
  if (startupShortcut != nullptr && ComposeLaunchPath(kLaunchInstalledShortcut, path))
    CopyFileW(path, startupShortcut, TRUE);
  exitrules::ServiceAction a = exitrules::ForAutoRunOn(*serviceUnload != nullptr, Signalled(*serviceUnload));
  if (a == exitrules::kLeaveResident) return;
  if (a == exitrules::kWaitThenStart) {
    // Our own handle would keep the event alive.
    CloseHandle(*serviceUnload);
    *serviceUnload = nullptr;
    WaitForEndingService();
  }
  if (ComposeLaunchPath(kLaunchService, path)) StartProgram(path, L"/load", nullptr);
}

void AutoRunOff(const wchar_t* startupShortcut, HANDLE lockMarker, HANDLE serviceUnload) {
  if (startupShortcut != nullptr) DeleteFileW(startupShortcut);
  if (lockMarker != nullptr) SignalSet(lockMarker);
  if (serviceUnload != nullptr) SignalSet(serviceUnload);
}

}  // namespace

void ExitStep(int32_t autoRun) {
  HANDLE lockMarker = SignalOpen(kLockMarkerEventName);
  HANDLE serviceUnload = SignalOpen(kServiceUnloadEventName);
  wchar_t startup[128];
  const wchar_t* startupShortcut = ComposeLaunchPath(kLaunchStartupShortcut, startup) ? startup : nullptr;
  if (autoRun != 0) AutoRunOn(startupShortcut, &serviceUnload);
  else AutoRunOff(startupShortcut, lockMarker, serviceUnload);
  if (serviceUnload != nullptr) CloseHandle(serviceUnload);
  if (lockMarker != nullptr) CloseHandle(lockMarker);
}
