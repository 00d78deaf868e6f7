// The local clock that the device tool can pin for reproducible screens.
#include "platform/local_time.h"

#include "platform/core/civil_time.h"
#include "platform/device_state.h"

// The pinned clock: "ClockOverride" (a SYSTEMTIME), "ClockSetAt" (the UTC
// FILETIME when it was pinned) and "ClockRuns".
void DeviceGetLocalTime(SYSTEMTIME* out) {
  if (out == nullptr) return;
  SYSTEMTIME pinned;
  if (!DeviceSimulatedBinary(L"ClockOverride", &pinned, sizeof(pinned))) {
    GetLocalTime(out);
    return;
  }
  civil::Time t{pinned.wYear,   pinned.wMonth,  pinned.wDay,          pinned.wHour,
                pinned.wMinute, pinned.wSecond, pinned.wMilliseconds, 0};
  if (!civil::Valid(t)) {
    GetLocalTime(out);
    return;
  }
  DWORD runs = 0;
  ULONGLONG setAt = 0;
  if (DeviceSimulatedDword(L"ClockRuns", &runs) && runs == 1 &&
      DeviceSimulatedBinary(L"ClockSetAt", &setAt, sizeof(setAt))) {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULONGLONG now = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    if (now > setAt) t = civil::AddMs(t, (now - setAt) / 10000);
  }
  civil::FillWeekday(&t);
  out->wYear = static_cast<WORD>(t.year);
  out->wMonth = static_cast<WORD>(t.month);
  out->wDay = static_cast<WORD>(t.day);
  out->wDayOfWeek = static_cast<WORD>(t.weekday);
  out->wHour = static_cast<WORD>(t.hour);
  out->wMinute = static_cast<WORD>(t.minute);
  out->wSecond = static_cast<WORD>(t.second);
  out->wMilliseconds = static_cast<WORD>(t.ms);
}
