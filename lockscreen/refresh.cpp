// The refresh thread: five ticks a second for TimeOut seconds it polls the
// counts, the date, the clock and the battery, repaints only what changed
// and keeps the lock window in front; at the end of a period on battery it
// switches the display off and ends. The rules are in
// lockscreen/core/status_rules; this file only gathers and invalidates.
#include "lockscreen/clock.h"
#include "lockscreen/core/status_rules.h"
#include "lockscreen/lockscreen.h"
#include "lockscreen/status.h"
#include "platform/local_time.h"
#include "platform/power.h"
#include "platform/registry.h"

// How long a refresh thread waits for the window thread to take the front
// back before it goes dark (it never waits for ever: the window thread may
// be ending).
static const UINT kRefrontWaitMs = 1000;

// Only the running refresh thread touches this.
static status::DateKey s_lastDate;
static volatile LONG s_ticks = 0;  // for the probe only

LONG Refresh_TickCount(void) { return s_ticks; }

void StartRefreshIfIdle(void) {
  if (g_lockScreen.refreshRunning == 0) StartWorker(RefreshThread, &g_lockScreen.refreshRunning);
}

static void TickCounts(void) {
  StatusInfo& info = g_lockScreen.status;
  DWORD value = 0;
  status::Counts now;
  if (FAILED(RegistryGetDWORD(HKEY_CURRENT_USER, L"System\\State\\Phone", L"Missed Call Count", &value))) value = 0;
  info.missedCalls = static_cast<LONG>(value);
  if (SUCCEEDED(RegistryGetDWORD(HKEY_CURRENT_USER, L"System\\State\\Messages\\TotalEmail\\Unread", L"Count", &value)))
    info.unreadMail = static_cast<LONG>(value);
  if (SUCCEEDED(RegistryGetDWORD(HKEY_CURRENT_USER, L"System\\State\\Messages\\sms\\Unread", L"Count", &value)))
    info.unreadSms = static_cast<LONG>(value);
  now.sms = info.unreadSms;
  now.mail = info.unreadMail;
  now.missed = info.missedCalls;
  status::Counts last;
  last.sms = info.lastSms;
  last.mail = info.lastMail;
  last.missed = info.lastMissedCalls;
  if (status::CountsChanged(now, last)) {
    info.lastSms = last.sms;
    info.lastMail = last.mail;
    info.lastMissedCalls = last.missed;
    Region_Invalidate(kMessagesRegion);
  }
}

static void TickDateAndClock(void) {
  StatusInfo& info = g_lockScreen.status;
  SYSTEMTIME now;
  DeviceGetLocalTime(&now);
  if (status::DateChanged(now.wYear, now.wMonth, now.wDay, s_lastDate)) {
    Region_Invalidate(kDateRegion);
    info.lastDay = now.wDay;
  }
  int32_t lastHour = info.lastHour, lastMinute = info.lastMinute;
  status::ClockStep step =
      status::ClockTick(g_lockScreen.settings.Clock_Type, now.wHour, now.wMinute, lastHour, lastMinute);
  info.lastHour = lastHour;
  info.lastMinute = lastMinute;
  if (step.callAnalog) Clock_AnalogUpdate();
  // The digital clock's text changes width: erase what was there.
  for (int i = 0; i < step.invalidations; ++i) Region_Invalidate(kClockRegion);
}

static void TickBattery(void) {
  SYSTEM_POWER_STATUS_EX2 power;
  ZeroMemory(&power, sizeof(power));
  DWORD got = GetSystemPowerStatusEx2(&power, sizeof(power), FALSE);
  if (Status_TakeBatteryReading(got != 0, power.BatteryLifePercent)) Region_Invalidate(kBatteryRegion);
}

// One tick; TRUE when "End_Event" ended the thread.
static bool Tick(void) {
  if (g_lockScreen.settings.Hide_Messages == 0) TickCounts();
  TickDateAndClock();
  TickBattery();
  InterlockedIncrement(&s_ticks);
  // Front, activation, focus, game input and the repaint belong to the
  // window thread.
  PostMessageW(g_lockScreen.window, WM_LOCK_REFRONT, kFrontRefreshTick, 0);
  return WaitEndEvent(status::kTickMs) != FALSE;
}

// The end of a period on battery: the lock window in front, then the
// display off. An unlock that has already begun wins: the display stays
// as it is and shutdown turns it on.
static void GoDark(void) {
  if (WaitEndEvent(0)) return;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(g_lockScreen.window, WM_LOCK_REFRONT, kFrontBeforeDark, 0, SMTO_NORMAL, kRefrontWaitMs, &ignored);
  DisplayPowerSwitch(FALSE);
}

static void RunPeriods(void) {
  int64_t ticksSinceResume = 0;
  for (;;) {
    int64_t done = 0;
    // The period's length is read again before every tick.
    while (done < status::TicksPerPeriod(g_lockScreen.settings.TimeOut)) {
      if (Tick()) return;
      ++done;
    }
    SYSTEM_POWER_STATUS_EX power;
    ZeroMemory(&power, sizeof(power));
    BOOL ok = GetSystemPowerStatusEx(&power, TRUE);
    if (status::AtPeriodEnd(ok != FALSE, power.ACLineStatus) == status::PeriodEnd::kGoDark) {
      GoDark();
      return;
    }
    // Each period (at least each second) makes sure the keys are still
    // held: a keyboard hook the system removed is installed again.
    ticksSinceResume += done > 0 ? done : 1;
    if (ticksSinceResume >= status::kTicksPerSecond) {
      PostMessageW(g_lockScreen.window, WM_LOCK_REFRONT, kFrontKeysAgain, 0);
      ticksSinceResume = 0;
    }
    // A period without ticks (TimeOut 0 or less) on external power: the
    // lock screen still keeps its clock, counts, battery and front, one
    // tick at a time, and only never goes dark. The tick's wait on
    // "End_Event" keeps it from spinning and the end prompt.
    if (done == 0 && Tick()) return;
  }
}

DWORD WINAPI RefreshThread(LPVOID) {
  EnterCriticalSection(&g_lockScreen.refreshLock);
  if (g_lockScreen.refreshRunning != 0) {
    LeaveCriticalSection(&g_lockScreen.refreshLock);
    // Another refresh thread runs: only nudge the window forward.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(g_lockScreen.window, WM_ACTIVATE, 0, 0, SMTO_NORMAL, kRefrontWaitMs, &ignored);
    return 0;
  }
  InterlockedExchange(&g_lockScreen.refreshRunning, 1);
  LeaveCriticalSection(&g_lockScreen.refreshLock);

  PostMessageW(g_lockScreen.window, WM_LOCK_REFRONT, kFrontRefreshEntry, 0);
  RunPeriods();
  InterlockedExchange(&g_lockScreen.refreshRunning, 0);
  return 0;
}
