// Corvane's process-wide state, gathered in one record, and the procedures
// its files share. The window thread and the three workers (appointments,
// power, refresh) all reach the record; what each may touch, and under
// which lock, is said beside each member.
#pragma once
#include <windows.h>

#include "lockscreen/core/skin_scan.h"
#include "lockscreen/front.h"
#include "lockscreen/status.h"
#include "shared/core/settings_rules.h"
#include "shared/lock_window.h"

// The screen regions, in client pixels.
enum Region {
  kOwnerRegion,
  kDateRegion,
  kClockRegion,
  kVersionRegion,
  kBatteryRegion,
  kMessagesRegion,
  kAppointmentsRegion,
  kRegionCount
};

struct LockScreenState {
  HINSTANCE instance;
  HWND window;        // the lock window: 0 before creation and again once the loop has ended
  HANDLE endEvent;    // "End_Event"
  HANDLE powerQueue;  // the power queue's read end; NULL while there is none (power_thread.cpp)

  // Written at start-up, before the window and the workers exist; read-only
  // afterwards.
  settings::LockScreenSettings settings;
  skin::SkinSettings skin;  // the skin folder's "config.ini" or the built-in values
  wchar_t ownerName[64];
  wchar_t moduleDir[200];  // the program's folder, with a trailing backslash

  // What the refresh thread gathers and the painter draws (status.h).
  StatusInfo status;

  // The workers' running flags: 1 while the worker runs; the worker sets
  // and clears its own flag, a starter starts it only while it is 0.
  volatile LONG appointmentsRunning;
  volatile LONG powerRunning;
  volatile LONG refreshRunning;
  CRITICAL_SECTION refreshLock;  // guards the refresh thread's test-and-set of its flag

  // The screen regions: recomputed by every paint (window thread) and
  // invalidated by the workers when their data change, always under
  // regionLock (Region_Set and Region_Invalidate, regions.cpp).
  SRWLOCK regionLock;
  RECT regions[kRegionCount];
};
extern LockScreenState g_lockScreen;

// --- the screen regions (regions.cpp) -----------------------------------------

// The paint's side: the region as this paint computed it.
void Region_Set(Region region, const RECT& rect);
// Any thread: the region as the paint last computed it is repainted, with
// erase. A region no paint has computed yet is empty and repaints nothing;
// nothing either once the lock window is gone.
void Region_Invalidate(Region region);

// --- start-up and lifetime (main.cpp, workers.cpp) ----------------------------

// The end under way is an orderly one (the unlock buttons, a critical or
// reset power record, the "No buttons" box): the service that started this
// lock screen learns it at the very end (shared/signals.h). Any other end
// is a death, and the service starts a new lock screen.
void MarkOrderlyEnd(void);

// Waits up to `ms` for "End_Event"; TRUE when it is set. A wait that fails
// (a handle gone bad) is taken as the time-out, after the same pause, so
// that no worker loop ever spins on it.
BOOL WaitEndEvent(DWORD ms);

// Starts `proc` on a new thread when *runningFlag is 0. Counts the thread
// as in flight until its procedure has returned, so that shutdown also
// waits for a worker that has been created but not yet set its flag.
// Refused once shutdown has begun.
void StartWorker(LPTHREAD_START_ROUTINE proc, volatile LONG* runningFlag);
// The event behind Workers_WaitForEnd: made at start, closed at the very end.
void Workers_Init(void);
void Workers_Release(void);
// Waits at most `maxMs` for a worker to return (or a message to be sent to
// this thread).
void Workers_WaitForEnd(DWORD maxMs);
// Shutdown's side: no new worker from here on.
void StopAcceptingWorkers(void);
// TRUE while any running flag is 1 or any started worker has not returned.
BOOL WorkersBusy(void);

// --- the workers (power_thread.cpp, refresh.cpp) ------------------------------

// The power queue and its notifications. Made at start-up; the power thread
// makes it again when the power manager lost it or it could not be made,
// and shutdown closes it.
BOOL PowerQueue_Open(void);
void PowerQueue_Close(void);
DWORD WINAPI PowerThread(LPVOID unused);

DWORD WINAPI RefreshThread(LPVOID unused);
// Wake: starts the refresh thread when it is not running.
void StartRefreshIfIdle(void);

// The display power switch (display_power.cpp).
void DisplayPowerSwitch(BOOL on);

// --- the lock window (window.cpp, unlock.cpp) ---------------------------------

ATOM RegisterLockClass(HINSTANCE instance, const wchar_t* className);
LRESULT CALLBACK LockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void Unlock_ClearHeld(void);  // WM_CREATE
void Unlock_OnKeyDown(HWND window, WPARAM wParam);
void Unlock_OnKeyUp(HWND window, WPARAM wParam);
// Wake and bring the lock window back to the front after a key.
void Unlock_WakeAndRefront(HWND window);

// --- for tests: what the probe answers (shared/lock_window.h) -----------------

LONG Refresh_TickCount(void);       // refresh ticks so far
LONG Unlock_KeyDownsHandled(void);  // key-downs the unlock rule has handled
int Unlock_HeldFlags(void);         // 1 Button_1 held, 2 Button_2 held
