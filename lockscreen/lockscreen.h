// Process-wide state of the lock screen that its modules share: the lock
// window, the end event, the settings read at start and the workers'
// running flags (1 while the worker runs; the worker sets and clears its
// own flag, a starter starts it only while the flag is 0).
#pragma once
#include <windows.h>

#include "shared/core/settings_rules.h"

extern HINSTANCE g_instance;
extern HWND g_lockWindow;  // 0 before creation and again after the loop ends
extern HANDLE g_endEvent;  // "End_Event"
extern settings::LockScreenSettings g_settings;
extern wchar_t g_ownerName[64];
extern wchar_t g_moduleDir[200];  // the program's folder, with a trailing backslash

extern volatile LONG g_appointmentsRunning;
extern volatile LONG g_powerRunning;
extern volatile LONG g_refreshRunning;

// Wake: starts the refresh thread when it is not running.
void StartRefreshIfIdle(void);
// The display power switch (query the escape, then set on or off).
void DisplayPowerSwitch(BOOL on);
