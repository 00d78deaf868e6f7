// Hushpane, the lock service: the program's entry. A GUI-subsystem program
// without a window, so that no console ever appears. Start-up in its fixed
// order, then passes until one decides to end, then the handles are closed
// in their fixed order.
#include <windows.h>

#include "service/core/pass_rules.h"
#include "service/hushpane.h"
#include "shared/signals.h"

ServiceState g_service;
volatile LONG g_watcherRunning = 0;

namespace {

// A resident service is asked to lock now by setting its activate event.
void AskResidentToLock(HANDLE activate) {
  SignalSet(activate);
  CloseHandle(activate);
}

void CloseIfOpen(HANDLE h) {
  if (h != nullptr) CloseHandle(h);
}

enum StartUp {
  kOnlyInstance,
  kAnotherInstance,  // resident or ending: end with exit code 0
  kNameTaken,        // an event could not be made at all
};

// Start-up steps 1 to 3.
StartUp CreateEventsAsOnlyInstance() {
  HANDLE existing = SignalOpen(kActivateEventName);
  if (existing != nullptr) {
    AskResidentToLock(existing);
    return kAnotherInstance;
  }
  if (SignalExists(kServiceUnloadEventName)) return kAnotherInstance;

  // The opens above are only the quick answer: the create calls decide, so
  // that of two simultaneous starts exactly one stays.
  BOOL existed = FALSE;
  g_service.activateEvent = SignalCreate(kActivateEventName, &existed);
  if (existed) {
    AskResidentToLock(g_service.activateEvent);
    g_service.activateEvent = nullptr;
    return kAnotherInstance;
  }
  g_service.stopEvent = SignalCreate(kServiceUnloadEventName, &existed);
  if (existed) {
    CloseHandle(g_service.stopEvent);
    CloseHandle(g_service.activateEvent);
    g_service.stopEvent = g_service.activateEvent = nullptr;
    return kAnotherInstance;
  }
  g_service.endEvent = SignalCreate(kEndEventName, nullptr);
  g_service.idleEvent = SignalCreate(kIdleEventName, nullptr);
  // A name another program holds as something else than an event (a mutex
  // called "End_Event") makes the create fail. A null handle in a wait
  // would fail every wait at once; the service cannot be reached without
  // its events, so it does not stay.
  if (g_service.activateEvent == nullptr || g_service.stopEvent == nullptr || g_service.endEvent == nullptr ||
      g_service.idleEvent == nullptr)
    return kNameTaken;
  return kOnlyInstance;
}

void CloseEvents() {
  CloseIfOpen(g_service.endEvent);
  CloseIfOpen(g_service.idleEvent);
  CloseIfOpen(g_service.stopEvent);
  CloseIfOpen(g_service.activateEvent);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  ZeroMemory(&g_service, sizeof(g_service));
  g_service.firstPass = true;
  switch (CreateEventsAsOnlyInstance()) {
    case kOnlyInstance: break;
    case kAnotherInstance: return service::kExitDone;
    case kNameTaken:
      // Fail closed: the device is locked once (the lock screen does
      // without the taken names), and the exit code says why no service
      // stays.
      CloseEvents();
      StartLockScreen();
      ForgetLockScreen();
      return service::kExitEventNameTaken;
  }
  LoadServiceSettings(&g_service.settings);
  // The full command line, so that the program's own path can be skipped:
  // only the arguments may say "installed".
  g_service.installed = service::StartedInstalled(GetCommandLineW());

  StartPowerWindow();
  while (!RunPass()) {
  }
  StopPowerWindow();

  CloseEvents();
  ClosePowerQueue();
  ForgetLockScreen();
  CloseIdleWatcher();
  return service::kExitDone;
}
