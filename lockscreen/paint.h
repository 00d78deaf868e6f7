// The drawing half of the lock window: fonts, skin pictures and the paint
// itself. The paint recomputes the screen regions (Region_Set,
// lockscreen.h) at every paint.
#pragma once
#include <windows.h>

void Paint_OnCreate(HWND window);   // fonts, clock pens, skin size and picture paths
void Paint_OnPaint(HWND window);    // the whole paint (the wake is the caller's)
void Paint_OnDestroy(HWND window);  // releases fonts and pens, drops the bitmap, PostQuitMessage(0)
void Paint_OnHibernate(void);       // drops the skin bitmap
void Paint_DropBitmap(void);        // at shutdown
