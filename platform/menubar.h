// Shell (aygshell) Pocket PC dialog sizing and two-key menu bar.
#pragma once
#include <windows.h>

#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
typedef struct SHINITDLGINFO_CE {
  DWORD dwMask;
  HWND hDlg;
  DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;
// With SHIDIF_SIZEDLGFULLSCREEN: no caption, no frame, the whole work area.
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
// Builds the bar from the menu-bar resource nToolBarId; hwndMB receives it.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);
