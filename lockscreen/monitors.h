// What the lock screen does with a PC's monitors (monitor_cover.cpp,
// pointer_guard.cpp, display_power.cpp): black covers on every monitor but
// the face's, a pointer kept on the face's monitor, and the monitors'
// power when the device tool has no display of its own.
#pragma once
#include <windows.h>

// Covers every monitor other than the lock window's (again: old covers go).
// Window thread only; the covers are destroyed with it, whatever ends it.
void Covers_Show(HWND lockWindow);
// Keeps the covers above every other top-most window (z-order only).
void Covers_Raise(void);
void Covers_Remove(void);

// Starts the low-level mouse hook that keeps the pointer, clicks and wheel
// turns on the lock window's monitor, and brings the pointer there.
void PointerGuard_Start(HWND lockWindow);
// The lock window moved or the monitors changed: its rectangle again.
void PointerGuard_SetArea(HWND lockWindow);
void PointerGuard_Stop(void);

// A key or the mouse while the lock screen had turned the PC's monitors
// off: on again.
void Display_WakeOnInput(void);

// --- for tests: what the probe answers ---------------------------------------
// The SC_MONITORPOWER requests the lock window has had (offs in the low 16
// bits, ons above); `lParam` is the request's.
void Display_CountRequest(LPARAM lParam);
LONG Display_Requests(void);
