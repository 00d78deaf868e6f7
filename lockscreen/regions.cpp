// The screen regions between the paint and the workers. The window thread
// writes each region at every paint while the refresh and appointments
// threads invalidate them; one slim lock keeps a worker from reading a
// rectangle half written. InvalidateRect only marks the window's update
// region, so it may be called from any thread; the paint follows on the
// window thread.
#include "lockscreen/lockscreen.h"

void Region_Set(Region region, const RECT& rect) {
  AcquireSRWLockExclusive(&g_lockScreen.regionLock);
  g_lockScreen.regions[region] = rect;
  ReleaseSRWLockExclusive(&g_lockScreen.regionLock);
}

void Region_Invalidate(Region region) {
  AcquireSRWLockShared(&g_lockScreen.regionLock);
  RECT r = g_lockScreen.regions[region];
  ReleaseSRWLockShared(&g_lockScreen.regionLock);
  HWND window = g_lockScreen.window;  // NULL once shutdown has passed: never invalidate every window
  if (window == nullptr || IsRectEmpty(&r)) return;
  InvalidateRect(window, &r, TRUE);
}
