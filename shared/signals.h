// The named events through which the three programs coordinate, and the
// paths by which they start one another.
#pragma once
#include <windows.h>

extern const wchar_t kActivateEventName[];       // "Ombrevale - Hushpane_Activate"
extern const wchar_t kServiceUnloadEventName[];  // "Ombrevale - Hushpane_Unload"
extern const wchar_t kLockMarkerEventName[];     // "Ombrevale - Unload"
extern const wchar_t kEndEventName[];            // "End_Event"
extern const wchar_t kIdleEventName[];           // "Idle_Event"

// exists: open by name with EVENT_ALL_ACCESS, close again, report.
BOOL SignalExists(const wchar_t* name);
// Opens an existing event (EVENT_ALL_ACCESS, not inheritable); NULL if none.
HANDLE SignalOpen(const wchar_t* name);
// create: manual reset, not signalled. *alreadyExisted (may be NULL) says
// whether another process held it: one call, so two simultaneous starts
// cannot both win a single-instance test made with it.
HANDLE SignalCreate(const wchar_t* name, BOOL* alreadyExisted);
// set and reset (EventModify): the one way the three programs set and reset
// the suite's events, the named ones and the orderly-end event alike.
BOOL SignalSet(HANDLE event);
BOOL SignalReset(HANDLE event);

enum LaunchPath {
  kLaunchLockScreen,         // Program Files + "\Ombrevale\Hushpane\Corvane.exe"
  kLaunchService,            // Program Files + "\Ombrevale\Hushpane\Hushpane.exe"
  kLaunchStartupShortcut,    // Startup + "\OV Hushpane.lnk"
  kLaunchInstalledShortcut,  // Programs + "\Ombrevale\Hushpane\OV Hushpane.lnk"
};
// Composes one path into `out` (128 units). FALSE, with `out` empty, when
// the folder query fails or the path would not fit: the caller skips the
// one action that needed it.
BOOL ComposeLaunchPath(LaunchPath which, wchar_t out[128]);

// Starts `path` with the command line `"<path>" <arguments>` (Wine takes
// the first token as the program name), not waiting. When `process` is not
// NULL it receives the process handle, else the handle is closed.
BOOL StartProgram(const wchar_t* path, const wchar_t* arguments, HANDLE* process);

// The lock screen's orderly end. The service makes an unnamed event for
// each lock screen it starts and hands it over by inheritance, its value in
// the environment variable "OMBREVALE_ORDERLY_END"; the lock screen sets it
// only when it ends in order (the unlock buttons, a critical or reset power
// record, the "No buttons" box). A kill, a crash or a foreign close never
// sets it, whatever exit code it leaves, and no other program has the
// event: the service reads every other end as a death.
extern const wchar_t kOrderlyEndVariable[];
// StartProgram that hands `event` over to the new process.
BOOL StartProgramHandingOver(const wchar_t* path, const wchar_t* arguments, HANDLE event, HANDLE* process);
// The lock screen's side: the handed-over event (NULL when it was started
// by anything else), the variable cleared so that it goes no further.
HANDLE TakeHandedOverEvent(void);
