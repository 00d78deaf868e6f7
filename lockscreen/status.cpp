// The shared status record and the battery text. The text and its
// percentage change together under one slim lock: the refresh thread
// formats into the record while the painter copies it out, and neither
// ever sees half of a change.
#include "lockscreen/status.h"

#include <cwchar>

#include "lockscreen/core/status_rules.h"
#include "lockscreen/lockscreen.h"

static SRWLOCK s_batteryLock = SRWLOCK_INIT;
static status::Battery s_battery;

void Status_Reset(void) {
  AcquireSRWLockExclusive(&s_batteryLock);
  s_battery = status::Battery();
  ReleaseSRWLockExclusive(&s_batteryLock);
  g_lockScreen.status = StatusInfo{0, 0, 0, 0, 0, 0, 0, 99, 0, 0};
}

void Status_GetBattery(wchar_t text[32], int* percent, BOOL* known) {
  AcquireSRWLockShared(&s_batteryLock);
  wcsncpy(text, s_battery.text, 31);
  text[31] = L'\0';
  if (percent != nullptr) *percent = s_battery.percent;
  if (known != nullptr) *known = s_battery.known ? TRUE : FALSE;
  ReleaseSRWLockShared(&s_batteryLock);
}

BOOL Status_TakeBatteryReading(BOOL querySucceeded, BYTE percent) {
  AcquireSRWLockExclusive(&s_batteryLock);
  bool changed = status::BatteryReading(querySucceeded != FALSE, percent, s_battery);
  if (changed) g_lockScreen.status.batteryPercent = s_battery.percent;
  ReleaseSRWLockExclusive(&s_batteryLock);
  return changed ? TRUE : FALSE;
}
