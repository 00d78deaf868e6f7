// Windows and drawing: the CE forms of a few window calls, and the local
// clock with the device tool's override.
#pragma once
#include <windows.h>

// Windows CE accepts a window handle with its lowest bit set ("bring the
// owned windows forward too"); desktop Windows and Wine refuse it with error
// 1400. Every caller that would pass `h | 1` calls this instead: the bit is
// stripped and the plain window brought forward.
BOOL SetForegroundWindowCe(HWND window);

// GetLocalTime, unless the device tool has pinned the clock (HKCU
// "Software\Ombrevale\Device", value "ClockOverride"): then that time,
// advancing from the moment it was set when "ClockRuns" is 1.
// Every local-time read of the lock screen goes through here.
void DeviceGetLocalTime(SYSTEMTIME* out);
