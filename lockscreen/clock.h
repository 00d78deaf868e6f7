// The clock: analog hands drawn straight onto the screen over the skin's
// dial, digital time text in the clock region.
#pragma once
#include <windows.h>

#include "lockscreen/core/face_fit.h"
#include "lockscreen/core/layout.h"

// The seven clock pens (hour, hour erase, minute, minute erase, second,
// second erase, cap), made at window creation whatever Clock_Type is, with
// their widths at the face's scale. Made again (the old ones deleted) when
// a fitted face changes scale.
void Clock_CreatePens(const layout::Colours& colours, const facefit::FaceFit& fit);
// Deletes the pens (WM_DESTROY). From then on the update draws nothing,
// even when the refresh thread calls it before it has stopped.
void Clock_DeletePens(void);

// Paint step for Clock_Type 1: places the dial for the face and the date
// line's font, carries it to the screen by the fit, sets the clock region,
// forgets the stored hands when the orientation changed since the last
// analog paint, then updates the hands.
void Clock_PlaceAnalog(const facefit::FaceFit& fit, const layout::TextMetrics& dateFont);

// Erases the previous hands and draws the current ones through the lock
// window's own device context. Called by the paint and by the refresh
// thread once per tick; the two callers are kept apart by one lock, so a
// set of hands is always erased and drawn whole.
void Clock_AnalogUpdate(void);

// Paint step for Clock_Type 2: sets the clock region to `clockRect` (the
// composition's, under the date line, on the screen), invalidates it (with
// erase) when the hour or the minute moved on, and draws the user's short
// time without seconds.
void Clock_PaintDigital(HWND window, HDC dc, const RECT& clockRect, const SYSTEMTIME& now, HFONT timeFont,
                        COLORREF colour);
