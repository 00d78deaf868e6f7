// The clock: analog hands drawn straight onto the screen, digital time text.
#pragma once
#include <windows.h>

// Erases the previous hands and draws the current ones through the lock
// window's own device context. Called by the paint and by the refresh
// thread once per tick.
void Clock_AnalogUpdate(void);
