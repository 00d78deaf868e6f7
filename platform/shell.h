// Shell (aygshell): full-screen windows, activation bookkeeping, JPEG
// loading, registry DWORD reads and the Pocket PC dialog and menu bar.
#pragma once
#include <windows.h>

#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

#ifndef WM_HIBERNATE
#define WM_HIBERNATE 0x03FF
#endif

typedef struct SHACTIVATEINFO_CE {
  DWORD cbSize;
  HWND hwndLastFocus;
  UINT fSipUp : 1;
  UINT fSipOnDeactivation : 1;
  UINT fActive : 1;
  UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

// Makes the window top-most and covering the whole screen.
BOOL SHFullScreen(HWND window, DWORD state);
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

// Decodes a JPEG file with WIC into a bitmap that can be selected into a
// memory DC; NULL when the file is missing or cannot be decoded.
HBITMAP SHLoadImageFile(LPCWSTR path);

// Reads one DWORD; 0 on success (the target untouched on failure). A value
// counts only when it is REG_DWORD of 4 bytes.
HRESULT RegistryGetDWORD(HKEY root, LPCWSTR key, LPCWSTR value, DWORD* data);
// How many times RegistryGetDWORD ran in this process (for tests and
// benchmarks that must prove a read did or did not happen).
LONG RegistryGetDWORDCount(void);

// Pocket PC dialog and menu bar.
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
typedef struct SHINITDLGINFO_CE {
  DWORD dwMask;
  HWND hDlg;
  DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;
BOOL SHInitDialog(PSHINITDLGINFO info);

typedef struct SHMENUBARINFO_CE {
  DWORD cbSize;
  HWND hwndParent;
  DWORD dwFlags;
  UINT nToolBarId;
  HINSTANCE hInstRes;
  int nBmpId;
  int cBmpImages;
  HWND hwndMB;
  COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;
BOOL SHCreateMenuBar(SHMENUBARINFO* info);
