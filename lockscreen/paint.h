// The drawing half of the lock window: fonts, skin pictures, the screen
// regions and the paint itself.
#pragma once
#include <windows.h>

// Screen regions, recomputed at every paint and invalidated by the workers.
extern RECT g_ownerRect, g_dateRect, g_clockRect, g_versionRect, g_batteryRect, g_messagesRect,
    g_appointmentsRect;

void Paint_OnCreate(HWND window);   // fonts, clock pens, skin size and picture paths
void Paint_OnPaint(HWND window);    // the whole paint (the wake is the caller's)
void Paint_OnDestroy(HWND window);  // releases fonts and pens, drops the bitmap, PostQuitMessage(0)
void Paint_OnHibernate(void);       // drops the skin bitmap
void Paint_DropBitmap(void);        // at shutdown
