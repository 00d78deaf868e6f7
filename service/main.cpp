// Hushpane, the lock service: the program's entry. A GUI-subsystem program
// without a window, so that no console ever appears. Start-up in its fixed
// order, then passes until one decides to end, then the handles are closed
// in their fixed order.
#include <windows.h>

#include "platform/events.h"
#include "service/core/pass_rules.h"
#include "service/hushpane.h"
#include "shared/signals.h"

ServiceState g_service;
volatile LONG g_watcherRunning = 0;

namespace {

// A resident service is asked to lock now by setting its activate event.
void AskResidentToLock(HANDLE activate) {
  EventModify(activate, EVENT_SET);
  CloseHandle(activate);
}

// Start-up steps 1 to 3. FALSE when another instance is resident (or
// ending) and this one is to end with exit code 0.
bool CreateEventsAsOnlyInstance() {
  HANDLE existing = SignalOpen(kActivateEventName);
  if (existing != nullptr) {
    AskResidentToLock(existing);
    return false;
  }
  if (SignalExists(kServiceUnloadEventName)) return false;

  // The opens above are only the quick answer: the create calls decide, so
  // that of two simultaneous starts exactly one stays.
  BOOL existed = FALSE;
  g_service.activateEvent = SignalCreate(kActivateEventName, &existed);
  if (existed) {
    AskResidentToLock(g_service.activateEvent);
    g_service.activateEvent = nullptr;
    return false;
  }
  g_service.stopEvent = SignalCreate(kServiceUnloadEventName, &existed);
  if (existed) {
    CloseHandle(g_service.stopEvent);
    CloseHandle(g_service.activateEvent);
    return false;
  }
  g_service.endEvent = SignalCreate(kEndEventName, nullptr);
  g_service.idleEvent = SignalCreate(kIdleEventName, nullptr);
  return true;
}

void CloseIfOpen(HANDLE h) {
  if (h != nullptr) CloseHandle(h);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  ZeroMemory(&g_service, sizeof(g_service));
  g_service.firstPass = true;
  if (!CreateEventsAsOnlyInstance()) return 0;
  LoadServiceSettings(&g_service.settings);
  // The full command line, so that the program's own path can be skipped:
  // only the arguments may say "installed".
  g_service.installed = service::StartedInstalled(GetCommandLineW());

  while (!RunPass()) {
  }

  CloseIfOpen(g_service.endEvent);
  CloseIfOpen(g_service.idleEvent);
  CloseIfOpen(g_service.stopEvent);
  CloseIfOpen(g_service.activateEvent);
  ClosePowerQueue();
  ForgetLockScreen();
  CloseIdleWatcher();
  return 0;
}
