// The service's power queue. One queue and one registration serve the
// service's whole life instead of one per pass: a queue made afresh after
// each unlock would miss a power-off that comes before the next pass has
// registered. While a lock screen shows, the records that arrive are read
// and dropped (pass.cpp), so only broadcasts of the armed time count.
//
// A queue the power manager has lost (its slot reclaimed: reads fail with
// an invalid handle, GetMsgQueueInfo refuses it) would leave the service
// deaf for good: it is closed and made again.
#include "platform/power.h"
#include "service/hushpane.h"

bool OpenPowerQueue() {
  if (g_service.powerQueue != nullptr) return true;
  MSGQUEUEOPTIONS options;
  ZeroMemory(&options, sizeof(options));
  options.dwSize = sizeof(options);  // 20
  options.dwFlags = MSGQUEUE_ALLOW_BROKEN;
  options.dwMaxMessages = 0;  // no limit
  options.cbMaxMessage = 1024;
  options.bReadAccess = TRUE;
  HANDLE queue = CreateMsgQueue(nullptr, &options);
  if (queue == nullptr) {
    GetLastError();  // nothing is reported; the caller retries later
    return false;
  }
  HANDLE registration = RequestPowerNotifications(queue, POWER_NOTIFY_ALL);
  if (registration == nullptr) {
    // A queue nobody writes to would only hide the failure: retry later.
    CloseMsgQueue(queue);
    return false;
  }
  g_service.powerQueue = queue;
  g_service.powerRegistration = registration;
  return true;
}

void ClosePowerQueue() {
  if (g_service.powerRegistration != nullptr) StopPowerNotifications(g_service.powerRegistration);
  if (g_service.powerQueue != nullptr) CloseMsgQueue(g_service.powerQueue);
  g_service.powerRegistration = nullptr;
  g_service.powerQueue = nullptr;
}

bool ReadPowerRecord(BYTE record[1024], DWORD* size) {
  ZeroMemory(record, 1024);
  DWORD flags = 0;
  *size = 0;
  // The queue was signalled, so a record waits: no time-out is needed.
  if (!ReadMsgQueue(g_service.powerQueue, record, 1024, size, 0, &flags)) {
    if (GetLastError() == ERROR_INVALID_HANDLE) ClosePowerQueue();
    return false;
  }
  return true;
}

void CheckPowerQueue() {
  MSGQUEUEINFO info;
  info.dwSize = sizeof(info);
  if (g_service.powerQueue != nullptr && !GetMsgQueueInfo(g_service.powerQueue, &info) &&
      GetLastError() == ERROR_INVALID_HANDLE)
    ClosePowerQueue();
  OpenPowerQueue();
}

void PauseBeforeWait(DWORD ms, bool lastCycleFailed) {
  // A record that arrives during the pause ends it: a power-off is never
  // left waiting for the rest of it. Every other reason to wake keeps the
  // whole pause, and so does a cycle after a failure, so that a queue or a
  // wait that fails at once can never make the loop spin.
  if (!lastCycleFailed && g_service.powerQueue != nullptr &&
      WaitForSingleObject(g_service.powerQueue, ms) != WAIT_FAILED)
    return;
  Sleep(ms);
}
