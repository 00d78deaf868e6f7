// The lock window as the other programs find it: the class and title that
// the lock screen loads from its string resources (lockscreen/resource.h),
// and its read-only probe. The service asks the probe whether the window
// has painted before it lets the PC suspend; the integration tests and the
// benchmark read the lock screen's inner state through it.
#pragma once
#include <windows.h>

const wchar_t kLockWindowClass[] = L"Hushpane";
const wchar_t kLockWindowTitle[] = L"Corvane";

// Whether a lock window exists. The marker event "Ombrevale - Unload" alone
// proves nothing: any program can make an event of that name, and a marker
// without a lock window must not pass for a locked device.
inline bool LockWindowExists() { return FindWindowW(kLockWindowClass, kLockWindowTitle) != nullptr; }

// The probe: sent to the lock window with one of the requests below as
// wParam, answered on the window thread; it changes nothing. Any other
// request is answered with -1.
//
// kProbeHeldFlags tells which unlock button is held down right now. It stays
// in the shipped program: a window message reaches the lock window only from
// a program on its own desktop, and such a program can read the keyboard
// itself (GetAsyncKeyState, a hook of its own) and read "Button_1" and
// "Button_2" from the settings key, which the lock screen reads as that same
// user. A held flag tells it nothing it could not learn so; the benchmark's
// unlock figure and the tests of the unlock rule need it.
#define WM_LOCK_PROBE (WM_APP + 2)
enum LockProbe {
  kProbeRegistryReads = 0,       // RegistryGetDWORD reads so far
  kProbeRefreshRunning = 1,      // the refresh thread's running flag
  kProbeBattery = 2,             // the battery percentage, + 0x100 once a real reading was taken
  kProbePassThroughIgnored = 3,  // key messages ignored because they carried the pass-through mark
  kProbeKeyDowns = 4,            // key-downs the unlock rule has handled
  kProbeHeldFlags = 5,           // 1 Button_1 held, 2 Button_2 held
  kProbeTicks = 6,               // refresh ticks so far
  kProbePaints = 7,              // paints so far
  kProbeBatteryText = 8,         // the battery text as the painter gets it: one ASCII byte per character
                                 // from the low byte up, 8 at most
  kProbeHookInstalls = 9,        // keyboard hooks installed so far
  kProbeHook = 10,               // the keyboard hook in place (its handle)
  kProbeWorkers = 11,            // running workers: 1 appointments, 2 power, 4 refresh
  kProbeMonitorPower = 12,       // SC_MONITORPOWER requests the window had: offs + 0x10000 * ons
};
