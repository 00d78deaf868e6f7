// Shell (aygshell) window calls: full-screen windows and the activation
// bookkeeping of WM_ACTIVATE and WM_SETTINGCHANGE.
#pragma once
#include <windows.h>

#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

typedef struct SHACTIVATEINFO_CE {
  DWORD cbSize;
  HWND hwndLastFocus;
  UINT fSipUp : 1;
  UINT fSipOnDeactivation : 1;
  UINT fActive : 1;
  UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

// Hiding the bars makes the window top-most and covering the whole screen
// (the desktop has no bars of the device's to hide); showing the task bar
// takes the top-most place back.
BOOL SHFullScreen(HWND window, DWORD state);
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);
