// The power thread: waits for "End_Event" or a power broadcast. Critical
// or reset closes the lock window; every other broadcast repaints it and
// starts a refresh period when none runs.
#include "lockscreen/core/power_rules.h"
#include "lockscreen/lockscreen.h"
#include "platform/power.h"

static const DWORD kRecordBytes = 1024;

DWORD WINAPI PowerThread(LPVOID) {
  if (InterlockedCompareExchange(&g_powerRunning, 1, 0) != 0) return 0;
  // Without a power queue there is nothing to listen to: the wait would
  // fail at once and the thread would spin. The lock screen then runs
  // without power notifications (a key still wakes it), so the thread ends
  // here, cleanly.
  if (g_powerQueue == nullptr) {
    InterlockedExchange(&g_powerRunning, 0);
    return 0;
  }
  HANDLE waits[2] = {g_endEvent, g_powerQueue};
  for (;;) {
    DWORD r = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (r == WAIT_OBJECT_0) break;
    // A handle that went bad would fail every wait: end rather than spin.
    if (r != WAIT_OBJECT_0 + 1) break;
    BYTE record[kRecordBytes];
    DWORD size = 0, flags = 0;
    // A failed read drains its record, so the queue does not stay signalled.
    if (!ReadMsgQueue(g_powerQueue, record, sizeof(record), &size, 0, &flags)) continue;
    powerrules::BroadcastAction action = powerrules::Decide(record, size);
    if (action == powerrules::BroadcastAction::kClose) {
      // The window thread handles the close before this returns; the
      // shutdown sets "End_Event" itself.
      SendMessageW(g_lockWindow, WM_CLOSE, 0, 0);
      break;
    }
    if (action == powerrules::BroadcastAction::kWake) {
      PostMessageW(g_lockWindow, WM_LOCK_REFRONT, kRefrontUpdate, 0);
      StartRefreshIfIdle();
    }
  }
  InterlockedExchange(&g_powerRunning, 0);
  return 0;
}
