// The lock service's process-wide state and the procedures its files share.
// Everything here belongs to the main thread, except `g_watcherRunning`,
// which the idle watcher thread sets and clears (interlocked) and the main
// thread reads.
#pragma once
#include <windows.h>

#include "shared/settings.h"

struct ServiceState {
  HANDLE activateEvent;      // "Ombrevale - Hushpane_Activate": lock now
  HANDLE stopEvent;          // "Ombrevale - Hushpane_Unload": end the service
  HANDLE endEvent;           // "End_Event": tells workers to finish
  HANDLE idleEvent;          // "Idle_Event": set by the idle watcher
  HANDLE powerQueue;         // power broadcasts; NULL while it could not be made
  HANDLE powerRegistration;  // RequestPowerNotifications on powerQueue
  HANDLE lockScreenProcess;  // the lock screen this service started last, or NULL
  HANDLE lockScreenOrderly;  // its orderly-end event (shared/signals.h), or NULL
  HANDLE watcherThread;      // the last idle watcher started, or NULL
  bool firstPass;
  bool installed;  // "installed" among the arguments
  settings::ServiceSettings settings;
};

extern ServiceState g_service;
extern volatile LONG g_watcherRunning;

// power_queue.cpp: the service's one power queue and its registration.
bool OpenPowerQueue();
void ClosePowerQueue();
// Reads one waiting record into `record` (1024 bytes, cleared first);
// FALSE when the read failed. `size` receives the bytes read. A queue the
// power manager no longer knows is closed, to be made again.
bool ReadPowerRecord(BYTE record[1024], DWORD* size);
// Closes a queue the power manager has lost (its slot was reclaimed) and
// makes a new one; also makes one when there is none.
void CheckPowerQueue();
// The armed cycle's pause: `ms`, ended early when a power record arrives,
// unless the last cycle failed (then the whole pause, so nothing spins).
void PauseBeforeWait(DWORD ms, bool lastCycleFailed);

// idle_watcher.cpp
void StartIdleWatcherIfStopped();
// Stops a running watcher: sets "End_Event", waits (bounded) for it to
// end, resets the event. Nothing when no watcher runs, and nothing while a
// lock screen shows: the set would also stop its workers, for good.
void StopIdleWatcher();
void CloseIdleWatcher();

// lock_screen.cpp
enum LockScreenEnd {
  kLockScreenRuns,  // the started lock screen still runs
  kLockScreenGone,  // none was started, or it ended in order
  kLockScreenDied,  // it ended without an orderly end and none other shows
};
// Starts a lock screen, unless the one started last still runs (the
// device is locked already).
void StartLockScreen();
// After a death: the same, after the pause a lock screen that keeps dying
// earns.
void RestartLockScreen();
// Looks at the lock screen started last; an ended one is forgotten and a
// death recorded.
LockScreenEnd PollLockScreen();
// The lock screen started last is still running (nothing else is looked at).
bool LockScreenRuns();
// A lock screen shows: the one started (started again when it died) or
// another one whose marker exists.
bool LockScreenShowing();
// A lock screen the service did not start shows: its marker exists and so
// does a lock window (a marker alone may be a stranger's event, and the
// service must not wait on it for ever).
bool OtherLockScreenShows();
void ForgetLockScreen();

// power_window.cpp: the hidden top-level window that hears the PC's power
// and display notifications, on a thread of its own, for the service's life.
void StartPowerWindow();
void StopPowerWindow();

// pass.cpp: one pass; returns true when the service is to end after it.
bool RunPass();
