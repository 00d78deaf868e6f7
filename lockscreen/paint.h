// The drawing half of the lock window: fonts, skin pictures and the paint
// itself. The paint recomputes the screen regions (Region_Set,
// lockscreen.h) at every paint.
#pragma once
#include <windows.h>

// Starts decoding the picture the first paint will show (the screen's
// size and orientation), so that it is ready by then; see early_picture.h.
void Paint_DecodeAhead(void);
void Paint_DropEarlyPicture(void);  // at the end: an early picture nobody took
void Paint_OnCreate(HWND window);   // fonts, clock pens, skin size and picture paths
void Paint_OnPaint(HWND window);    // the whole paint (the wake is the caller's)
void Paint_OnDestroy(HWND window);  // releases fonts and pens, drops the bitmap, PostQuitMessage(0)
void Paint_OnHibernate(void);       // drops the skin bitmap
void Paint_DropBitmap(void);        // at shutdown
