// Game input (gx.dll): exclusive hardware-button input for the foreground
// window. On the desktop a low-level keyboard hook, owned by one input
// thread, takes every key and hands it to the window as WM_KEYDOWN/WM_KEYUP
// of its virtual-key code, so that no other window and no system hot key
// sees it. The three calls only signal that thread and may be repeated.
//
// The input thread starts with the first call of any function here and keeps
// its hook for the process's life; the first call returns once the hook is
// in place. While input is open, every key goes to the target window as
// WM_KEYDOWN / WM_KEYUP (never the SYS forms) with wParam = the hook's
// virtual-key code, modifiers always in their left/right form (left Alt is
// 0xA4, left Shift 0xA0, also when a key was injected as VK_MENU 0x12), the
// code the configuration program captures through the same hook; lParam = repeat 1, scan code, extended bit,
// bit 30 previous state, bit 31 key-up. Keys whose dwExtraInfo is
// GAMEINPUT_PASSTHROUGH_EXTRA pass untouched (injected keys are not told
// apart otherwise: the tests inject keys too). The target is the window set
// with GameInputSetTarget or, without one, this process's foreground window;
// with no live target keys flow normally. GXCloseInput stops the taking;
// when the process ends the system removes the hook, so keys are never left
// blocked. Any key while the recorded display is off turns it on (as the
// device's power manager does), also while input is closed.
//
// GXOpenInput returns once the hook is in place and records the process id
// in HKCU "Software\Ombrevale\Device" value "GameInputOwner" (GXCloseInput
// sets it back to 0; a killed holder leaves its stale id). Tests wait for it
// before pressing keys at a new lock screen: a key pressed before input is
// taken goes to whatever window has the focus at that moment, and a window
// that has only just been created may not have it yet.
#pragma once
#include <windows.h>

// GXOpenInput returns 0 when no hook could be installed (the keys are not
// held; "GameInputOwner" is not recorded); GXResume installs the hook
// afresh (replacing one the system may have removed) and returns at once.
int GXOpenInput(void);
int GXCloseInput(void);
int GXResume(void);

// Which window receives the keys while input is open (the lock window).
void GameInputSetTarget(HWND window);

// Marker in dwExtraInfo of keys that are let through while input is open
// (the Talk/End pass-through during a call).
#define GAMEINPUT_PASSTHROUGH_EXTRA ((ULONG_PTR)0x4F56504Eu)

// Routing mode. GAMEINPUT_EXCLUSIVE (the default, the lock screen): every
// key while input is open. GAMEINPUT_FOREGROUND_ONLY (the configuration
// program): a key is taken only while the target is the foreground window
// and the keyboard focus is the target itself (not one of its edit fields);
// otherwise it flows normally, so other programs are never blocked.
#define GAMEINPUT_EXCLUSIVE 0
#define GAMEINPUT_FOREGROUND_ONLY 1
void GameInputSetMode(int mode);

// --- for tests ---------------------------------------------------------------
// For the lock screen's probe: hooks installed so far, and the one in place
// now.
LONG GameInputHookInstalls(void);
HHOOK GameInputHook(void);
