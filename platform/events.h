// Events: what Windows CE has and desktop Windows lacks.
// EventModify is the CE call behind SetEvent/ResetEvent/PulseEvent; here it
// is those three calls. Returns FALSE for an unknown code.
#pragma once
#include <windows.h>

#ifndef EVENT_PULSE
#define EVENT_PULSE 1
#define EVENT_RESET 2
#define EVENT_SET 3
#endif

BOOL EventModify(HANDLE event, DWORD code);
