// Events and threads: what Windows CE has and desktop Windows lacks.
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

// Gives back the pages of the calling thread's stack below its current
// frame (they hold nothing a live frame needs). Wine zeroes 960 KiB of
// every new thread's stack before the thread runs, so each thread would
// otherwise keep that much resident for its whole life; on Windows the
// range is the few pages the thread has touched. A thread calls it first
// thing; a later deeper call takes fresh zero pages as it needs them.
void ThreadReleaseStack(void);
