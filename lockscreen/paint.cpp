// Placeholder until the painting lands: black window, quit on destroy.
#include "lockscreen/paint.h"

RECT g_ownerRect, g_dateRect, g_clockRect, g_versionRect, g_batteryRect, g_messagesRect, g_appointmentsRect;

void Paint_OnCreate(HWND) {}
void Paint_OnPaint(HWND window) {
  PAINTSTRUCT ps;
  BeginPaint(window, &ps);
  EndPaint(window, &ps);
}
void Paint_OnDestroy(HWND) { PostQuitMessage(0); }
void Paint_OnHibernate(void) {}
void Paint_DropBitmap(void) {}
