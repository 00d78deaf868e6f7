// Power status and idle time: the desktop's own values, unless the device
// tool has set simulated ones (platform/device_state.h).
#include <string.h>

#include "platform/core/idle_time.h"
#include "platform/device_state.h"
#include "platform/power.h"

namespace {

// Battery flag bits of the power status records.
const BYTE kBatteryHigh = 1, kBatteryLow = 2, kBatteryCritical = 4, kBatteryCharging = 8;
const BYTE kBatteryNone = 128, kUnknown = 255;

// The common head of both records.
struct PowerHead {
  BYTE acLine;
  BYTE batteryFlag;
  BYTE percent;
  DWORD lifeTime;
  DWORD fullLifeTime;
};

BYTE FlagForPercent(BYTE percent, BYTE acLine) {
  if (percent > 100) return kUnknown;
  BYTE flag = percent >= 67 ? kBatteryHigh : percent < 33 ? kBatteryLow : 0;
  if (percent < 5) flag |= kBatteryCritical;
  if (acLine == 1) flag |= kBatteryCharging;
  return flag;
}

PowerHead ReadPowerHead() {
  PowerHead h = {kUnknown, kUnknown, kUnknown, 0xFFFFFFFF, 0xFFFFFFFF};
  SYSTEM_POWER_STATUS desk;
  if (GetSystemPowerStatus(&desk)) {
    h.acLine = desk.ACLineStatus;
    h.batteryFlag = desk.BatteryFlag;
    h.percent = desk.BatteryLifePercent;
    h.lifeTime = desk.BatteryLifeTime;
    h.fullLifeTime = desk.BatteryFullLifeTime;
  }
  DWORD v = 0;
  if (DeviceSimulatedDword(L"ACLineStatus", &v)) h.acLine = static_cast<BYTE>(v > 255 ? 255 : v);
  if (DeviceSimulatedDword(L"BatteryPercent", &v)) {
    h.percent = static_cast<BYTE>(v > 100 ? 255 : v);
    h.batteryFlag = FlagForPercent(h.percent, h.acLine);
    h.lifeTime = 0xFFFFFFFF;
    h.fullLifeTime = 0xFFFFFFFF;
  }
  if (h.batteryFlag == kBatteryNone && h.percent <= 100) h.batteryFlag = FlagForPercent(h.percent, h.acLine);
  return h;
}

// The desktop measurement: process-wide, advanced at every call.
SRWLOCK g_idleLock = SRWLOCK_INIT;
bool g_idleStarted = false;
uint32_t g_idleCounter = 0;
uint32_t g_idlePrevTick = 0;

uint32_t DesktopIdle() {
  LASTINPUTINFO info;
  info.cbSize = sizeof(info);
  uint32_t now = GetTickCount();
  uint32_t last = GetLastInputInfo(&info) ? info.dwTime : now;
  AcquireSRWLockExclusive(&g_idleLock);
  if (!g_idleStarted) {
    // Start the count with the idle time since the last input.
    g_idleStarted = true;
    g_idlePrevTick = now;
    g_idleCounter = idletime::Accumulate(0, last, now, last);
  } else {
    g_idleCounter = idletime::Accumulate(g_idleCounter, g_idlePrevTick, now, last);
    g_idlePrevTick = now;
  }
  uint32_t value = g_idleCounter;
  ReleaseSRWLockExclusive(&g_idleLock);
  // The counter never reports "not supported" by accident.
  return value == idletime::kUnsupported ? 0 : value;
}

}  // namespace

namespace {

// Both records begin with the same fields; the second adds battery detail
// that the desktop does not know.
template <typename Status>
void FillPowerHead(Status* status) {
  memset(status, 0, sizeof(*status));
  PowerHead h = ReadPowerHead();
  status->ACLineStatus = h.acLine;
  status->BatteryFlag = h.batteryFlag;
  status->BatteryLifePercent = h.percent;
  status->BatteryLifeTime = h.lifeTime;
  status->BatteryFullLifeTime = h.fullLifeTime;
  status->BackupBatteryFlag = kUnknown;
  status->BackupBatteryLifePercent = kUnknown;
  status->BackupBatteryLifeTime = 0xFFFFFFFF;
  status->BackupBatteryFullLifeTime = 0xFFFFFFFF;
}

}  // namespace

BOOL GetSystemPowerStatusEx(PSYSTEM_POWER_STATUS_EX status, BOOL update) {
  (void)update;  // every read is fresh here
  if (status == nullptr) return FALSE;
  FillPowerHead(status);
  return TRUE;
}

DWORD GetSystemPowerStatusEx2(PSYSTEM_POWER_STATUS_EX2 status, DWORD length, BOOL update) {
  (void)update;
  if (status == nullptr || length < sizeof(SYSTEM_POWER_STATUS_EX2)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  FillPowerHead(status);
  status->BatteryChemistry = 0xFF;  // unknown
  return sizeof(SYSTEM_POWER_STATUS_EX2);
}

DWORD GetIdleTime(void) {
  DWORD mode = 0, base = 0, since = 0;
  if (DeviceSimulatedDword(L"IdleMode", &mode) && mode != idletime::kDesktop) {
    DeviceSimulatedDword(L"IdleBase", &base);
    DeviceSimulatedDword(L"IdleSince", &since);
    return idletime::Simulated(mode, base, since, GetTickCount());
  }
  return DesktopIdle();
}
