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
  HANDLE watcherThread;      // the last idle watcher started, or NULL
  bool firstPass;
  bool installed;            // "installed" among the arguments
  settings::ServiceSettings settings;
};

extern ServiceState g_service;
extern volatile LONG g_watcherRunning;

// power_queue.cpp: the service's one power queue and its registration.
bool OpenPowerQueue();
void ClosePowerQueue();
// Reads one waiting record into `record` (1024 bytes, cleared first);
// FALSE when the read failed. `size` receives the bytes read.
bool ReadPowerRecord(BYTE record[1024], DWORD* size);

// idle_watcher.cpp
void StartIdleWatcherIfStopped();
// Sets "End_Event" and waits (bounded) for the watcher to end. With
// `resetAfter` the event is reset again.
void StopIdleWatcher(bool resetAfter);
void CloseIdleWatcher();

// lock_screen.cpp
void StartLockScreen();
bool LockScreenShowing();
void ForgetLockScreen();

// pass.cpp: one pass; returns true when the service is to end after it.
bool RunPass();
