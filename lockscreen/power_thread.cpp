// The power thread: waits for "End_Event" or a power broadcast. Critical
// or reset closes the lock window; every other broadcast repaints it and
// starts a refresh period when none runs.
//
// The queue is made at start-up. A queue that could not be made, or that
// the power manager has lost (its slot reclaimed: the read fails with an
// invalid handle, or GetMsgQueueInfo refuses it), is made again by this
// thread, every few seconds until it can be; meanwhile the lock screen
// runs without power notifications (a key still wakes it) and the thread
// never spins.
#include "lockscreen/core/power_rules.h"
#include "lockscreen/lockscreen.h"
#include "platform/power.h"

static HANDLE s_powerNotifications = nullptr;

static const DWORD kRecordBytes = 1024;
// How often a missing queue is made again, and a quiet one checked.
static const DWORD kQueueCheckMs = 5000;

BOOL PowerQueue_Open(void) {
  if (g_lockScreen.powerQueue != nullptr) return TRUE;
  MSGQUEUEOPTIONS options;
  ZeroMemory(&options, sizeof(options));
  options.dwSize = sizeof(options);
  options.dwFlags = MSGQUEUE_ALLOW_BROKEN;
  options.dwMaxMessages = 0;
  options.cbMaxMessage = 1024;
  options.bReadAccess = TRUE;
  HANDLE queue = CreateMsgQueue(nullptr, &options);
  if (queue == nullptr) return FALSE;
  s_powerNotifications = RequestPowerNotifications(queue, POWER_NOTIFY_ALL);
  g_lockScreen.powerQueue = queue;
  return TRUE;
}

void PowerQueue_Close(void) {
  if (s_powerNotifications != nullptr) StopPowerNotifications(s_powerNotifications);
  if (g_lockScreen.powerQueue != nullptr) CloseMsgQueue(g_lockScreen.powerQueue);
  s_powerNotifications = g_lockScreen.powerQueue = nullptr;
}

static bool QueueLost(void) {
  MSGQUEUEINFO info;
  info.dwSize = sizeof(info);
  return !GetMsgQueueInfo(g_lockScreen.powerQueue, &info) && GetLastError() == ERROR_INVALID_HANDLE;
}

DWORD WINAPI PowerThread(LPVOID) {
  if (InterlockedCompareExchange(&g_lockScreen.powerRunning, 1, 0) != 0) return 0;
  for (;;) {
    if (g_lockScreen.powerQueue == nullptr && !PowerQueue_Open()) {
      if (WaitEndEvent(kQueueCheckMs)) break;
      continue;
    }
    HANDLE waits[2] = {g_lockScreen.endEvent, g_lockScreen.powerQueue};
    DWORD r = WaitForMultipleObjects(2, waits, FALSE, kQueueCheckMs);
    if (r == WAIT_OBJECT_0) break;
    if (r == WAIT_TIMEOUT) {
      if (QueueLost()) PowerQueue_Close();
      continue;
    }
    if (r != WAIT_OBJECT_0 + 1) {
      // A wait that fails: a new queue, after a pause.
      PowerQueue_Close();
      if (WaitEndEvent(kQueueCheckMs)) break;
      continue;
    }
    BYTE record[kRecordBytes];
    DWORD size = 0, flags = 0;
    // A failed read drains its record, so the queue does not stay signalled;
    // a queue the power manager lost is made again.
    if (!ReadMsgQueue(g_lockScreen.powerQueue, record, sizeof(record), &size, 0, &flags)) {
      if (GetLastError() == ERROR_INVALID_HANDLE) PowerQueue_Close();
      continue;
    }
    powerrules::BroadcastAction action = powerrules::Decide(record, size);
    if (action == powerrules::BroadcastAction::kClose) {
      // The window thread handles the close before this returns; the
      // shutdown sets "End_Event" itself.
      MarkOrderlyEnd();
      SendMessageW(g_lockScreen.window, WM_CLOSE, 0, 0);
      break;
    }
    if (action == powerrules::BroadcastAction::kWake) {
      PostMessageW(g_lockScreen.window, WM_LOCK_REFRONT, kFrontPaintNow, 0);
      StartRefreshIfIdle();
    }
  }
  InterlockedExchange(&g_lockScreen.powerRunning, 0);
  return 0;
}
