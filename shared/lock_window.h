// The lock window as the other programs find it: the class and title that
// the lock screen loads from its string resources 2 and 1, and its
// read-only probe (lockscreen/lockscreen.h lists what it answers). The
// service asks the probe whether the window has painted before it lets the
// PC suspend.
#pragma once
#include <windows.h>

const wchar_t kLockWindowClass[] = L"Hushpane";
const wchar_t kLockWindowTitle[] = L"Corvane";

#define WM_LOCK_PROBE (WM_APP + 2)
const WPARAM kLockProbePaints = 7;  // the paints so far
