// The shell library's window calls on the desktop: full-screen top-most
// windows and the activation bookkeeping.
#include "platform/fullscreen.h"

BOOL SHFullScreen(HWND window, DWORD state) {
  if (!IsWindow(window)) return FALSE;
  const DWORD hide = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;
  if (state & hide) {
    // No task bar to hide on the desktop: the window itself goes top-most
    // over the whole screen.
    return SetWindowPos(window, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                        SWP_NOACTIVATE | SWP_NOOWNERZORDER) != FALSE;
  }
  if (state & SHFS_SHOWTASKBAR)
    return SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != FALSE;
  return TRUE;
}

BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags) {
  (void)window;
  (void)lParam;
  (void)flags;
  // There is no input panel to raise or lower: keep the record current only.
  if (info != nullptr && info->cbSize >= sizeof(SHACTIVATEINFO)) info->fActive = LOWORD(wParam) != WA_INACTIVE;
  return TRUE;
}

BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info) {
  (void)window;
  (void)wParam;
  (void)lParam;
  (void)info;
  return TRUE;
}
