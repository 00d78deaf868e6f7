// Window calls and messages of the CE forms.
#pragma once
#include <windows.h>

// Windows CE accepts a window handle with its lowest bit set ("bring the
// owned windows forward too"); desktop Windows and Wine refuse it with error
// 1400. Every caller that would pass `h | 1` calls this instead: the bit is
// stripped and the plain window brought forward.
BOOL SetForegroundWindowCe(HWND window);

// Sent by CE when memory runs low: a window drops what it can make again.
#ifndef WM_HIBERNATE
#define WM_HIBERNATE 0x03FF
#endif
