// Game input (gx.dll): exclusive hardware-button input for the foreground
// window. On the desktop a low-level keyboard hook, owned by one input
// thread, takes every key and hands it to the window as WM_KEYDOWN/WM_KEYUP
// of its virtual-key code, so that no other window and no system hot key
// sees it. The three calls only signal that thread and may be repeated.
#pragma once
#include <windows.h>

int GXOpenInput(void);
int GXCloseInput(void);
int GXResume(void);

// Which window receives the keys while input is open (the lock window).
void GameInputSetTarget(HWND window);

// Marker in dwExtraInfo of keys that are let through while input is open
// (the Talk/End pass-through during a call).
#define GAMEINPUT_PASSTHROUGH_EXTRA ((ULONG_PTR)0x4F56504Eu)
