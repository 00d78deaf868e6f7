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

// The end under way is an orderly one (the unlock buttons, a critical or
// reset power record, the "No buttons" box): the service that started this
// lock screen learns it at the very end (shared/signals.h). Any other end
// is a death, and the service starts a new lock screen.
void MarkOrderlyEnd(void);

// Waits up to `ms` for "End_Event"; TRUE when it is set. A wait that fails
// (a handle gone bad) is taken as the time-out, after the same pause, so
// that no worker loop ever spins on it.
BOOL WaitEndEvent(DWORD ms);

// Wake: starts the refresh thread when it is not running.
void StartRefreshIfIdle(void);
// The display power switch (query the escape, then set on or off).
void DisplayPowerSwitch(BOOL on);

// --- start-up and lifetime (main.cpp, workers.cpp) ---------------------------

// The power queue and its notifications (power_thread.cpp). Made at
// start-up; the power thread makes it again when the power manager lost it
// or it could not be made, and shutdown closes it.
extern HANDLE g_powerQueue;  // read end; NULL while there is none
BOOL PowerQueue_Open(void);
void PowerQueue_Close(void);
extern CRITICAL_SECTION g_refreshLock;  // guards the refresh thread's test-and-set of its flag

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

// --- the lock window (window.cpp, unlock.cpp) --------------------------------

ATOM RegisterLockClass(HINSTANCE instance, const wchar_t* className);
LRESULT CALLBACK LockWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Window-thread work that the workers ask for by posting WM_LOCK_REFRONT:
// activation, focus and game input belong to the window's own thread.
#define WM_LOCK_REFRONT (WM_APP + 1)
enum RefrontKind {
  kRefrontEntry = 1,  // refresh entry: front, active, focus, GXResume, UpdateWindow
  kRefrontTick = 2,   // refresh tick: front, active, then UpdateWindow
  kRefrontDark = 3,   // before going dark: the whole front sequence, unconditionally
  kRefrontUpdate = 4, // power broadcast: UpdateWindow only
  kRefrontPeriod = 5, // a refresh period ended: GXResume (the keyboard hook afresh)
};

// A read-only probe for the service, the integration tests and the
// benchmark (answered on the window thread, changes nothing): wParam 0
// gives the number of RegistryGetDWORD reads so far, 1 the refresh thread's running flag, 2 the
// battery percentage with 0x100 added once a real reading was taken, 3 the
// number of key messages ignored because they carried the pass-through mark,
// 4 the number of key-downs the unlock rule has handled, 5 the held flags
// (1 Button_1, 2 Button_2), 6 the refresh ticks so far, 7 the paints so far,
// 8 the battery text as the painter gets it, one ASCII byte per character
// from the low byte up (8 at most), 9 the keyboard hooks installed so far,
// 10 the keyboard hook in place (its handle), 11 the running workers (1
// appointments, 2 power, 4 refresh), 12 the SC_MONITORPOWER requests the
// window had (offs + 0x10000 * ons). -1 for anything else.
#include "shared/lock_window.h"  // WM_LOCK_PROBE

void Unlock_ClearHeld(void);                  // WM_CREATE
void Unlock_OnKeyDown(HWND window, WPARAM wParam);
void Unlock_OnKeyUp(HWND window, WPARAM wParam);
// Wake and bring the lock window back to the front after a key.
void Unlock_WakeAndRefront(HWND window);
LONG Unlock_KeyDownsHandled(void);
int Unlock_HeldFlags(void);
LONG Refresh_TickCount(void);

DWORD WINAPI PowerThread(LPVOID unused);
DWORD WINAPI RefreshThread(LPVOID unused);
