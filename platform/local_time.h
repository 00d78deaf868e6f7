// The device's local clock, which the device tool can pin for
// reproducible screens.
#pragma once
#include <windows.h>

// GetLocalTime, unless the device tool has pinned the clock (HKCU
// "Software\Ombrevale\Device", value "ClockOverride"): then that time,
// advancing from the moment it was set when "ClockRuns" is 1.
// Every local-time read of the lock screen goes through here.
void DeviceGetLocalTime(SYSTEMTIME* out);
