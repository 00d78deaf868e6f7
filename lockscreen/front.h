// Bringing the lock window to the front: shown, filling the screen top-most,
// the foreground, active and focused window, the keys taken again, painted.
// Each occasion runs its own list of these steps in its own order (the
// lists stand side by side in front.cpp). Window thread only: activation,
// focus and game input belong to the window's thread.
#pragma once
#include <windows.h>

enum FrontWay {
  kFrontAtStart,          // start-up, once the window exists
  kFrontOnActivate,       // WM_ACTIVATE: the foreground taken back
  kFrontOnDisplayChange,  // a monitor added, removed or changed
  kFrontOnInput,          // a key or the mouse woke the lock screen
  kFrontRefreshEntry,     // a refresh period begins
  kFrontRefreshTick,      // each refresh tick
  kFrontBeforeDark,       // a period ends on battery: the whole sequence, unconditionally
  kFrontPaintNow,         // a power broadcast: the pending paint only
  kFrontKeysAgain,        // a refresh period ended: the keyboard hook afresh
  kFrontWayCount
};

// Workers ask the window thread for a way by posting (or sending) this
// message with the FrontWay as wParam.
#define WM_LOCK_REFRONT (WM_APP + 1)

// Runs the steps of `way`; a value outside the list does nothing.
void BringLockToFront(HWND window, FrontWay way);
